#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs the
# whole test suite under them; with clang present, also a short bounded fuzz run from the
# corpus kept in fuzz/corpus/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash tools/ensure_packages.sh

jobs=$(nproc)
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tools/lsan.supp"

if command -v clang++ >/dev/null 2>&1; then
  echo "== fuzz smoke run"
  bash tools/fuzz.sh 20s
fi

echo "== sanitizer build and tests"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPLUGWRIGHT_SANITIZE=ON >/dev/null
cmake --build build-asan -j "$jobs"
cd build-asan
ctest --output-on-failure -j "$jobs" --timeout 600
