#!/bin/bash
# Apply answered No: nothing is written to the driver's key and nothing is logged.
. "$(dirname "$0")/../lib.sh"
. "$(dirname "$0")/ui_common.bash"
e2e_begin ui-apply-no xp-ti4600-3090

e2e_drive < <(
    echo "start $E2E_EXE_Q"
    echo "wait-window main 40000"
    echo "click main $IDC_CMD_APPLY"
    echo "answer no Are you sure you want to apply these values to the registry?"
    echo "sleep 500"
    echo "expect-exists main"
    echo "expect-reg $UI_DEVICE_KEY NV25_Modes absent"
    echo "expect-reg $UI_DEVICE_KEY NV_Modes absent"
    echo "menu main $IDM_EXIT"
    echo "wait-exit 20000"
)
[ -z "$(ui_debug_lines 'Added registry value')" ] || e2e_fail "debug.txt logged an Apply that was declined"
e2e_check_report
e2e_end
