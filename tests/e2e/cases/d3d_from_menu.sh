#!/bin/bash
# The Direct3D test through the real program: "&Direct3D Testing..." opens the set-up
# window and disables the main window; the resolution list holds the grid's first 20 rows
# whose caption is not "N/A", in grid order, and the depth list "16 bit", "32 bit"; Tab and
# Enter work in it. The desktop's resolution at 32 bit runs full screen until a click; Cancel
# then enables the main window again.
. "$(dirname "$0")/../lib.sh"
. "$E2E_SRC/d3d/d3d_lib.sh"
e2e_begin d3d-from-menu xp-ti4600-3090
# The harness sizes the screen to the profile's largest mode: that is the desktop.
D3D_SCREEN_W=1600 D3D_SCREEN_H=1200
desktop="1600 x 1200"

e2e_drive open <<EOF2
start $E2E_EXE_Q
wait-window main 40000
$(e2e_captions)
menu main $IDM_D3DTEST
wait-window d3d 20000
expect-window-enabled main no
expect-text d3d $IDC_CMB_RES Resolution
expect-text d3d $IDC_CMB_BITRATES Bit Rate
combo-items d3d $IDC_CMB_RES
expect-combo-items d3d $IDC_CMB_BITRATES 16 bit|32 bit
EOF2
expected=""
for row in $(seq 0 19); do
    [ "$(e2e_out text main $((IDC_ROW_CAPTION + row)))" = N/A ] && continue
    res=${E2E_ROWS[$row]}
    expected+="${expected:+|}${res%x*} x ${res#*x}"
done
listed=$(e2e_out combo-items d3d $IDC_CMB_RES)
e2e_expect_eq "resolution list" "${listed#* \"}" "$expected"
[[ "|$expected|" == *"|$desktop|"* ]] || { e2e_fail "the desktop's $desktop is not in the list"; e2e_end; }

e2e_drive go <<EOF2
attach main
key d3d $IDC_CMB_RES TAB TAB
wait-focus d3d $IDC_CMD_GO 5000
key d3d $IDC_CMD_GO RETURN
answer ok Please select a valid resolution from the list.
wait-gone box 5000
combo-select d3d $IDC_CMB_RES $desktop
combo-select d3d $IDC_CMB_BITRATES 32 bit
wait-text d3d $IDC_CMB_RES 5000 $desktop
wait-text d3d $IDC_CMB_BITRATES 5000 32 bit
click d3d $IDC_CMD_GO
wait-window d3dtest 20000
sleep 1500
expect-window-enabled d3d no
EOF2
d3d_screenshot test-1600-1200-32
png=$E2E_RESULTS/test-1600-1200-32.png
d3d_square_drawn "$png" || e2e_fail "no square in the middle of $png"
[ "$(d3d_text_pixels "$png")" -ge 150 ] 2>/dev/null || e2e_fail "the text lines are missing in $png"

e2e_drive end <<EOF2
attach main
lclick d3dtest
wait-gone d3dtest 20000
expect-absent box
expect-window-enabled d3d yes
expect-window-enabled main no
click d3d $IDC_CMD_CANCEL
wait-gone d3d 10000
expect-window-enabled main yes
menu main $IDM_EXIT
wait-exit 20000
EOF2
e2e_end
