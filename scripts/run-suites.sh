#!/usr/bin/env bash
# Runs the regular and the sanitizer test suites through CTest; test.sh calls it,
# under a virtual X server when no display is set.
set -euo pipefail
: "${MORROWGEAR_BUILD:?}" "${MORROWGEAR_SANITIZE_BUILD:?}"
status=0
ctest --test-dir "$MORROWGEAR_BUILD" --output-on-failure -j 2 "$@" || status=$?
ctest --test-dir "$MORROWGEAR_SANITIZE_BUILD" --output-on-failure -j 2 "$@" || status=$?
exit "$status"
