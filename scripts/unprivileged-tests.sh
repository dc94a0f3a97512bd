#!/usr/bin/env bash
# The permission tests skip themselves as root, since root writes through
# any permission bits. When run as root (CI containers), this runs them once
# more as the unprivileged user nobody, in a scratch folder of nobody's own,
# and fails unless both ran and passed.   scripts/unprivileged-tests.sh TEST_BINARY
set -euo pipefail
binary=$(readlink -f "$1")
tests='InsertMetaTagsPaths.ReadOnlyFolderFailsCleanly:StateFile.ReadOnlyFileIsReportedAndKept'
if [ "$(id -u)" -ne 0 ]; then
    echo "Not root: the permission tests already ran with the other tests."
    exit 0
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
chown nobody:nogroup "$scratch"
out=$(cd "$scratch" && setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env HOME="$scratch" TMPDIR="$scratch" "$binary" --gtest_filter="$tests" 2>&1) || {
    echo "$out"
    exit 1
}
echo "$out" | tail -n 3
if ! grep -q '^\[  PASSED  \] 2 tests' <<<"$out" || grep -q '^\[  SKIPPED \]' <<<"$out"; then
    echo "unprivileged-tests: the two permission tests did not both run and pass" >&2
    exit 1
fi
