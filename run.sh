#!/usr/bin/env bash
# Sets everything up and starts zelk. Without a display it starts under Xvfb.
# Builds only the two programs (no tests, benchmarks or fuzz targets), in a
# build folder of its own so that it never rebuilds test.sh's.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
build="$root/build-run"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZELK_BUILD_TESTS=OFF -DZELK_BUILD_BENCH=OFF -DZELK_BUILD_FUZZ=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target zelk zelk-cli zelk_data
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$build/bin/zelk" "$@"
else
    echo "No display found: starting zelk on a virtual display (Xvfb)."
    exec xvfb-run -a "$build/bin/zelk" "$@"
fi
