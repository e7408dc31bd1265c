#!/usr/bin/env bash
# Sets everything up and runs the timedemo benchmark (a report, not a test).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
cd "$MORROWGEAR_ROOT"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$MORROWGEAR_BUILD/bench/timedemo"
fi
exec "$MORROWGEAR_BUILD/bench/timedemo"
