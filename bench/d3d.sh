#!/bin/bash
# Benchmark (not a test): under Wine on Xvfb, the Direct3D test loop with VSync OFF against a
# bare Direct3D 8 loop that only clears and presents at the same mode (1024 x 768, 32 bit).
# The two run alternately, test then bare, a long run and a short run of each per round, so
# that a change in the machine's load falls on both alike. Prints, for each, the median and
# the spread of:
#   - frames per second over the long runs (each loop times itself, from its first frame);
#   - CPU time per frame: the process's user+system time over the long run minus that over
#     the short run, divided by the difference in frames. Start-up, device creation and
#     teardown cancel out, and CPU time is what the machine's load disturbs least;
# the ratios of the medians, and /proc/loadavg before and after. Nothing else runs while a
# loop is timed: each run ends by itself (the test's loop through hzwkd3dloop.exe, which runs
# the program's own runner), and the script only waits. Then one VSync ON run: its shown figure
# against the mode's rate.
#   bench/d3d.sh [SECONDS [BUILD_DIR]]
#     SECONDS: a long run (default 5; a short run is 1 s)
#     BUILD_DIR: default build/win-i686, the users' build, else build/win-x86_64
# BENCH_PAIRS sets the number of rounds (default 10, at least 10).
top=$(cd "$(dirname "$0")/.." && pwd)
pick() { for d in "$@"; do [ -f "$d/hzwk.exe" ] && { echo "$d"; return; }; done; echo "$1"; }
SECS=${1:-5}
SHORT=1
[ "$SECS" -gt "$SHORT" ] 2>/dev/null || { echo "SECONDS must be a whole number above $SHORT" >&2; exit 2; }
E2E_BUILD=$(cd "${2:-$(pick "$top/build/win-i686" "$top/build/win-x86_64")}" 2>/dev/null && pwd) ||
    { echo "no build folder ${2:-build/win-i686}" >&2; exit 1; }
export E2E_BUILD
rounds=${BENCH_PAIRS:-10}
[ "$rounds" -ge 10 ] 2>/dev/null || rounds=10
. "$top/tests/e2e/lib.sh"
helpers=$E2E_BUILD/bench
[ -f "$helpers/hzwkd3dloop.exe" ] && [ -f "$helpers/hzwkd3dbare.exe" ] ||
    { echo "missing $helpers/hzwkd3dloop.exe or hzwkd3dbare.exe: build the target bench-helpers" >&2; exit 1; }
MODE="1024 x 768"
E2E_SCREEN=1024x768 e2e_begin bench-d3d xp-ti4600-3090
# 32-bit helpers through the 32-bit loader: through wine64 each would run as a second process
# under start.exe, outside this script's children, and its CPU time could not be read.
run_wine=$E2E_WINE
[ "$E2E_BITS" = 32 ] && run_wine=${E2E_WINE%64}

# children_cpu_ms: the user+system time of this shell's finished children, in ms, into
# CHILDREN_MS (the builtin `times`; both readings of a run come from the same shell).
children_cpu_ms() {
    local ms=0 t m s shell user sys
    times > "$E2E_WORK/times.txt"
    { read -r shell; read -r user sys; } < "$E2E_WORK/times.txt"
    for t in $user $sys; do
        m=${t%%m*}; s=${t#*m}; s=${s%s}
        ms=$((ms + m * 60000 + 10#${s%.*} * 1000 + 10#${s#*.}))
    done
    CHILDREN_MS=$ms
}

# loop_run NAME SECONDS [on]: one run of hzwkd3dloop.exe (test) or hzwkd3dbare.exe (bare),
# in this shell, so that its CPU time can be read off `times`; prints "FRAMES MS CPU_MS", and
# leaves the run's line in $E2E_WORK/NAME.out.
loop_run() {
    local cpu0 out args=(1024 768 32 "$2")
    [ "$1" = test ] && args=(1024 768 32 "${3:-off}" "$2")
    children_cpu_ms
    cpu0=$CHILDREN_MS
    timeout -k 5 $(($2 + 60)) "$run_wine" "$helpers/hzwkd3d${1/test/loop}.exe" "${args[@]}" \
        > "$E2E_WORK/$1.out" 2>>"$E2E_RESULTS/$1.err"
    children_cpu_ms
    out=$(tr -d '\r' < "$E2E_WORK/$1.out" | sed -n 's/^[a-z]*.* frames=\([0-9]*\) ms=\([0-9]*\).*/\1 \2/p')
    [ -n "$out" ] || return 1
    echo "$out $((CHILDREN_MS - cpu0))"
}
# field NAME KEY: a key=value field of NAME's last run line.
field() { tr -d '\r' < "$E2E_WORK/$1.out" | tr ' ' '\n' | sed -n "s/^$2=//p"; }

load_before=$(cat /proc/loadavg)
test_fps=() bare_fps=() test_cpu=() bare_cpu=()
for ((r = 0; r < rounds; r++)); do
    tl=$(loop_run test "$SECS") || e2e_die "test run (long) failed"
    bl=$(loop_run bare "$SECS") || e2e_die "bare run (long) failed"
    ts=$(loop_run test "$SHORT") || e2e_die "test run (short) failed"
    bs=$(loop_run bare "$SHORT") || e2e_die "bare run (short) failed"
    echo "round $((r + 1)): test $tl / $ts, bare $bl / $bs (frames ms cpu-ms, long / short)" >&2
    read -r tfl tml tcl <<< "$tl"; read -r tfs tms tcs <<< "$ts"
    read -r bfl bml bcl <<< "$bl"; read -r bfs bms bcs <<< "$bs"
    test_fps+=("$(awk -v f="$tfl" -v m="$tml" 'BEGIN { print (m > 0 ? f * 1000 / m : 0) }')")
    bare_fps+=("$(awk -v f="$bfl" -v m="$bml" 'BEGIN { print (m > 0 ? f * 1000 / m : 0) }')")
    test_cpu+=("$(awk -v c="$tcl" -v d="$tcs" -v f="$tfl" -v g="$tfs" 'BEGIN { print (f > g ? (c - d) / (f - g) : "nan") }')")
    bare_cpu+=("$(awk -v c="$bcl" -v d="$bcs" -v f="$bfl" -v g="$bfs" 'BEGIN { print (f > g ? (c - d) / (f - g) : "nan") }')")
done
load_after=$(cat /proc/loadavg)

# stats UNIT DIGITS VALUES...: "median M, middle half A..B, all X..Y UNIT"; MEDIAN=M.
stats() {
    local unit=$1 digits=$2
    shift 2
    printf '%s\n' "$@" | grep -v nan | sort -g | awk -v u="$unit" -v d="$digits" '{ v[NR] = $1 }
        function at(q,    k) { k = int(q * (NR - 1) + 0.5) + 1; return v[k] }
        END { if (NR == 0) { print "no valid rounds"; exit }
              m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
              f = "%." d "f"
              printf "median " f " %s, middle half " f ".." f ", all " f ".." f " (%d rounds)\n", m, u, at(0.25), at(0.75), v[1], v[NR], NR }'
}
ratio() { awk -v a="${1#median }" -v b="${2#median }" 'BEGIN { a += 0; b += 0; if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }
tf=$(stats fps 1 "${test_fps[@]}"); bf=$(stats fps 1 "${bare_fps[@]}")
tc=$(stats "ms/frame" 3 "${test_cpu[@]}"); bc=$(stats "ms/frame" 3 "${bare_cpu[@]}")
echo "build: $E2E_BUILD; $MODE x 32, VSync OFF; $rounds rounds of ${SECS} s and ${SHORT} s runs, test then bare"
echo "frames per second, test loop: $tf"
echo "frames per second, bare loop: $bf"
echo "  ratio of medians (test / bare): $(ratio "$tf" "$bf")"
echo "CPU time per frame, test loop: $tc"
echo "CPU time per frame, bare loop: $bc"
echo "  ratio of medians (test / bare): $(ratio "$tc" "$bc")"
echo "load average before: $load_before"
echo "load average after:  $load_after"

# The figure the test shows with VSync ON, against the mode's refresh rate (not timed).
if loop_run test "$SECS" on > /dev/null; then
    shown=$(field test shownFps)
    refresh=$(field test refresh)
    if [ "${refresh:-0}" -gt 0 ] 2>/dev/null; then
        echo "VSync ON: shown $shown fps against the mode's $refresh Hz," \
             "ratio $(awk -v a="$shown" -v b="$refresh" 'BEGIN { printf "%.2f", a / b }')"
    else
        echo "VSync ON: shown $shown fps; the device reports no refresh rate for this mode" \
             "(Xvfb's own mode is listed at 0 Hz), so there is no ratio"
    fi
else
    e2e_fail "VSync ON run failed: $(cat "$E2E_WORK/test.out")"
fi
e2e_end
