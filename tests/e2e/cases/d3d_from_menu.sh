#!/bin/bash
# The Direct3D test through the real program: "&Direct3D Testing..." opens the set-up
# window and disables the main window; the resolution list holds exactly the grid's rows
# (of the 20 testable ones) whose caption is not "N/A", in grid order, and the depth list
# "16 bit", "32 bit"; Tab and Enter work in it. The desktop's resolution at 32 bit runs full
# screen until a click; Cancel then enables the main window again.
. "$(dirname "$0")/../lib.sh"
. "$(dirname "$0")/ui_common.bash"
. "$E2E_SRC/d3d/d3d_lib.sh"
profile=xp-ti4600-3090
e2e_begin d3d-from-menu "$profile"
# The harness sizes the screen to the profile's largest mode: that is the desktop.
D3D_SCREEN_W=1600
D3D_SCREEN_H=1200
desktop="$D3D_SCREEN_W x $D3D_SCREEN_H"

e2e_drive open < <(
    echo "start $E2E_EXE_Q"
    echo "wait-window main 40000"
    ui_caption_script
    echo "menu main $IDM_D3DTEST"
    echo "wait-window d3d 20000"
    echo "expect-window-enabled main no"
    echo "expect-text d3d $IDC_CMB_RES Resolution"
    echo "expect-text d3d $IDC_CMB_BITRATES Bit Rate"
    echo "combo-items d3d $IDC_CMB_RES"
    echo "expect-combo-items d3d $IDC_CMB_BITRATES 16 bit|32 bit"
)
e2e_screenshot setup-window
ui_read_captions "$E2E_DRIVE_OUT"
# The first 20 rows are the testable ones, in the list's order.
expected=""
for row in $(seq 0 19); do
    [ "${UI_CAPS[$row]}" = "N/A" ] && continue
    res=${UI_ROWS[$row]}
    expected+="${expected:+|}${res%x*} x ${res#*x}"
done
listed=$(e2e_drive_line '^combo-items d3d ' | tr -d '\r')
listed=${listed#*\"}
e2e_expect_eq "resolution list" "${listed%\"}" "$expected"
[ -n "$expected" ] || e2e_fail "the grid offers no testable resolution under Wine"
case "|$expected|" in
    *"|$desktop|"*) ;;
    *) e2e_fail "the desktop's $desktop is not in the list: $expected"; e2e_end ;;
esac

e2e_drive go < <(
    echo "attach main"
    # Its keys come through the program's loop: Tab twice to Go, Enter presses it.
    echo "key d3d $IDC_CMB_RES TAB TAB"
    echo "wait-focus d3d $IDC_CMD_GO 5000"
    echo "key d3d $IDC_CMD_GO RETURN"
    echo "answer ok Please select a valid resolution from the list."
    echo "wait-gone box 5000"
    echo "combo-select d3d $IDC_CMB_RES $desktop"
    echo "combo-select d3d $IDC_CMB_BITRATES 32 bit"
    echo "wait-text d3d $IDC_CMB_RES 5000 $desktop"
    echo "wait-text d3d $IDC_CMB_BITRATES 5000 32 bit"
    echo "click d3d $IDC_CMD_GO"
    echo "wait-window d3dtest 20000"
    # Some frames before the picture is taken.
    echo "sleep 1500"
    echo "expect-window-enabled d3d no"
)
shot=test-$D3D_SCREEN_W-$D3D_SCREEN_H-32
d3d_screenshot "$shot"
png=$E2E_RESULTS/$shot.png
if [ -f "$png" ]; then
    d3d_square_drawn "$png" || e2e_fail "no square in the middle of $png"
    n=$(d3d_text_pixels "$png")
    [ "${n:-0}" -ge 150 ] || e2e_fail "the text lines are missing in $png ($n pixels of 0x55CCFF)"
else
    e2e_fail "no screenshot $png"
fi

e2e_drive end < <(
    echo "attach main"
    echo "lclick d3dtest"
    echo "wait-gone d3dtest 20000"
    echo "expect-absent box"
    echo "expect-window-enabled d3d yes"
    echo "expect-window-enabled main no"
    echo "click d3d $IDC_CMD_CANCEL"
    echo "wait-gone d3d 10000"
    echo "expect-window-enabled main yes"
    echo "menu main $IDM_EXIT"
    echo "wait-exit 20000"
)
e2e_end
