#!/usr/bin/env bash
# Sets everything up, builds, and runs the whole test suite through CTest (under a
# virtual X server when no display is set): the regular build first, then the unit
# tests and one play-through again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$MORROWGEAR_ROOT"

build_preset sanitizer "$MORROWGEAR_SANITIZE_BUILD"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export LSAN_OPTIONS="suppressions=$MORROWGEAR_ROOT/tests/sanitizer/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

export MORROWGEAR_BUILD MORROWGEAR_SANITIZE_BUILD
if [ -z "${DISPLAY:-}" ]; then
  "$MORROWGEAR_ROOT/scripts/xvfb.sh" "$MORROWGEAR_ROOT/scripts/run-suites.sh" "$@"
else
  "$MORROWGEAR_ROOT/scripts/run-suites.sh" "$@"
fi
