#!/bin/bash
# Builds the release zip of a 32-bit Windows build and checks it: named after the version in
# src/core/version.h, holding at its top exactly hzwk.exe, hzwkctl.exe, hzwkhelp.chm and
# readme.txt; the programs and the help file byte for byte the ones the build just made, the
# exe a 32-bit one; readme.txt plain ASCII (the same in every ANSI code page) with CR LF; the
# checksum file beside the zip one that `sha256sum -c` accepts. Then builds the same commit a
# second time, clean, in a folder of another path, and checks that the programs, the help file
# and the zip come out byte for byte the same (about a minute: hzwk, hzwkctl and the help only).
#   scripts/check-package.sh [BUILD_DIR]      (default: build/win-i686)
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build/win-i686}
version=$(sed -n 's/^#define HZWK_VERSION_TEXT "\(.*\)"$/\1/p' "$top/src/core/version.h")
zip=$build/Hertzwerk-$version-win32.zip
fail() { echo "FAIL $zip: $*"; status=1; }
status=0

rm -f "$zip" "$zip.sha256"
cmake --build "$build" --target package > "$build/package.log" 2>&1 ||
    { echo "FAIL: the package target failed (see $build/package.log)"; exit 1; }
[ -f "$zip" ] || { echo "FAIL: no $zip (see $build/package.log)"; exit 1; }

listed=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
[ "$listed" = "hzwk.exe hzwkctl.exe hzwkhelp.chm readme.txt " ] ||
    fail "holds '$listed', not exactly hzwk.exe hzwkctl.exe hzwkhelp.chm readme.txt"

( cd "$build" && sha256sum --quiet -c "$(basename "$zip").sha256" ) > /dev/null 2>&1 ||
    fail "$(basename "$zip").sha256 is missing or does not verify with sha256sum -c"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
unzip -q "$zip" -d "$tmp" || fail "does not unpack"
for f in hzwk.exe hzwkctl.exe hzwkhelp.chm; do
    cmp -s "$tmp/$f" "$build/$f" || fail "$f is not the one in $build"
done
[ "$(x86_64-w64-mingw32-objdump -f "$tmp/hzwk.exe" 2>/dev/null | sed -n 's/.*file format //p')" = pei-i386 ] ||
    fail "hzwk.exe is not a 32-bit Windows program"
readme=$tmp/readme.txt
if [ ! -s "$readme" ]; then
    fail "readme.txt is empty"
else
    LC_ALL=C grep -q '[^[:print:][:space:]]' "$readme" && fail "readme.txt holds bytes outside printable ASCII"
    [ "$(tail -c 2 "$readme" | od -An -tx1 | tr -d ' ')" = 0d0a ] || fail "readme.txt does not end in CR LF"
    [ "$(tr -d '\r' < "$readme" | wc -l)" = "$(grep -c $'\r$' "$readme")" ] || fail "readme.txt has a line without CR LF"
fi

# The second build: another folder (another path length too), another time, nothing reused.
second=$tmp/second-build/of/the/same/commit
cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
toolchain=$(cache CMAKE_TOOLCHAIN_FILE)
if cmake -S "$top" -B "$second" ${toolchain:+-DCMAKE_TOOLCHAIN_FILE="$toolchain"} \
        -DCMAKE_BUILD_TYPE="$(cache CMAKE_BUILD_TYPE)" > "$build/package-second.log" 2>&1 &&
    cmake --build "$second" -j2 --target package >> "$build/package-second.log" 2>&1; then
    for f in hzwk.exe hzwkctl.exe hzwkhelp.chm "$(basename "$zip")"; do
        cmp -s "$build/$f" "$second/$f" || fail "$f differs in a second clean build of the same commit"
    done
else
    fail "the second build failed (see $build/package-second.log)"
fi
[ $status = 0 ] && echo "ok   $zip: $listed(and the same bytes from a second build)"
exit $status
