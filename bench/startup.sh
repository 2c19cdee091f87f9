#!/bin/bash
# Start-up cost of hzwk.exe against an empty Win32 program of the same build, under Wine on a
# private Xvfb: `hzwk.exe /startup` on a machine whose stored driver version equals the
# installed one (the program ends without a window: what runs at every logon) and
# hzwkempty.exe, run alternately, A B A B ..., so that a change in the machine's load falls
# on both alike. Prints for each the median and the spread, the ratio of the medians, the
# load average before and after, then the sizes of the stripped executables.
#   bench/startup.sh [BUILD_DIR]
#     (default: build/win-i686, the users' build, else build/win-x86_64)
# BENCH_PAIRS sets the number of pairs (default 20, at least 10).
top=$(cd "$(dirname "$0")/.." && pwd)
pick() { for d in "$@"; do [ -f "$d/hzwk.exe" ] && { echo "$d"; return; }; done; echo "$1"; }
build=$(cd "${1:-$(pick "$top/build/win-i686" "$top/build/win-x86_64")}" 2>/dev/null && pwd) ||
    { echo "no build folder ${1:-build/win-i686}" >&2; exit 1; }
pairs=${BENCH_PAIRS:-20}
[ "$pairs" -ge 10 ] 2>/dev/null || pairs=10
export HZWK_EXE=$build/hzwk.exe
empty_exe=$build/bench/hzwkempty.exe
[ -f "$empty_exe" ] || { echo "no $empty_exe: build the target hzwkempty of $build" >&2; exit 1; }
# The harness's helpers of the same build.
: "${E2E_BUILD:=$build}"
export E2E_BUILD
. "$top/tests/e2e/lib.sh"

E2E_EXTRA_REG='[HKEY_LOCAL_MACHINE\SOFTWARE\HZWK]
"LastDetVersion"="6.14.10.3090"'
e2e_begin bench-startup xp-ti4600-3090
cp "$empty_exe" "$E2E_FOLDER/hzwkempty.exe"

# The path under test, checked once before any timing: it ends by itself and writes no report
# (tests/e2e/cases/smoke.sh shows that it shows no window).
no_report() { [ ! -f "$E2E_FOLDER/debug.txt" ] || e2e_die "/startup wrote debug.txt"; }
(cd "$E2E_FOLDER" && e2e_wine 30 hzwk.exe /startup > /dev/null 2>&1) || e2e_die "hzwk.exe /startup did not end cleanly"
no_report

# A 32-bit program runs through the 32-bit loader: through wine64 it would start under
# start.exe, a second process in every run, for both programs alike.
run_wine=$E2E_WINE
[ "$E2E_BITS" = 32 ] && run_wine=${E2E_WINE%64}

# One warm-up run each, so the first run's loading of Wine's own DLLs counts for neither.
timeout -k 5 60 "$run_wine" "$E2E_FOLDER/hzwkempty.exe" > /dev/null 2>&1
timeout -k 5 60 "$run_wine" "$E2E_FOLDER/hzwk.exe" /startup > /dev/null 2>&1

# time_run PROGRAM ARGS...: the run's wall-clock time in microseconds; nothing but the run
# (and the time-limit wrapper every run has) lies between the two readings of the clock.
time_run() {
    local t0 t1 rc
    t0=$EPOCHREALTIME
    timeout -k 5 60 "$run_wine" "$@" > /dev/null 2>&1
    rc=$?
    t1=$EPOCHREALTIME
    [ $rc -eq 0 ] || { echo "run of $1 ended with status $rc" >&2; return 1; }
    echo $(( ${t1//[.,]/} - ${t0//[.,]/} ))
}

load_before=$(cat /proc/loadavg)
hz=()
empty=()
for ((i = 0; i < pairs; i++)); do
    t=$(time_run "$E2E_FOLDER/hzwk.exe" /startup) || e2e_die "hzwk.exe /startup did not end cleanly"
    hz+=("$t")
    t=$(time_run "$E2E_FOLDER/hzwkempty.exe") || e2e_die "hzwkempty.exe failed"
    empty+=("$t")
done
load_after=$(cat /proc/loadavg)
no_report

# summary VALUES...: "median M ms, middle half A..B ms, all X..Y ms" (values in microseconds).
summary() {
    printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 / 1000 }
        function at(q,    k) { k = int(q * (NR - 1) + 0.5) + 1; return v[k] }
        END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
              printf "median %.1f ms, middle half %.1f..%.1f ms, all %.1f..%.1f ms\n", m, at(0.25), at(0.75), v[1], v[NR] }'
}
hz_sum=$(summary "${hz[@]}")
empty_sum=$(summary "${empty[@]}")
echo "build: $build ($pairs pairs, alternating)"
echo "hzwk.exe /startup: $hz_sum"
echo "hzwkempty.exe:     $empty_sum"
awk -v a="${hz_sum#median }" -v b="${empty_sum#median }" \
    'BEGIN { a += 0; b += 0; if (b > 0) printf "ratio of medians: %.2f\n", a / b }'
echo "load average before: $load_before"
echo "load average after:  $load_after"

# The exe as linked: the build strips it already, and the release zip carries it as it is.
size_of() {
    [ -f "$1/hzwk.exe" ] && echo "$(stat -c %s "$1/hzwk.exe") bytes stripped ($1/hzwk.exe)" || echo "not built"
}
echo "hzwk.exe i686:   $(size_of "$top/build/win-i686")"
echo "hzwk.exe x86_64: $(size_of "$top/build/win-x86_64")"
e2e_end
