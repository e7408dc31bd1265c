#!/usr/bin/env bash
# Sets everything up, builds, and runs the whole test suite through CTest
# (under a virtual X server when no display is set).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$MORROWGEAR_ROOT"
run_ctest() {
  ctest --test-dir "$MORROWGEAR_BUILD" --output-on-failure -j 2 "$@"
}
if [ -z "${DISPLAY:-}" ]; then
  export -f run_ctest
  export MORROWGEAR_BUILD
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c 'run_ctest "$@"' run_ctest "$@"
else
  run_ctest "$@"
fi
