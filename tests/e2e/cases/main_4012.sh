#!/bin/bash
# Advanced mode and Set Defaults on the compressed 40.12 driver (ladder mode, calculator off
# at start). On warns, lines the steppers up with their captions, enables them and the
# calculator; off throws a hand-made change away,
# disables them all (Tab then passes over them) and re-reads the grid. Set Defaults after an
# Apply writes the catalogue's default list as hzwkctl's reset does, logs nothing and reads
# the grid anew.
. "$(dirname "$0")/../lib.sh"
e2e_begin main-4012 xp-ti4600-4012-compressed
r640=$(e2e_row 640x480) r320=$(e2e_row 320x200)
cap640=$((IDC_ROW_CAPTION + r640)) step640=$((IDC_ROW_STEPPER + r640))
cp -r "$E2E_SRC/profiles/$E2E_PROFILE" "$E2E_WORK/profile-copy"
e2e_hzwkctl reset --machine "$E2E_WORK/profile-copy" >/dev/null || e2e_fail "hzwkctl reset failed"
defaults=$(e2e_reg_file_sz "$E2E_WORK/profile-copy/registry.reg" NV25_Modes_Delta)

e2e_drive <<EOF2
start $E2E_EXE_Q
wait-window main 40000
expect enabled main $IDC_CMD_CALC no
expect text main $cap640 60
click main $IDC_CHECK1
answer ok This program is not magic, and it will not allow you to display higher refresh rates than what your monitor supports. Use with caution.
expect updown-pos main $step640 1
expect enabled main $((IDC_ROW_STEPPER + r320)) yes
$(for id in $IDC_CMD_CALC $IDC_TEXT1 $IDC_CMD_CALCDEF $IDC_UPDOWN24; do echo "expect enabled main $id yes"; done)
updown main $step640 5
expect text main $cap640 85
click main $IDC_CHECK1
expect text main $cap640 60
$(for row in "${!E2E_ROWS[@]}"; do echo "expect enabled main $((IDC_ROW_STEPPER + row)) no"; done)
$(for id in $IDC_CMD_CALC $IDC_TEXT1 $IDC_CMD_CALCDEF $IDC_UPDOWN24; do echo "expect enabled main $id no"; done)
set-focus main $IDC_CHECK1
expect focus main $IDC_CHECK1
key main $IDC_CHECK1 TAB
expect focus main $IDC_CMD_APPLY
click main $IDC_CHECK1
answer ok
expect enabled main $step640 yes
updown main $step640 5
click main $IDC_CMD_APPLY
answer yes
sleep 1500
answer ok
sleep $E2E_SETTLE_MS
click main $IDC_CMD_RESET
answer yes Are you sure you wish to set the Nvidia driver default values?
answer ok Default values reset successfully
expect text main $cap640 60
expect reg $E2E_DEVICE_KEY NV25_Modes_Delta "sz:$defaults"
menu main $IDM_EXIT
wait-exit
EOF2
e2e_expect_eq "Apply lines in debug.txt" "$(grep -c 'Added registry value: ' "$E2E_FOLDER/debug.txt")" 1
e2e_end
