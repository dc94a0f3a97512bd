#!/usr/bin/env bash
# Sets everything up and runs every test: the normal build, the build with
# AddressSanitizer and UndefinedBehaviorSanitizer, the fuzz targets and the
# Debian package. Warnings are errors here (not in run.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen
fuzz_seconds=${ZELK_FUZZ_SECONDS:-30}

echo "== Build and test"
"$root/scripts/build.sh" "$root/build" -DZELK_WERROR=ON
(cd "$root/build" && ctest --output-on-failure -j2)

echo "== Build and test with AddressSanitizer and UndefinedBehaviorSanitizer"
"$root/scripts/build.sh" "$root/build-asan" -DZELK_WERROR=ON -DCMAKE_BUILD_TYPE=Debug -DZELK_SANITIZE=ON -DZELK_BUILD_BENCH=OFF
(cd "$root/build-asan" && ASAN_OPTIONS=detect_leaks=1 \
    LSAN_OPTIONS=suppressions="$root/scripts/lsan.supp" \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --output-on-failure -j2)

echo "== Fuzz (${fuzz_seconds} s per target)"
CC=clang CXX=clang++ "$root/scripts/build.sh" "$root/build-fuzz" -DZELK_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZELK_BUILD_FUZZ=ON -DZELK_BUILD_GUI=OFF -DZELK_BUILD_TESTS=OFF -DZELK_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"
for f in "$root"/build-fuzz/bin/fuzz_*; do
    [ -x "$f" ] || continue
    name=$(basename "$f")
    corpus="$root/build-fuzz/corpus-$name"
    mkdir -p "$corpus"
    seeds="$root/fuzz/seeds"
    echo "-- $name"
    "$f" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
        -print_final_stats=1 "$corpus" "$seeds" 2>&1 | tail -n 12
done

echo "== Debian package"
"$root/scripts/package-check.sh" "$root/build-package"
echo "All tests passed."
