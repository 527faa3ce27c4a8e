#!/usr/bin/env bash
# Runs every libFuzzer target for a given time, one after the other, and prints per target
# the executions, executions per second and coverage reached. Findings are saved as
# build-fuzz/artifacts-<target>/crash-*; the script then exits non-zero.
#
# Each target fuzz/<name>_fuzz.cpp starts from its corpus kept in the tree,
# fuzz/corpus/<name>/ (none yet: from nothing). A run copies it into the build folder's
# working corpus, build-fuzz/corpus-<name>_fuzz, which also keeps what earlier runs found;
# a plain run never writes the tree (CI runs `tools/fuzz.sh 20s`).
#
#   tools/fuzz.sh [MINUTES | SECONDSs]            every target (default 10 minutes each)
#   tools/fuzz.sh --grow [MINUTES | SECONDSs] [NAME...]
#       runs the named targets (default: all) as above, then merges the tree's corpus and the
#       working corpus with -merge=1 into a minimised corpus that replaces fuzz/corpus/<name>/.
#       Grow for at least 10 minutes a target and commit the result.
#
# Inputs may be long from the start (-len_control=0): an operation sequence needs room.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

grow=0
if [ "${1:-}" = "--grow" ]; then
  grow=1
  shift
fi
time=${1:-10}
[ "$#" -gt 0 ] && shift
case "$time" in
  *s) seconds=${time%s} ;;
  *) seconds=$((time * 60)) ;;
esac
wanted=("$@")

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DPLUGWRIGHT_FUZZ=ON -DPLUGWRIGHT_SANITIZE=ON -DPLUGWRIGHT_UI=OFF -DPLUGWRIGHT_TESTS=OFF \
  -DPLUGWRIGHT_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
# A quarantine of 32 MB rather than 256 still keeps freed memory poisoned for hundreds of
# runs, while the allocator hands out warm memory instead of faulting in fresh pages for
# each of a run's thousands of allocations (a third of a run's time under the default).
case ":$ASAN_OPTIONS:" in *:quarantine_size_mb=*) ;; *) ASAN_OPTIONS="$ASAN_OPTIONS:quarantine_size_mb=32" ;; esac
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
flags=(-rss_limit_mb=4096 -timeout=30 -len_control=0)

status=0
report=()
for f in build-fuzz/*_fuzz; do
  [ -f "$f" ] && [ -x "$f" ] || continue  # the corpus and artifact folders end in _fuzz too
  name=$(basename "$f")
  short=${name%_fuzz}
  if [ "${#wanted[@]}" -gt 0 ] && [[ " ${wanted[*]} " != *" $short "* ]]; then continue; fi
  # The text form's input is a window laid over a clean plug. A window of 1 KB holds its
  # largest record (a text message, 288 bytes) three times over and every settings block
  # whole; a 4 KB one reaches nothing more and costs five times as much a run, mostly in
  # writing and reading back a hundred-odd lines of the rest it turns to random bytes.
  case "$short" in
    textform) own=(-max_len=1024) ;;
    *) own=() ;;
  esac
  kept="fuzz/corpus/$short"
  corpus="build-fuzz/corpus-$name" artifacts="build-fuzz/artifacts-$name/"
  log="build-fuzz/$name.log"
  mkdir -p "$corpus" "$artifacts"
  if [ -d "$kept" ]; then cp -n "$kept"/* "$corpus"/ 2>/dev/null || true; fi
  echo "== $name: ${seconds} s"
  rc=0
  "$f" -max_total_time="$seconds" "${flags[@]}" "${own[@]}" -print_final_stats=1 \
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
  elif [ "$grow" -eq 1 ]; then
    # The union of what the tree kept and what the run found, minimised: a file stays only
    # for coverage no file before it gives.
    merged="build-fuzz/merged-$name"
    rm -rf "$merged"
    mkdir -p "$merged" "$kept"
    "$f" -merge=1 "${flags[@]}" "${own[@]}" "$merged" "$kept" "$corpus" >"build-fuzz/$name.merge.log" 2>&1
    rm -f "$kept"/*
    cp "$merged"/* "$kept"/ 2>/dev/null || true
    line="$line  kept $(find "$kept" -type f | wc -l) files, $(du -sb "$kept" | cut -f1) bytes"
  fi
  echo "$line"
  report+=("$line")
done

echo "== summary"
printf '%s\n' "${report[@]}"
exit "$status"
