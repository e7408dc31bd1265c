#!/usr/bin/env bash
# Sets everything up, builds, and runs the whole test suite through CTest (under a
# virtual X server when no display is set): the regular build first, then the unit
# tests and one play-through again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$MORROWGEAR_ROOT"

MORROWGEAR_SANITIZE_BUILD="${MORROWGEAR_SANITIZE_BUILD:-$MORROWGEAR_ROOT/build-sanitize}"
if [ ! -f "$MORROWGEAR_SANITIZE_BUILD/CMakeCache.txt" ]; then
  cmake -S "$MORROWGEAR_ROOT" -B "$MORROWGEAR_SANITIZE_BUILD" -DCMAKE_BUILD_TYPE=Debug -DMORROWGEAR_SANITIZE=ON
fi
cmake --build "$MORROWGEAR_SANITIZE_BUILD" -j "$(nproc)"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export LSAN_OPTIONS="suppressions=$MORROWGEAR_ROOT/tests/sanitizer/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

run_suites() {
  ctest --test-dir "$MORROWGEAR_BUILD" --output-on-failure -j 2 "$@"
  ctest --test-dir "$MORROWGEAR_SANITIZE_BUILD" --output-on-failure -j 2 "$@"
}

if [ -z "${DISPLAY:-}" ]; then
  export -f run_suites
  export MORROWGEAR_BUILD MORROWGEAR_SANITIZE_BUILD
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c 'run_suites "$@"' run_suites "$@"
else
  run_suites "$@"
fi
