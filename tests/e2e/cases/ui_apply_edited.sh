#!/bin/bash
# Apply after the user changed the grid: ladder steppers on the 30.90 driver (a click on a
# right arrow at start steps on from the rate on show; a click past 120 Hz stays at 120), then the horizontal-frequency calculator on the 41.09 driver
# (any rate; the calculator comes with advanced mode there). Each Apply leaves one backup
# beside debug.txt; on 41.09 importing it with regedit puts the old value back.
. "$(dirname "$0")/../lib.sh"
. "$(dirname "$0")/ui_common.bash"

r640=$(ui_row_of 640x480); r1024=$(ui_row_of 1024x768); r320=$(ui_row_of 320x200)
r800=$(ui_row_of 800x600); r2048=$(ui_row_of 2048x1536); r1152=$(ui_row_of 1152x864)

# apply_and_check NAME VALUE-NAME COMPOSE-ARGS...: Apply, then the value must be what
# hzwkctl composes for the captions the window shows now.
apply_and_check() {
    local name=$1 value_name=$2 expected
    shift 2
    e2e_drive "$name-read" < <(ui_caption_script)
    ui_read_captions "$E2E_DRIVE_OUT"
    expected=$(ui_compose "$@")
    [ -n "$expected" ] || e2e_fail "hzwkctl composed nothing"
    e2e_drive "$name-apply" < <(
        echo "click main $IDC_CMD_APPLY"
        echo "answer yes"
        echo "sleep 1500"
        echo "answer ok"
        ui_expect_value_line "$value_name" "$expected"
        echo "menu main $IDM_EXIT"
        echo "wait-gone main 20000"
    )
    UI_BACKUPS=("$E2E_FOLDER"/hzwk-backup-*.reg)
    e2e_expect_eq "backups beside debug.txt" "${#UI_BACKUPS[@]} $([ -f "${UI_BACKUPS[0]}" ] && echo file)" "1 file"
}

# --- ladder: 30.90 ---
e2e_begin ui-apply-edited xp-ti4600-3090
e2e_drive steps < <(
    echo "start $E2E_EXE_Q"
    echo "wait-window main 40000"
    # A real click on the right arrow, as the mouse gives it: "75" goes to the next rung.
    echo "expect-text main $((IDC_ROW_CAPTION + r1152)) 75"
    echo "lclick main $((IDC_ROW_STEPPER + r1152)) right"
    echo "wait-text main $((IDC_ROW_CAPTION + r1152)) 5000 85"
    echo "updown main $((IDC_ROW_STEPPER + r640)) 5"
    echo "updown main $((IDC_ROW_STEPPER + r1024)) 9"
    echo "updown main $((IDC_ROW_STEPPER + r320)) 2"
    echo "sleep 1500"
    echo "expect-text main $((IDC_ROW_CAPTION + r640)) 85"
    echo "expect-text main $((IDC_ROW_CAPTION + r1024)) 120"
    echo "updown-pos main $((IDC_ROW_STEPPER + r1024))"
    echo "expect-text main $((IDC_ROW_CAPTION + r320)) 70"
)
e2e_expect_eq "1024x768 stepper snapped back" \
    "$(grep -m1 '^updown-pos' "$E2E_DRIVE_OUT" | tr -d '\r' | awk '{print $4}')" 7
apply_and_check ladder NV25_Modes --version 6.14.10.3090
e2e_screenshot main-window-stepped
E2E_LADDER_FAILED=$E2E_FAILED
e2e_cleanup
E2E_FAILED=$E2E_LADDER_FAILED

# --- calculator: 41.09, any rate ---
e2e_begin ui-apply-edited-calc xp-ti4600-4109
E2E_FAILED=$E2E_LADDER_FAILED
# A mode list from before: the backup must bring it back.
old_modes='{*}S 640x480x8,16,32=1FFF; 800x600=1DFF;'
printf 'REGEDIT4\r\n\r\n[%s]\r\n"NV_Modes"="%s"\r\n\r\n' "${UI_DEVICE_KEY/HKLM/HKEY_LOCAL_MACHINE}" "$old_modes" \
    > "$E2E_WORK/old-modes.reg"
e2e_wine 60 regedit /S "$(winepath_of "$E2E_WORK/old-modes.reg")" > "$E2E_WORK/old-modes.log" 2>&1 ||
    e2e_fail "regedit could not seed the old mode list"
e2e_drive calc < <(
    echo "start $E2E_EXE_Q"
    echo "wait-window main 40000"
    # A normal-format driver starts with the calculator off; advanced mode brings it.
    echo "expect-enabled main $IDC_CMD_CALC no"
    echo "click main $IDC_CHECK1"
    echo "answer ok"
    echo "sleep $UI_SETTLE_MS"
    echo "expect-enabled main $IDC_CMD_CALC yes"
    echo "set-text main $IDC_TEXT1 96"
    echo "click main $IDC_CMD_CALC"
    echo "sleep 1500"
    echo "expect-text main $((IDC_ROW_CAPTION + r640)) 188"
    echo "expect-text main $((IDC_ROW_CAPTION + r800)) 150"
    echo "expect-text main $((IDC_ROW_CAPTION + r1024)) 116"
    echo "expect-text main $((IDC_ROW_CAPTION + r2048)) N/A"
    echo "updown-pos main $((IDC_ROW_STEPPER + r640))"
)
e2e_expect_eq "640x480 stepper at the rate" \
    "$(grep -m1 '^updown-pos' "$E2E_DRIVE_OUT" | tr -d '\r' | awk '{print $4}')" 188
e2e_screenshot main-window-calculated
apply_and_check calc NV_Modes --version 6.14.10.4109 --tv 800x600
cp "${UI_BACKUPS[0]}" "$E2E_RESULTS/"
e2e_wine 60 regedit /S "$(winepath_of "${UI_BACKUPS[0]}")" > "$E2E_WORK/restore.log" 2>&1 ||
    e2e_fail "regedit could not import the backup"
e2e_drive restored < <(ui_expect_value_line NV_Modes "$old_modes")
e2e_end
