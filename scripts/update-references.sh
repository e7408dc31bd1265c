#!/usr/bin/env bash
# Regenerates every reference picture of tests/reference/ (and renderer.txt, the renderer
# they are bound to) through the reference test itself, then names the ones that changed.
# Only for an intended change of the picture; say so in the commit message.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$MORROWGEAR_ROOT"

run() {
  MORROWGEAR_UPDATE_REFERENCES=1 "$MORROWGEAR_BUILD/tests/play/playthrough" \
    --gtest_filter='ReferencePictures.*' --gtest_brief=1
}

log="$(mktemp)"
trap 'rm -f "$log"' EXIT
status=0
if [ -z "${DISPLAY:-}" ]; then
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash -c "$(declare -f run); MORROWGEAR_BUILD='$MORROWGEAR_BUILD' run" \
    >"$log" 2>&1 || status=$?
else
  run >"$log" 2>&1 || status=$?
fi
if [ "$status" -ne 0 ]; then
  cat "$log"
  echo "The references were not updated."
  exit "$status"
fi

grep '^reference ' "$log"
echo
echo "Changed beyond the tolerance (or new):"
grep -E '^reference .*: (CHANGED|new)' "$log" | sed -E 's/^reference ([^:]+):.*/  tests\/reference\/\1.png/' || echo "  none"
git status --short -- tests/reference
