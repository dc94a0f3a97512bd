#!/bin/bash
# Speed of a whole batch run: zelk-cli batch --keywords --dry-run over a
# folder tree. RUNS pairs (default 9) of --jobs 1 and --jobs 2 back to back:
# the CPU time (user + system, all threads) and wall time of each, median
# and best, with the MB/s of pages they give, and the median of the pairs'
# wall time ratios. Then the machine's own ceiling for that ratio: two
# --jobs 1 runs at once against one alone (on a shared or virtual machine
# two busy cores run slower than one). Then --viewport alone with --jobs 1:
# everything but the analysis, what a run costs per page apart from it.
#
#   [RUNS=N] bench/batch_bench.sh [BUILD_DIR] [FOLDER]
# Without FOLDER a site of 2,000 pages and 50 MB is generated (zelk_bench
# --site) in a temporary folder and removed afterwards.
set -eu
build=${1:-build}
folder=${2:-}
runs=${RUNS:-9}
cli="$build/bin/zelk-cli"
made=""
work=$(mktemp -d /tmp/zelk-bench-XXXXXX)
if [ -z "$folder" ]; then
    folder="$work/site"
    made=$folder
    "$build/bin/zelk_bench" --site "$folder" --pages 2000 --mb 50
fi
bytes=$(find -L "$folder" -type f -iname '*htm*' -printf '%s\n' | awk '{s+=$1} END {print s}')
files=$(find -L "$folder" -type f -iname '*htm*' | wc -l)
echo "$files pages, $bytes bytes in $folder; $(nproc) cores: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2)"

# One run: prints "CPU WALL" in seconds.
run() {
    local TIMEFORMAT='%3U %3S %3R'
    # shellcheck disable=SC2086
    { time "$cli" batch $1 --dry-run --subfolders "$folder" >/dev/null 2>&1; } 2>"$work/t" || true
    awk '{ printf "%.3f %.3f\n", $1 + $2, $3 }' "$work/t"
}
# Median and best (the least) of a column of times; with "range", the
# median and range of a column of ratios.
stats() {
    sort -n | awk -v range="${1:-}" '{ v[NR] = $1 }
        END { if (range) printf "%.2f (%.2f-%.2f)", v[int((NR + 1) / 2)], v[1], v[NR];
              else printf "%.3f (best %.3f)", v[int((NR + 1) / 2)], v[1] }'
}

: >"$work/pairs"
i=0
while [ "$i" -lt "$runs" ]; do
    echo "$(run '--keywords --jobs 1') $(run '--keywords --jobs 2')" >>"$work/pairs"
    i=$((i + 1))
done
cpu1=$(cut -d' ' -f1 "$work/pairs" | stats)
wall1=$(cut -d' ' -f2 "$work/pairs" | stats)
cpu2=$(cut -d' ' -f3 "$work/pairs" | stats)
wall2=$(cut -d' ' -f4 "$work/pairs" | stats)
ratio=$(awk '{ print $2 / $4 }' "$work/pairs" | stats range)
mbs() { echo "$1" | awk -v b="$bytes" '{ printf "%.1f MB/s", b / 1e6 / $1 }'; }
echo "--jobs 1: CPU $cpu1 s, $(mbs "$cpu1"); wall $wall1 s"
echo "--jobs 2: CPU $cpu2 s; wall $wall2 s, $(mbs "$wall2")"
echo "--jobs 2 against --jobs 1, wall time: $ratio x"

: >"$work/twice"
i=0
while [ "$i" -lt "$(((runs + 2) / 3))" ]; do
    alone=$(run '--keywords --jobs 1' | cut -d' ' -f2)
    run '--keywords --jobs 1' >"$work/a" &
    run '--keywords --jobs 1' >"$work/b"
    wait
    both=$(cat "$work/a" "$work/b" | cut -d' ' -f2 | sort -n | tail -1)
    echo "$alone $both" | awk '{ print 2 * $1 / $2 }' >>"$work/twice"
    i=$((i + 1))
done
echo "the machine's ceiling, two --jobs 1 runs at once: $(stats range <"$work/twice") x"

: >"$work/vp"
i=0
while [ "$i" -lt 3 ]; do
    run '--viewport --jobs 1' | cut -d' ' -f1 >>"$work/vp"
    i=$((i + 1))
done
echo "--viewport alone, CPU per page: $(awk -v n="$files" '{ print $1 * 1000 / n }' "$work/vp" | stats) ms"
rm -rf "$work"
exit 0
