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

export MORROWGEAR_BUILD MORROWGEAR_SANITIZE_BUILD
if [ -z "${DISPLAY:-}" ]; then
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$MORROWGEAR_ROOT/scripts/run-suites.sh" "$@"
else
  "$MORROWGEAR_ROOT/scripts/run-suites.sh" "$@"
fi
