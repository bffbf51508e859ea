#!/usr/bin/env bash
# Sets everything up and starts the program on its delivered database; without a display it
# starts under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/Qirvo/Qirvo "$@"
fi
exec xvfb-run -a -s "-screen 0 1280x800x24" build/Qirvo/Qirvo "$@"
