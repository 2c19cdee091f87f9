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
wait-window d3d
expect enabled main no
expect text d3d $IDC_CMB_RES Resolution
expect text d3d $IDC_CMB_BITRATES Bit Rate
combo-items d3d $IDC_CMB_RES
expect combo-items d3d $IDC_CMB_BITRATES 16 bit|32 bit
EOF2
expected=""
for row in $(seq 0 19); do
    [ "$(e2e_out text main $((IDC_ROW_CAPTION + row)))" = N/A ] && continue
    res=${E2E_ROWS[$row]}
    expected+="${expected:+|}${res%x*} x ${res#*x}"
done
e2e_expect_eq "resolution list" "$(e2e_out combo-items d3d $IDC_CMB_RES)" "$expected"

e2e_drive go <<EOF2
attach main
key d3d $IDC_CMB_RES TAB TAB
expect focus d3d $IDC_CMD_GO
key d3d $IDC_CMD_GO RETURN
answer ok Please select a valid resolution from the list.
wait-gone box 5000
combo-select d3d $IDC_CMB_RES $desktop
combo-select d3d $IDC_CMB_BITRATES 32 bit
expect text d3d $IDC_CMB_RES $desktop
expect text d3d $IDC_CMB_BITRATES 32 bit
click d3d $IDC_CMD_GO
wait-window d3dtest
sleep 1500
expect enabled d3d no
EOF2
d3d_check_screen test-1600-1200-32

e2e_drive end <<EOF2
attach main
lclick d3dtest
wait-gone d3dtest
expect exists box no
expect enabled d3d yes
expect enabled main no
click d3d $IDC_CMD_CANCEL
wait-gone d3d 10000
expect enabled main yes
menu main $IDM_EXIT
wait-exit
EOF2
e2e_end
