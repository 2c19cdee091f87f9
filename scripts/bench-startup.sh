#!/bin/bash
# Start-up cost of hzwk.exe against an empty Win32 program, under Wine on a private Xvfb:
# ten runs each of `hzwk.exe /startup` on a machine whose stored driver version equals the
# installed one (the program ends without a window) and of hzwkempty.exe; prints both medians
# and their ratio, then the sizes of the stripped i686 and x86_64 executables.
#   scripts/bench-startup.sh [I686_BUILD_DIR [X86_64_BUILD_DIR]]
#     (defaults: build/win-i686 or build-e2e-win-i686, and build/win-x86_64 or build-e2e-win)
# BENCH_RUNS changes the number of runs.
top=$(cd "$(dirname "$0")/.." && pwd)
pick() { for d in "$@"; do [ -f "$d/hzwk.exe" ] && { echo "$d"; return; }; done; echo "$1"; }
i686_dir=${1:-$(pick "$top/build/win-i686" "$top/build-e2e-win-i686")}
x64_dir=${2:-$(pick "$top/build/win-x86_64" "$top/build-e2e-win")}
runs=${BENCH_RUNS:-10}
export E2E_BUILD=$x64_dir
. "$top/tests/e2e/lib.sh"

E2E_EXTRA_REG='[HKEY_LOCAL_MACHINE\SOFTWARE\HZWK]
"LastDetVersion"="6.14.10.3090"'
e2e_begin bench-startup xp-ti4600-3090
cp "$E2E_HELPERS/hzwkempty.exe" "$E2E_FOLDER/hzwkempty.exe"

# time_runs PROGRAM ARGS...: one wall-clock time in ms per line; a run must end with status 0.
time_runs() {
    local i t0 t1
    for ((i = 0; i < runs; i++)); do
        t0=$(date +%s%N)
        e2e_wine 60 "$@" > /dev/null 2>&1 || { echo "run of $1 failed" >&2; return 1; }
        t1=$(date +%s%N)
        echo $(((t1 - t0) / 1000000))
    done
}
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print int((v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

# One warm-up run each, so the first run's loading of Wine's own DLLs counts for neither.
e2e_wine 60 "$E2E_FOLDER/hzwkempty.exe" > /dev/null 2>&1
e2e_wine 60 "$E2E_FOLDER/hzwk.exe" /startup > /dev/null 2>&1
hz=$(time_runs "$E2E_FOLDER/hzwk.exe" /startup) || { e2e_fail "hzwk.exe /startup did not end cleanly"; e2e_end; }
empty=$(time_runs "$E2E_FOLDER/hzwkempty.exe") || { e2e_fail "hzwkempty.exe failed"; e2e_end; }
if [ -f "$E2E_FOLDER/debug.txt" ]; then
    e2e_fail "hzwk.exe /startup went past the start-up check (debug.txt written)"
fi
hz_med=$(echo "$hz" | median)
empty_med=$(echo "$empty" | median)
echo "hzwk.exe /startup: median ${hz_med} ms over $runs runs ($(echo $hz | tr ' ' ','))"
echo "hzwkempty.exe:     median ${empty_med} ms over $runs runs ($(echo $empty | tr ' ' ','))"
awk -v a="$hz_med" -v b="$empty_med" 'BEGIN { if (b > 0) printf "ratio of medians: %.2f\n", a / b }'

size_of() {
    local exe=$1/hzwk.exe strip tmp
    [ -f "$exe" ] || { echo "not built"; return; }
    case $(x86_64-w64-mingw32-objdump -f "$exe" | sed -n 's/.*file format //p') in
        pei-i386) strip=i686-w64-mingw32-strip ;;
        *) strip=x86_64-w64-mingw32-strip ;;
    esac
    tmp=$(mktemp)
    "$strip" -o "$tmp" "$exe" && echo "$(stat -c %s "$tmp") bytes stripped ($exe)"
    rm -f "$tmp"
}
echo "hzwk.exe i686:   $(size_of "$i686_dir")"
echo "hzwk.exe x86_64: $(size_of "$x64_dir")"
e2e_end
