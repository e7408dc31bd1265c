#!/usr/bin/env bash
# Sets everything up and starts the game from the repository root.
# Arguments are passed on: [width height [fullscreen(0|1) [refresh rate]]].
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$MORROWGEAR_ROOT"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting the game on a virtual X server (nothing will be visible)."
  exec "$MORROWGEAR_ROOT/scripts/xvfb.sh" "$MORROWGEAR_BUILD/morrowgear" "$@"
fi
exec "$MORROWGEAR_BUILD/morrowgear" "$@"
