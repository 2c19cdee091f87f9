#!/bin/bash
# Set Defaults on the compressed 40.12 driver: after an Apply, the catalogue's default list
# goes back unchanged under the same value name, without a log line, and the grid is read
# anew. The expected list is what hzwkctl's reset writes on the same profile.
. "$(dirname "$0")/../lib.sh"
. "$(dirname "$0")/ui_common.bash"
profile=xp-ti4600-4012-compressed
e2e_begin ui-reset "$profile"

value_name=$(ui_hzwkctl compose --version 6.14.10.4012 --compressed --value-name "NVIDIA GeForce4 Ti 4600")
copy=$E2E_WORK/profile-copy
cp -r "$E2E_SRC/profiles/$profile" "$copy"
ui_hzwkctl reset --machine "$copy" || e2e_fail "hzwkctl reset failed"
expected=$(ui_reg_file_sz "$copy/registry.reg" "$value_name")
[ -n "$expected" ] || e2e_fail "no default list for $value_name from hzwkctl reset"

e2e_drive < <(
    echo "start $E2E_EXE_Q"
    echo "wait-window main 40000"
    echo "updown main $((IDC_ROW_STEPPER + $(ui_row_of 640x480))) 5"
    echo "click main $IDC_CMD_APPLY"
    echo "answer yes"
    echo "sleep 1500"
    echo "answer ok"
    echo "sleep $UI_SETTLE_MS"
    echo "click main $IDC_CMD_RESET"
    echo "answer yes Are you sure you wish to set the Nvidia driver default values?"
    echo "sleep 1500"
    echo "answer ok Default values reset successfully"
    echo "sleep $UI_SETTLE_MS"
    # The grid shows the driver's rates again, not the stepped 85.
    echo "text main $((IDC_ROW_CAPTION + $(ui_row_of 640x480)))"
)
e2e_screenshot "main-window-$profile"
e2e_expect_eq "$value_name after Set Defaults" "$(ui_reg_sz "$UI_DEVICE_KEY" "$value_name")" "$expected"
after=$(ui_text_of "$E2E_DRIVE_OUT" $((IDC_ROW_CAPTION + $(ui_row_of 640x480))))
[ "$after" != 85 ] || e2e_fail "640x480 still shows the stepped 85 after Set Defaults"
e2e_expect_eq "Apply lines in debug.txt" "$(ui_debug_lines 'Added registry value: ' | wc -l)" 1
e2e_drive close < <(echo "menu main $IDM_EXIT"; echo "wait-gone main 20000")
e2e_end
