#!/bin/bash
# Advanced mode on and off on the compressed 40.12 driver (ladder mode, calculator off at
# start): on warns, lines the steppers up with their captions, enables them and the
# calculator and shows "Added Resolutions: None"; off disables them all (Tab then passes
# over them) and re-reads the grid.
. "$(dirname "$0")/../lib.sh"
. "$(dirname "$0")/ui_common.bash"
e2e_begin ui-advanced xp-ti4600-4012-compressed
r640=$(ui_row_of 640x480); r320=$(ui_row_of 320x200)

e2e_drive < <(
    echo "start $E2E_EXE_Q"
    echo "wait-window main 40000"
    echo "expect-enabled main $IDC_CMD_CALC no"
    echo "expect-text main $((IDC_ROW_CAPTION + r640)) 60"
    echo "click main $IDC_CHECK1"
    echo "answer ok This program is not magic, and it will not allow you to display higher refresh rates than what your monitor supports. Use with caution."
    echo "sleep $UI_SETTLE_MS"
    echo "updown-pos main $((IDC_ROW_STEPPER + r640))"
    echo "expect-enabled main $((IDC_ROW_STEPPER + r320)) yes"
    echo "expect-text main $((IDC_ROW_CAPTION + r320)) N/A"
    echo "expect-text main $IDC_LABEL50 Added Resolutions: None"
    for id in $IDC_CMD_CALC $IDC_TEXT1 $IDC_CMD_CALCDEF $IDC_UPDOWN24; do echo "expect-enabled main $id yes"; done
    # A hand-made change, then advanced mode off: it is thrown away.
    echo "updown main $((IDC_ROW_STEPPER + r640)) 5"
    echo "sleep 1000"
    echo "expect-text main $((IDC_ROW_CAPTION + r640)) 85"
    echo "click main $IDC_CHECK1"
    echo "sleep 2000"
    echo "expect-text main $((IDC_ROW_CAPTION + r640)) 60"
    for row in "${!UI_ROWS[@]}"; do echo "expect-enabled main $((IDC_ROW_STEPPER + row)) no"; done
    for id in $IDC_CMD_CALC $IDC_TEXT1 $IDC_CMD_CALCDEF $IDC_UPDOWN24; do echo "expect-enabled main $id no"; done
    # Tab passes over the disabled steppers: from the check box round to Apply.
    echo "set-focus main $IDC_CHECK1"
    echo "wait-focus main $IDC_CHECK1 5000"
    echo "key main $IDC_CHECK1 TAB"
    echo "wait-focus main $IDC_CMD_APPLY 5000"
    echo "expect-exists main"
)
e2e_expect_eq "640x480 stepper lined up with 60 Hz" \
    "$(grep -m1 '^updown-pos' "$E2E_DRIVE_OUT" | tr -d '\r' | awk '{print $4}')" 1
e2e_screenshot advanced-off
e2e_drive close < <(echo "menu main $IDM_EXIT"; echo "wait-gone main 20000")
e2e_end
