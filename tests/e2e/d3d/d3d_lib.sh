# The Direct3D test's end-to-end cases: the set-up window opened by hzwkd3dtry.exe over a
# stand-in main window, driven from outside by hzwkd3ddrive.exe. Sourced after ../lib.sh
# (whose Xvfb, prefix template, results folder, screenshots and verdicts these reuse).
#   E2E_D3D_HELPERS  folder of hzwkd3dtry.exe, hzwkd3ddrive.exe, hzwkd3dbare.exe
#                    (default $E2E_HELPERS/d3d, as the main Windows build puts them)
#   D3D_WINE         the Wine loader that runs them (default $E2E_WINE)

: "${E2E_D3D_HELPERS:=$E2E_HELPERS/d3d}"
: "${D3D_WINE:=$E2E_WINE}"
D3D_SETUP="$HZWK_TITLE_D3D"
D3D_TEST="$HZWK_TITLE_D3D_TEST"
D3D_MAIN="hzwkd3dtry main"
: "${D3D_SETUP:=Hertzwerk VSync Tester}"
: "${D3D_TEST:=d3d_hWnd}"
D3D_SCREEN_W=1024
D3D_SCREEN_H=768

# d3d_begin CASE [TRY ARGS...]: Xvfb at the desktop size, a fresh prefix, hzwkd3dtry.exe
# running with its report in $D3D_REPORT, the set-up window on screen.
d3d_begin() {
    E2E_CASE=$1
    shift
    SECONDS=0
    E2E_WORK=$E2E_WORK_ROOT/$E2E_CASE
    E2E_RESULTS=$E2E_RESULTS_ROOT/$E2E_CASE
    rm -rf "$E2E_WORK" "$E2E_RESULTS"
    mkdir -p "$E2E_WORK" "$E2E_RESULTS"
    local h
    for h in hzwkd3dtry hzwkd3ddrive; do
        [ -f "$E2E_D3D_HELPERS/$h.exe" ] || { e2e_fail "missing $E2E_D3D_HELPERS/$h.exe"; e2e_end; }
    done
    e2e_start_xvfb "$D3D_SCREEN_W" "$D3D_SCREEN_H" || e2e_end
    export WINEPREFIX=$E2E_WORK/prefix
    e2e_template || e2e_end
    e2e_need_wow64 "$E2E_D3D_HELPERS/hzwkd3dtry.exe" || e2e_end
    "$WINESERVER" -f -p > "$E2E_WORK/wineserver.log" 2>&1 &
    E2E_PIDS+=("$!")
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
    d3d_drive wait "$D3D_SETUP" 30000 || { e2e_fail "no set-up window"; e2e_end; }
}

# d3d_drive COMMAND ARGS...: one hzwkd3ddrive.exe command; its output on stdout.
d3d_drive() {
    e2e_timeout 60 "$D3D_WINE" "$E2E_D3D_HELPERS/hzwkd3ddrive.exe" "$@" 2>> "$E2E_RESULTS/drive.err" | tr -d '\r'
    return "${PIPESTATUS[0]}"
}

# d3d_last_run: the report's last run line.
d3d_last_run() { grep '^run ' "$D3D_REPORT" | tail -n 1; }

# d3d_field LINE NAME: a name=value field of a run line.
d3d_field() { printf '%s\n' "$1" | tr ' ' '\n' | sed -n "s/^$2=//p"; }

# d3d_expect_message TEXT: a "Hertzwerk" box with TEXT appears and is answered.
d3d_expect_message() {
    local got
    got=$(d3d_drive msgbox 20000)
    e2e_expect_eq "message box" "$got" "$1"
}

# d3d_choose RES DEPTH on|off: the two texts and the VSync option.
d3d_choose() {
    d3d_drive settext "$D3D_SETUP" "$IDC_CMB_RES" "$1" || e2e_fail "cannot set the resolution text"
    d3d_drive settext "$D3D_SETUP" "$IDC_CMB_BITRATES" "$2" || e2e_fail "cannot set the depth text"
    if [ "$3" = on ]; then
        d3d_drive click "$D3D_SETUP" "$IDC_OPT_ON"
    else
        d3d_drive click "$D3D_SETUP" "$IDC_OPT_OFF"
    fi
    sleep 0.3
}

# d3d_run_test SHOT SECONDS: presses Go, lets the test run, takes the screenshot SHOT,
# clicks the test window, and checks that the test window is gone, no message came, and
# the set-up window is enabled again.
d3d_run_test() {
    local shot=$1 secs=$2
    d3d_drive click "$D3D_SETUP" "$IDC_CMD_GO"
    if ! d3d_drive wait "$D3D_TEST" 20000; then
        e2e_fail "no test window after Go"
        return 1
    fi
    sleep 1
    e2e_expect_eq "set-up window enabled during the test" "$(d3d_drive enabled "$D3D_SETUP")" 0
    sleep "$secs"
    d3d_screenshot "$shot"
    d3d_drive lclick "$D3D_TEST"
    d3d_drive gone "$D3D_TEST" 20000 || e2e_fail "test window still open after the click"
    sleep 0.5
    d3d_drive nomsgbox || e2e_fail "a message box after the test: $(d3d_drive msgbox 1000)"
    e2e_expect_eq "set-up window enabled after the test" "$(d3d_drive enabled "$D3D_SETUP")" 1
}

# d3d_text_pixels PNG: pixels of the text colour 0x55CCFF in the text lines' corner, give or
# take the rounding of a 16-bit mode (there it shows as 0x52CEFF).
d3d_text_pixels() {
    convert "$1" -crop 260x40+0+0 +repage -fuzz 3% -fill white -opaque '#55CCFF' \
        -fill black +opaque white -format '%[fx:round(mean*w*h)]' info: 2>/dev/null
}

# d3d_square_drawn PNG: some pixel in the middle eighth of the screen is not black. The square
# turns about the vertical axis, so near 90 and 270 degrees it is a sliver beside the centre.
d3d_square_drawn() {
    local w=$((D3D_SCREEN_W / 8)) h=$((D3D_SCREEN_H / 8)) max
    max=$(convert "$1" -crop "${w}x${h}+$(((D3D_SCREEN_W - w) / 2))+$(((D3D_SCREEN_H - h) / 2))" +repage \
        -format '%[max]' info: 2>/dev/null)
    [ -n "$max" ] && [ "${max%.*}" -gt 0 ] 2>/dev/null
}

# d3d_screenshot NAME: the screen as RESULTS/NAME.png while the test runs. Taken again, up to
# eight times half a second apart, while it lacks the text lines (under load the first frame
# can come late) or the square (exactly edge-on, at 90 or 270 degrees, it draws nothing).
d3d_screenshot() {
    local n png=$E2E_RESULTS/$1.png
    for n in 1 2 3 4 5 6 7 8; do
        e2e_screenshot "$1"
        [ "$(d3d_text_pixels "$png")" -ge 150 ] 2>/dev/null && d3d_square_drawn "$png" && return 0
        sleep 0.5
    done
}

# d3d_main_enabled_again: within 10 s the stand-in main window reports it was enabled again.
d3d_main_enabled_again() {
    local n=0
    while ! grep -qx closed "$D3D_REPORT"; do
        [ $n -lt 100 ] || return 1
        sleep 0.1
        n=$((n + 1))
    done
}
