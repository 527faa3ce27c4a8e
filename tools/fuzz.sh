#!/usr/bin/env bash
# Runs every libFuzzer target for a given time, one after the other, each with a corpus
# kept between runs (build-fuzz/corpus-<target>), and prints per target the executions,
# executions per second and coverage reached. Findings are saved as
# build-fuzz/artifacts-<target>/crash-*; the script then exits non-zero.
# Inputs may be long from the start (-len_control=0): an operation sequence needs room.
# Usage: tools/fuzz.sh [MINUTES | SECONDSs]   (default 10 minutes per target)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

time=${1:-10}
case "$time" in
  *s) seconds=${time%s} ;;
  *) seconds=$((time * 60)) ;;
esac

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DPLUGWRIGHT_FUZZ=ON -DPLUGWRIGHT_SANITIZE=ON -DPLUGWRIGHT_UI=OFF -DPLUGWRIGHT_TESTS=OFF \
  -DPLUGWRIGHT_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

status=0
report=()
for f in build-fuzz/*_fuzz; do
  [ -f "$f" ] && [ -x "$f" ] || continue  # the corpus and artifact folders end in _fuzz too
  name=$(basename "$f")
  corpus="build-fuzz/corpus-$name" artifacts="build-fuzz/artifacts-$name/"
  log="build-fuzz/$name.log"
  mkdir -p "$corpus" "$artifacts"
  echo "== $name: ${seconds} s"
  rc=0
  "$f" -max_total_time="$seconds" -rss_limit_mb=4096 -timeout=30 -len_control=0 -print_final_stats=1 \
    -artifact_prefix="$artifacts" "$corpus" >"$log" 2>&1 || rc=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  cov=$({ grep -o 'cov: [0-9]*' "$log" || true; } | tail -n 1 | cut -d' ' -f2)
  features=$({ grep -o 'ft: [0-9]*' "$log" || true; } | tail -n 1 | cut -d' ' -f2)
  units=$(find "$corpus" -type f | wc -l)
  line=$(printf '%-22s execs %10s  execs/s %6s  cov %6s  ft %6s  corpus %5s' "$name" "${execs:-?}" \
    "${rate:-?}" "${cov:-?}" "${features:-?}" "$units")
  if [ "$rc" -ne 0 ]; then
    line="$line  FAILED (exit $rc, see $log)"
    status=1
    grep -E 'ERROR|invariant broken|SUMMARY' "$log" | head -n 5 || true
  fi
  echo "$line"
  report+=("$line")
done

echo "== summary"
printf '%s\n' "${report[@]}"
exit "$status"
