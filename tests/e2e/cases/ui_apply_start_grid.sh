#!/bin/bash
# Apply with the grid exactly as start-up read it, on the 30.90 driver (NormalModeTable in
# the catalogue's value NV25_Modes) and on the 41.09 driver (ModeMaskList with the "{*}"
# head and the stored TV-out item, written as NV_Modes). The written value must be what
# hzwkctl composes for the captions the window shows, and debug.txt must log it.
. "$(dirname "$0")/../lib.sh"
. "$(dirname "$0")/ui_common.bash"

profile=${UI_PROFILE:-xp-ti4600-3090}
e2e_begin "ui-apply-start-grid-$profile" "$profile"

e2e_drive read < <(
    echo "start $E2E_EXE_Q"
    echo "wait-window main 40000"
    echo "text main $IDC_LBL_DETVERSION"
    ui_caption_script
)
ui_read_captions "$E2E_DRIVE_OUT"
version=$(ui_text_of "$E2E_DRIVE_OUT" "$IDC_LBL_DETVERSION")
e2e_screenshot "main-window-$profile"

case $version in
    *.4109) value_name=NV_Modes; expected=$(ui_compose --version "$version" --tv 800x600) ;;
    *) value_name=$(ui_hzwkctl compose --version "$version" --value-name "NVIDIA GeForce4 Ti 4600")
       expected=$(ui_compose --version "$version") ;;
esac
[ -n "$expected" ] || e2e_fail "hzwkctl composed nothing"

e2e_drive apply < <(
    echo "click main $IDC_CMD_APPLY"
    echo "answer yes Are you sure you want to apply these values to the registry?"
    echo "sleep 1500"
    echo "answer ok Values added succesfully. Please remember to REBOOT your computer for changes to take effect"
    ui_expect_value_line "$value_name" "$expected"
    echo "menu main $IDM_EXIT"
    echo "wait-gone main 20000"
)

case $version in
    *.4109) e2e_expect_eq "value head" "${expected:0:3}" "{*}"
            e2e_expect_eq "TV-out item at the end" "${expected: -13}" "800x600=803C;" ;;
esac
logged=$(ui_debug_lines "Added registry value: ")
e2e_expect_eq "debug.txt Apply lines" "$(printf '%s\n' "$logged" | wc -l)" 1
# The log holds the composed list; the "{*}" head and TV-out items come after logging.
case $expected in
    *"${logged#Added registry value: }"*) ;;
    *) e2e_fail "debug.txt logged '${logged}', not part of the written value" ;;
esac
cp "$(e2e_debug_txt)" "$E2E_RESULTS/debug.txt" 2>/dev/null
e2e_end
