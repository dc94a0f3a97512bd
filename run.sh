#!/usr/bin/env bash
# Sets everything up and starts zelk. Without a display it starts under Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$root/build/bin/zelk" "$@"
else
    echo "No display found: starting zelk on a virtual display (Xvfb)."
    exec xvfb-run -a "$root/build/bin/zelk" "$@"
fi
