#!/bin/bash
# Apply answered No: nothing is written to the driver's key and nothing is logged. Then, on
# an adapter the catalogue does not know, Apply and Set Defaults refuse without asking.
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

# An adapter the catalogue does not know: Apply and Set Defaults say so at once, with no
# question before it, and write nothing. The device key is volatile: the description is
# changed while this case's wineserver keeps it.
unknown="Your graphics adapter was not recognised, so no mode list was written."
e2e_wine 30 reg add "$UI_DEVICE_KEY" /v "Device Description" /t REG_SZ /d "NVIDIA GeForce FX 5900" /f \
    > "$E2E_WORK/reg-add.log" 2>&1 || e2e_fail "cannot change the Device Description"
e2e_drive unknown-adapter < <(
    echo "start $E2E_EXE_Q"
    echo "wait-window main 40000"
    echo "click main $IDC_CMD_APPLY"
    echo "answer ok $unknown"
    echo "sleep $UI_SETTLE_MS"
    echo "click main $IDC_CMD_RESET"
    echo "answer ok $unknown"
    echo "sleep $UI_SETTLE_MS"
    echo "expect-absent box"
    echo "expect-reg $UI_DEVICE_KEY NV25_Modes absent"
    echo "expect-reg $UI_DEVICE_KEY NV_Modes absent"
    echo "menu main $IDM_EXIT"
    echo "wait-exit 20000"
)
[ -z "$(ui_debug_lines 'Added registry value')" ] || e2e_fail "debug.txt logged an Apply for an unknown adapter"
e2e_end
