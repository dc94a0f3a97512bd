#!/bin/sh
# Speed of a whole batch run: zelk-cli batch --keywords --dry-run over a
# folder tree, with --jobs 1 and --jobs 2, three runs each; prints the CPU
# time (user + system, all threads) and the wall time with the MB/s of
# pages they give. Then three runs of --viewport alone with --jobs 1:
# everything but the analysis, what a run costs per page apart from it.
#
#   bench/batch_bench.sh [BUILD_DIR] [FOLDER]
# Without FOLDER a site of 2,000 pages and 50 MB is generated (zelk_bench
# --site) in a temporary folder and removed afterwards.
set -eu
build=${1:-build}
folder=${2:-}
cli="$build/bin/zelk-cli"
made=""
times=$(mktemp /tmp/zelk-times-XXXXXX)
if [ -z "$folder" ]; then
    folder=$(mktemp -d /tmp/zelk-site-XXXXXX)
    made=$folder
    "$build/bin/zelk_bench" --site "$folder" --pages 2000 --mb 50
fi
bytes=$(find -L "$folder" -type f -iname '*htm*' -printf '%s\n' | awk '{s+=$1} END {print s}')
files=$(find -L "$folder" -type f -iname '*htm*' | wc -l)
echo "$files pages, $bytes bytes in $folder; $(nproc) cores: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2)"
for what in "--keywords --jobs 1" "--keywords --jobs 2" "--viewport --jobs 1"; do
    for run in 1 2 3; do
        # shellcheck disable=SC2086
        /usr/bin/time -o "$times" -f '%U %S %e' "$cli" batch $what --dry-run --subfolders \
            "$folder" >/dev/null 2>&1 || true
        tail -1 "$times" | awk -v w="$what" -v b="$bytes" -v n="$files" '{
            cpu = $1 + $2; wall = $3;
            printf "%s: CPU %.2f s (%.1f MB/s), wall %.2f s (%.1f MB/s), %.3f ms CPU per page\n",
                   w, cpu, b / 1e6 / cpu, wall, b / 1e6 / wall, cpu * 1000 / n }'
    done
done
rm -f "$times"
[ -n "$made" ] && rm -rf "$made"
exit 0
