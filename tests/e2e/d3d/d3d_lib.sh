# The Direct3D test's end-to-end cases: the set-up window opened by hzwkd3dtry.exe over a
# stand-in main window ("hzwkd3dtry main"), driven by hzwkdrive.exe (windows `d3d` and
# `d3dtest`). Sourced after ../lib.sh (whose Xvfb, prefix template, results folder, driver,
# screenshots and verdicts these reuse). D3D_WINE: the Wine loader that runs the helpers.

E2E_D3D_HELPERS=$E2E_HELPERS/d3d
: "${D3D_WINE:=$E2E_WINE}"
D3D_SCREEN_W=1024
D3D_SCREEN_H=768

# d3d_begin CASE [TRY ARGS...]: Xvfb at the desktop size, a fresh prefix, hzwkd3dtry.exe
# running with its report in $D3D_REPORT, the set-up window on screen.
d3d_begin() {
    local name=$1
    shift
    e2e_machine "$name" "$D3D_SCREEN_W" "$D3D_SCREEN_H" "$E2E_D3D_HELPERS/hzwkd3dtry.exe"
    d3d_start_try "$@"
}

# d3d_start_try [ARGS...]: starts hzwkd3dtry.exe and waits for the set-up window. It may
# run D3D_TRY_TIMEOUT seconds (default 600).
d3d_start_try() {
    D3D_REPORT=$E2E_RESULTS/runs.txt
    : > "$D3D_REPORT"
    e2e_timeout "${D3D_TRY_TIMEOUT:-600}" "$D3D_WINE" "$E2E_D3D_HELPERS/hzwkd3dtry.exe" --report "$(winepath_of "$D3D_REPORT")" "$@" \
        >> "$E2E_RESULTS/try.out" 2>> "$E2E_RESULTS/try.err" &
    E2E_PIDS+=("$!")
    e2e_drive try <<< "wait-window d3d 30000"
}

# d3d_run [N]: the report's Nth run line, once written (within 10 s; it comes after the test
# window has gone); without N the last.
d3d_run() {
    local n=0
    while [ "$(grep -c '^run ' "$D3D_REPORT")" -lt "${1:-0}" ] && [ $n -lt 100 ]; do sleep 0.1; n=$((n + 1)); done
    grep '^run ' "$D3D_REPORT" | sed -n "${1:-\$}p"
}

# d3d_field LINE NAME: a name=value field of a run line.
d3d_field() { printf '%s\n' "$1" | tr ' ' '\n' | sed -n "s/^$2=//p"; }

# d3d_expect_run N NAME=VALUE...: the report's Nth run line has these fields.
d3d_expect_run() {
    local run f
    run=$(d3d_run "$1")
    shift
    for f in "$@"; do e2e_expect_eq "${f%%=*} of run '$run'" "$(d3d_field "$run" "${f%%=*}")" "${f#*=}"; done
}

# d3d_choose RES DEPTH on|off: driver lines setting the two texts and the VSync option.
d3d_choose() {
    printf 'set-text d3d %s %s\nset-text d3d %s %s\nclick d3d %s\nsleep 300\n' "$IDC_CMB_RES" "$1" \
        "$IDC_CMB_BITRATES" "$2" "$([ "$3" = on ] && echo "$IDC_OPT_ON" || echo "$IDC_OPT_OFF")"
}

# d3d_run_test SHOT SECONDS RES DEPTH on|off: chooses, presses Go, lets the test run, checks
# the screen (SHOT), clicks the test window; then the test window is gone, no message came,
# the set-up window is enabled again, and the run's line shows a run of that mode that drew.
d3d_run_test() {
    local n=$(($(grep -c '^run ' "$D3D_REPORT") + 1))
    e2e_drive go <<EOF
$(d3d_choose "$3" "$4" "$5")
click d3d $IDC_CMD_GO
wait-window d3dtest
sleep 1000
expect enabled d3d no
EOF
    sleep "$2"
    d3d_check_screen "$1"
    e2e_drive end <<EOF
lclick d3dtest
wait-gone d3dtest
sleep 500
expect exists box no
expect enabled d3d yes
EOF
    d3d_expect_run $n ran=1 "mode=${3// /}x${4%% *}" "vsync=$([ "$5" = on ] && echo 1 || echo 0)"
    [ "$(d3d_field "$(d3d_run $n)" frames)" -gt 10 ] 2>/dev/null || e2e_fail "run $n drew too few frames"
}

# d3d_check_screen NAME: the screen, RESULTS/NAME.png, shows the text lines (0x55CCFF in their
# corner, 0x52CEFF in a 16-bit mode) and the square (some pixel in the middle eighth not
# black). Taken again, up to eight times half a second apart, while it lacks them: under load
# the first frame can come late, and the square turns, so edge-on it draws nothing.
d3d_check_screen() {
    local n text max png=$E2E_RESULTS/$1.png w=$((D3D_SCREEN_W / 8)) h=$((D3D_SCREEN_H / 8))
    for n in 1 2 3 4 5 6 7 8; do
        e2e_screenshot "$1"
        text=$(convert "$png" -crop 260x40+0+0 +repage -fuzz 3% -fill white -opaque '#55CCFF' \
            -fill black +opaque white -format '%[fx:round(mean*w*h)]' info: 2>/dev/null)
        max=$(convert "$png" -crop "${w}x${h}+$(((D3D_SCREEN_W - w) / 2))+$(((D3D_SCREEN_H - h) / 2))" \
            +repage -format '%[max]' info: 2>/dev/null)
        [ "${text:-0}" -ge 150 ] 2>/dev/null && [ "${max%.*}" -gt 0 ] 2>/dev/null && return 0
        sleep 0.5
    done
    e2e_fail "$png lacks the text lines ($text pixels of their colour) or the square (brightest $max)"
}

# d3d_main_enabled_again: within 10 s the stand-in main window reports it was enabled again.
d3d_main_enabled_again() {
    local n
    for n in $(seq 100); do grep -qx closed "$D3D_REPORT" && return 0; sleep 0.1; done
    return 1
}
