#!/bin/bash
# The Direct3D test's runs and failures, in one set-up window over a stand-in main window:
# Go with "Bit Rate" untouched is refused; a VSync ON and a VSync OFF run in a row, each full
# screen with the square and the two lines, ended by a click; a mode the display refuses ends
# with the message and leaves the window ready for a run that works; a run whose device is
# lost (another program took the screen) ends without a message; the close box works like
# Cancel. Then, without d3d8.dll, the DirectX message comes, no test window is left, and
# Cancel enables the main window again.
. "$(dirname "$0")/../lib.sh"
. "$E2E_SRC/d3d/d3d_lib.sh"
d3d_begin d3d_runs

# A resolution but the depth left at its initial text: the message, no test.
e2e_drive refused-go <<EOF
expect enabled "hzwkd3dtry main" no
expect checked d3d $IDC_OPT_ON yes
set-text d3d $IDC_CMB_RES 1024 x 768
click d3d $IDC_CMD_GO
answer ok Please select a valid resolution from the list.
wait-gone d3dtest 2000
EOF
e2e_expect_eq "runs after the refused Go" "$(grep -c '^run ' "$D3D_REPORT")" 0

d3d_run_test vsync-on 3 "1024 x 768" "32 bit" on
d3d_run_test vsync-off 3 "1024 x 768" "32 bit" off

# Larger than the screen: the device is refused.
e2e_drive refused-mode <<EOF
$(d3d_choose "2048 x 1536" "32 bit" on)
click d3d $IDC_CMD_GO
answer ok The Direct3D test could not run in this mode.
wait-gone box 5000
wait-gone d3dtest 10000
expect enabled d3d yes
EOF
d3d_expect_run 3 ran=0

# The next run in the same window works (16 bit this time).
d3d_run_test after-refused 2 "1024 x 768" "16 bit" off

# Another program takes the screen during a run: the device is lost and the test ends
# quietly, without blaming the mode, back in the set-up window. The close box: like Cancel.
e2e_drive lost-device <<EOF
$(d3d_choose "1024 x 768" "32 bit" on)
click d3d $IDC_CMD_GO
wait-window d3dtest
sleep 1000
deactivate d3dtest
wait-gone d3dtest
sleep 500
expect exists box no
expect enabled d3d yes
close d3d
wait-gone d3d 10000
EOF
d3d_expect_run 5 ran=0
d3d_main_enabled_again || e2e_fail "main window not enabled again after the close box"

# No Direct3D 8: Wine's own d3d8 switched off for a second try.
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;d3d8=d" d3d_start_try
e2e_drive no-d3d8 <<EOF
$(d3d_choose "1024 x 768" "32 bit" on)
click d3d $IDC_CMD_GO
answer ok Direct3D 8 is not available on this computer. The test needs DirectX 8 or later.
wait-gone d3dtest 5000
click d3d $IDC_CMD_CANCEL
wait-gone d3d 10000
EOF
d3d_expect_run 1 noD3D=1
d3d_main_enabled_again || e2e_fail "main window not enabled again after Cancel"
e2e_end
