#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a scratch root and runs what it
# installed: zelk-cli on an example page (plain and --json), zelk --version,
# and the validators of the desktop entry, the AppStream metadata and the
# manual pages.   scripts/package-check.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-package}
"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DZELK_BUILD_TESTS=OFF -DZELK_BUILD_BENCH=OFF -DZELK_BUILD_FUZZ=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/zelk_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
version=$(sed -n 's/^project(zelk VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
deb="$build/zelk_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "package-check: $deb was not made" >&2; exit 1; }
echo "-- $(basename "$deb")"

fail() { echo "package-check: $*" >&2; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
echo "   Depends: $depends"
for lib in libc6 libstdc++6 libqt6widgets6 qt6-qpa-plugins; do
    grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib"
done
# apt resolves the dependencies without installing anything.
if [ "$(id -u)" -eq 0 ]; then
    apt-get install -s -qq "$deb" >/dev/null || fail "apt cannot install $deb"
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
dpkg -x "$deb" "$tmp"
for f in usr/bin/zelk usr/bin/zelk-cli usr/libexec/zelk/zelk usr/libexec/zelk/zelk-cli \
         usr/libexec/zelk/zelk.dat usr/libexec/zelk/cwds_en.txt \
         usr/libexec/zelk/LICENSES/snowball-BSD-3-Clause.txt \
         usr/share/applications/org.zelk.zelk.desktop usr/share/metainfo/org.zelk.zelk.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/zelk.svg usr/share/man/man1/zelk.1 \
         usr/share/man/man1/zelk-cli.1 usr/share/doc/zelk/copyright; do
    [ -e "$tmp/$f" ] || fail "/$f is not in the package"
done

# The installed zelk-cli, started through its launcher, finds its data in
# the program folder: no "Common words not available" notice.
out=$("$tmp/usr/bin/zelk-cli" keywords "$root/examples/garden.html" 2>"$tmp/err")
[ ! -s "$tmp/err" ] || fail "zelk-cli wrote to stderr: $(cat "$tmp/err")"
[[ $out == '<meta name="keywords" content="garden, '* ]] || fail "unexpected keywords: $out"
"$tmp/usr/bin/zelk-cli" words --json "$root/examples/garden.html" | python3 -m json.tool >/dev/null \
    || fail "zelk-cli words --json is not JSON"
[ "$("$tmp/usr/bin/zelk-cli" --version)" = "zelk $version" ] || fail "zelk-cli --version"
# No display needed: --version is answered before the window is built.
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$tmp/usr/bin/zelk" --version)" = "zelk $version" ] \
    || fail "zelk --version"
env -u DISPLAY -u WAYLAND_DISPLAY "$tmp/usr/bin/zelk" --help | grep -q -- --version || fail "zelk --help"

desktop-file-validate "$tmp/usr/share/applications/org.zelk.zelk.desktop"
appstreamcli validate --no-net "$tmp/usr/share/metainfo/org.zelk.zelk.metainfo.xml" >/dev/null \
    || appstreamcli validate --no-net "$tmp/usr/share/metainfo/org.zelk.zelk.metainfo.xml"
for page in zelk zelk-cli; do
    command -v man >/dev/null || break
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$tmp/usr/share/man/man1/$page.1" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man page $page.1: $warnings"
done
echo "Package check passed: $deb"
