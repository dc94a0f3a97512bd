#!/bin/sh
# Start-up benchmark of the desktop program: the time from the start of the
# process to the first complete frame of the main window, and to the end of
# the start-up (common-word lists loaded), each the median of RUNS starts
# under Xvfb with a private settings folder.
#   scripts/bench-startup.sh [BUILD_DIR] [RUNS]
set -eu
build=${1:-build}
runs=${2:-5}
zelk="$build/bin/zelk"
[ -x "$zelk" ] || { echo "no $zelk: build the zelk target first" >&2; exit 1; }
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
out="$home/times"
i=0
while [ "$i" -lt "$runs" ]; do
    XDG_DATA_HOME="$home" XDG_CONFIG_HOME="$home" xvfb-run -a -s "-screen 0 1280x1024x24" \
        "$zelk" --startup-times >>"$out" 2>/dev/null
    i=$((i + 1))
done
for what in first-frame ready; do
    grep "^$what " "$out" | awk '{print $2}' | sort -n |
        awk -v w="$what" '{v[NR]=$1} END {printf "%-12s median %4d ms (min %d, max %d, %d runs)\n", w, v[int((NR+1)/2)], v[1], v[NR], NR}'
done
