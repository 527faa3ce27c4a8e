#!/usr/bin/env bash
# `cmake --install` into a scratch prefix: both programs and the desktop files land
# where a desktop looks for them, the metainfo finds its desktop entry, and the installed type database maps *.rdt files to
# the code plug type that the desktop entry opens.
# Usage: install_test.sh BUILD-DIR SCRATCH-PREFIX APP-ID
set -euo pipefail
build=$1 prefix=$2 id=$3
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

status=0
for f in bin/plugwright bin/plugwright-cli share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
  share/icons/hicolor/scalable/apps/$id.svg share/mime/packages/$id.xml; do
  [ -s "$prefix/$f" ] || { echo "FAIL not installed: $f"; status=1; }
done
for f in bin/plugwright bin/plugwright-cli; do
  [ -x "$prefix/$f" ] || { echo "FAIL not executable: $f"; status=1; }
done

# The command line answers on a terminal without a display.
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$prefix/bin/plugwright" --help | grep -q "Usage: .*plugwright \[options\] \[file\]" ||
  { echo "FAIL plugwright --help without a display"; status=1; }
rc=0
QT_QPA_PLATFORM=offscreen "$prefix/bin/plugwright" a.rdt b.rdt 2>/dev/null || rc=$?
[ "$rc" -eq 64 ] || { echo "FAIL two files named: not a usage error"; status=1; }

type=$(sed -n 's/^MimeType=\([^;]*\);.*/\1/p' "$prefix/share/applications/$id.desktop")
update-mime-database "$prefix/share/mime"
grep -qx "50:$type:\*\.rdt" "$prefix/share/mime/globs2" ||
  { echo "FAIL *.rdt is not of type '$type'"; status=1; }
icon=$(sed -n 's/^Icon=//p' "$prefix/share/applications/$id.desktop")
[ "$icon" = "$id" ] || { echo "FAIL the desktop entry's icon '$icon' is not the installed one"; status=1; }

# The metainfo's launchable names the installed desktop entry.
appstreamcli validate-tree --strict --no-net "$prefix" >/dev/null ||
  { echo "FAIL the installed tree does not validate:"; appstreamcli validate-tree --no-net "$prefix"; status=1; }

[ "$status" -eq 0 ] && echo "installed: $(find "$prefix" -type f | wc -l) files"
exit "$status"
