#!/usr/bin/env bash
# Regenerates every reference picture of tests/reference/ (and renderer.txt, the renderer
# they are bound to) through the reference test itself, then names the ones that changed.
# Only for an intended change of the picture; say which in the commit message.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$MORROWGEAR_ROOT"

command=(env MORROWGEAR_UPDATE_REFERENCES=1 "$MORROWGEAR_BUILD/tests/play/playthrough"
         --gtest_filter='ReferencePictures.*')
if [ -z "${DISPLAY:-}" ]; then
  command=("$MORROWGEAR_ROOT/scripts/xvfb.sh" "${command[@]}")
fi

log="$(mktemp)"
trap 'rm -f "$log"' EXIT
if ! "${command[@]}" >"$log" 2>&1; then
  cat "$log"
  echo "The references were not updated."
  exit 1
fi

# One line per key frame: unchanged, within tolerance (N pixels differ), CHANGED (...) or new.
grep '^reference ' "$log"
echo
echo "Changed beyond the tolerance, or new:"
grep -E '^reference [^:]+: (CHANGED|new)' "$log" | sed -E 's|^reference ([^:]+):.*|  tests/reference/\1.png|' ||
  echo "  none"
