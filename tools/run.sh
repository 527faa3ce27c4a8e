#!/usr/bin/env bash
# Builds the editor and starts it. The first time (no settings file beside the
# program yet) it opens the sample code plug that the build generates. Without a
# display it runs under a virtual X server, saves a screenshot of the window to
# build/screenshot.png and stops.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"

# ---- packages ----
bash "$ROOT/tools/ensure_packages.sh"

# ---- build ----
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$BUILD" --target plugwright sample -j "$(nproc)"

# ---- first start: open the sample ----
INI="$BUILD/plugwright.ini"
if [ ! -e "$INI" ]; then
  sample="$BUILD/sample.rdt"
  # Quoted, so a comma in the path does not turn the value into a list.
  quoted=${sample//\\/\\\\}
  quoted=${quoted//\"/\\\"}
  printf '[CodePlug]\nFile="%s"\n' "$quoted" >"$INI"
fi

# ---- run ----
if [ -n "${DISPLAY:-}" ]; then
  exec "$BUILD/plugwright"
fi

SHOT="$BUILD/screenshot.png"
rm -f "$SHOT"
PLUGWRIGHT_SCREENSHOT="$SHOT" xvfb-run -a -s "-screen 0 1280x800x24" "$BUILD/plugwright"
if [ -s "$SHOT" ]; then
  echo "No display: the editor ran under Xvfb; screenshot of its window: $SHOT"
else
  echo "No display: the editor ran under Xvfb but left no screenshot at $SHOT" >&2
  exit 1
fi
