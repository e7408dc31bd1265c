#!/usr/bin/env bash
# Runs a command on a virtual X server of its own: scripts/xvfb.sh COMMAND [ARGUMENTS...].
# -noreset: without it Xvfb resets whenever its last client disconnects, and a client that
# connects right then (a test's next window, the timedemo's second run) gets no display.
set -euo pipefail
exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$@"
