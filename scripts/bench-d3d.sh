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
# loop is timed: each run ends by itself (the test through hzwkd3dtry's --stop-after), and
# the script only waits. Then one VSync ON run: its shown figure against the mode's rate.
#   scripts/bench-d3d.sh [SECONDS [BUILD_DIR]]
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
# 32-bit helpers through the 32-bit loader: through wine64 each would run as a second process
# under start.exe, outside this script's children, and its CPU time could not be read.
[ "$(e2e_exe_bits "$E2E_BUILD/e2e/d3d/hzwkd3dbare.exe")" = 32 ] && export D3D_WINE=${E2E_WINE%64}
. "$E2E_SRC/d3d/d3d_lib.sh"
[ -f "$E2E_D3D_HELPERS/hzwkd3dbare.exe" ] || { echo "missing $E2E_D3D_HELPERS/hzwkd3dbare.exe" >&2; exit 1; }
MODE="1024 x 768"

# The test's runs alternate long and short, in the order the rounds below start them.
export D3D_TRY_TIMEOUT=$((rounds * (2 * SECS + 2 * SHORT + 60) + 600))
d3d_begin bench-d3d --stop-after $((SECS * 1000)),$((SHORT * 1000))

# The Wine process of hzwkd3dtry: the last process down the chain below its background job.
child_of() {
    local f line rest
    for f in /proc/[0-9]*/stat; do
        read -r line < "$f" 2>/dev/null || continue
        rest=${line##*) }
        set -- $rest
        if [ "$2" = "$PARENT" ]; then echo "${f//[!0-9]/}"; return; fi
    done
}
try_pid=${E2E_PIDS[${#E2E_PIDS[@]} - 1]}
while next=$(PARENT=$try_pid child_of) && [ -n "$next" ]; do try_pid=$next; done
ticks=$(getconf CLK_TCK)

# cpu_ms_of PID: the process's user+system time so far, in ms.
cpu_ms_of() {
    local line rest
    read -r line < "/proc/$1/stat" || return 1
    rest=${line##*) }
    set -- $rest
    echo $(( (${12} + ${13}) * 1000 / ticks ))
}
# children_cpu_ms: the user+system time of this shell's finished children, in ms, into
# CHILDREN_MS (the builtin `times` in this shell: a subshell would count only its own).
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

# test_run NAME SECONDS: one run of the test loop, started with Go and ended by hzwkd3dtry's
# timer SECONDS after its window appears; prints "FRAMES MS CPU_MS". The script sleeps while
# the loop runs, and a second more before it looks for the result.
test_run() {
    local before cpu0 cpu1 n=0 run
    before=$(grep -c '^run ' "$D3D_REPORT")
    cpu0=$(cpu_ms_of "$try_pid") || return 1
    e2e_drive go <<< "click d3d $IDC_CMD_GO" || return 1
    sleep $(($2 + 1))
    while [ "$(grep -c '^run ' "$D3D_REPORT")" -le "$before" ]; do
        [ $n -lt 600 ] || return 1
        sleep 0.1
        n=$((n + 1))
    done
    e2e_drive gone <<< "wait-gone d3dtest 20000" || return 1
    cpu1=$(cpu_ms_of "$try_pid") || return 1
    run=$(d3d_run)
    [ "$(d3d_field "$run" ran)" = 1 ] || return 1
    echo "$(d3d_field "$run" frames) $(d3d_field "$run" ms) $((cpu1 - cpu0))"
}
# bare_run SECONDS: one run of the bare loop, into BARE ("FRAMES MS CPU_MS"); in this shell,
# so that its CPU time can be read off `times`.
bare_run() {
    local cpu0 out
    children_cpu_ms
    cpu0=$CHILDREN_MS
    e2e_timeout $(($1 + 60)) "$D3D_WINE" "$E2E_D3D_HELPERS/hzwkd3dbare.exe" 1024 768 32 "$1" \
        > "$E2E_WORK/bare.out" 2>>"$E2E_RESULTS/bare.err"
    children_cpu_ms
    out=$(tr -d '\r' < "$E2E_WORK/bare.out" | sed -n 's/^bare frames=\([0-9]*\) ms=\([0-9]*\).*/\1 \2/p')
    [ -n "$out" ] || return 1
    BARE="$out $((CHILDREN_MS - cpu0))"
}

e2e_drive choose <<< "$(d3d_choose "$MODE" "32 bit" off)"
load_before=$(cat /proc/loadavg)
test_fps=() bare_fps=() test_cpu=() bare_cpu=()
for ((r = 0; r < rounds; r++)); do
    tl=$(test_run long "$SECS") || { e2e_fail "test run (long) failed: $(d3d_run)"; e2e_end; }
    bare_run "$SECS" || { e2e_fail "bare run (long) failed"; e2e_end; }
    bl=$BARE
    ts=$(test_run short "$SHORT") || { e2e_fail "test run (short) failed: $(d3d_run)"; e2e_end; }
    bare_run "$SHORT" || { e2e_fail "bare run (short) failed"; e2e_end; }
    bs=$BARE
    e2e_log "round $((r + 1)): test $tl / $ts, bare $bl / $bs (frames ms cpu-ms, long / short)"
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
e2e_drive choose <<< "$(d3d_choose "$MODE" "32 bit" on)"
if on=$(test_run long "$SECS"); then
    run=$(d3d_run)
    shown=$(d3d_field "$run" shownFps)
    refresh=$(d3d_field "$run" refresh)
    if [ "${refresh:-0}" -gt 0 ] 2>/dev/null; then
        echo "VSync ON: shown $shown fps against the mode's $refresh Hz," \
             "ratio $(awk -v a="$shown" -v b="$refresh" 'BEGIN { printf "%.2f", a / b }')"
    else
        echo "VSync ON: shown $shown fps; the device reports no refresh rate for this mode" \
             "(Xvfb's own mode is listed at 0 Hz), so there is no ratio"
    fi
else
    e2e_fail "VSync ON run failed: $(d3d_run)"
fi
e2e_drive cancel <<EOF
click d3d $IDC_CMD_CANCEL
wait-gone d3d 10000
EOF
e2e_end
