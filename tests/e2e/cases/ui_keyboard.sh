#!/bin/bash
# The calculator from the keyboard, on the 41.09 driver switched to the compressed format
# (the calculator is enabled at start): keys typed into Text1 make "Set" the default button,
# Enter fills the 17 rows from the frequency and takes the default away again, so a second
# Enter does nothing until Text1 changes. Tab walks Text1 -> Set -> Reset, and Enter on the
# focused Reset button reads the driver's rates back. The rows' steppers take Tab and the
# arrow keys. Keys are posted to the control, so they pass through the program's own
# message loop (IsDialogMessage).
. "$(dirname "$0")/../lib.sh"
. "$(dirname "$0")/ui_common.bash"
profile=xp-ti4600-4109
e2e_begin ui-keyboard "$profile"
# The device key is volatile: the format switch goes in while this case's wineserver keeps it.
e2e_wine 30 reg add "$UI_DEVICE_KEY" /v UseCompressedModeFormat /t REG_DWORD /d 1 /f > "$E2E_WORK/reg-add.log" 2>&1 ||
    { e2e_fail "cannot set UseCompressedModeFormat"; e2e_end; }

row640=$(ui_row_of 640x480)
cap640=$((IDC_ROW_CAPTION + row640))

# Rows and the rate the calculation gives them at 96 kHz (rows of no height group: "").
declare -A RATE96=(
    [640x480]=188 [848x480]=188 [800x600]=150 [1024x768]=116 [1280x768]=116 [1360x768]=116
    [1152x864]=103 [1280x720]=124 [1280x960]=92 [1280x1024]=87 [1600x1024]=87 [1600x900]=99
    [1600x1200]=74 [1920x1200]=74 [1920x1080]=82 [1920x1440]=61 [2048x1536]=N/A
)

e2e_drive start < <(
    echo "start $E2E_EXE_Q"
    echo "wait-window main 40000"
    echo "expect-enabled main $IDC_TEXT1 yes"
    echo "expect-text main $IDC_TEXT1 \"\""  # no monitor in this profile
    echo "expect-enabled main $IDC_CMD_CALC yes"
    ui_caption_script
)
ui_read_captions "$E2E_DRIVE_OUT"
START_CAPS=("${UI_CAPS[@]}")

# A click puts the focus into Text1; nothing typed yet, so Enter has no default button.
e2e_drive type96 < <(
    echo "attach main"
    echo "lclick main $IDC_TEXT1"
    echo "wait-focus main $IDC_TEXT1 5000"
    echo "expect-defid main none"
    echo "key main $IDC_TEXT1 9 6"
    echo "wait-text main $IDC_TEXT1 5000 96"
    echo "expect-defid main $IDC_CMD_CALC"
    echo "key main $IDC_TEXT1 RETURN"
    echo "wait-text main $cap640 5000 188"
    echo "expect-defid main none"
    echo "updown-pos main $((IDC_ROW_STEPPER + row640))"
    ui_caption_script
)
ui_screenshot_window "after-enter-96"
ui_read_captions "$E2E_DRIVE_OUT"
for row in "${!UI_ROWS[@]}"; do
    res=${UI_ROWS[$row]}
    want=${RATE96[$res]:-${START_CAPS[$row]}}
    e2e_expect_eq "$res after 96 kHz and Enter" "${UI_CAPS[$row]}" "$want"
done
e2e_expect_eq "640x480 stepper after 96 kHz" \
    "$(e2e_drive_line '^updown-pos ' | tr -d '\r' | awk '{ print $4 }')" 188

# With 640x480 stepped to 100, a second Enter in Text1 must leave the grid alone. The
# Backspace after it is the marker that the Enter has been handled; it changes Text1, so
# Set is the default again and the next Enter calculates from 9 -> 90 kHz.
e2e_drive enter-again < <(
    echo "attach main"
    echo "updown main $((IDC_ROW_STEPPER + row640)) 100"
    echo "wait-text main $cap640 5000 100"
    echo "key main $IDC_TEXT1 RETURN BACK"
    echo "wait-text main $IDC_TEXT1 5000 9"
    echo "expect-text main $cap640 100"
    echo "expect-text main $((IDC_ROW_CAPTION + $(ui_row_of 800x600))) 150"
    echo "expect-defid main $IDC_CMD_CALC"
    echo "key main $IDC_TEXT1 0 RETURN"
    echo "wait-text main $cap640 5000 176"
    echo "expect-text main $((IDC_ROW_CAPTION + $(ui_row_of 800x600))) 140"
    echo "expect-text main $IDC_TEXT1 90"
)

# Tab: Text1 -> Set (a focused push button is what Enter presses) -> Reset; Enter on Reset
# reads the driver's rates again.
e2e_drive tab < <(
    echo "attach main"
    echo "key main $IDC_TEXT1 TAB"
    echo "wait-focus main $IDC_CMD_CALC 5000"
    echo "expect-defid main $IDC_CMD_CALC"
    echo "key main $IDC_CMD_CALC TAB"
    echo "wait-focus main $IDC_CMD_CALCDEF 5000"
    echo "expect-defid main $IDC_CMD_CALCDEF"
    echo "key main $IDC_CMD_CALCDEF RETURN"
    echo "wait-text main $cap640 5000 ${START_CAPS[$row640]}"
    ui_caption_script
)
ui_read_captions "$E2E_DRIVE_OUT"
e2e_expect_eq "grid after Enter on Reset" "${UI_CAPS[*]}" "${START_CAPS[*]}"

# The rows' steppers. The arrow keys step one as a click on an arrow does, so the change
# rule runs (position 0 shows "N/A"); Tab stops on each in window order, the left half top
# to bottom, then the right half, and goes on to Apply.
step640=$((IDC_ROW_STEPPER + row640))
WINDOW_ORDER=(320x200 320x240 400x300 480x360 512x384 640x400 640x480 800x600 848x480 1024x768
              1152x864 1280x720 1280x768 1280x960 1280x1024 1360x768 1600x900 1600x1024
              1600x1200 1920x1080 1920x1200 1920x1440 2048x1536)
e2e_drive steppers < <(
    echo "attach main"
    echo "updown main $step640 2"
    echo "wait-text main $cap640 5000 2"
    echo "set-focus main $step640"
    echo "wait-focus main $step640 5000"
    echo "key main $step640 DOWN LEFT"
    echo "wait-text main $cap640 5000 N/A"
    echo "key main $step640 RIGHT UP UP"
    echo "wait-text main $cap640 5000 3"
    echo "updown-pos main $step640"
    prev=""
    for res in "${WINDOW_ORDER[@]}"; do
        id=$((IDC_ROW_STEPPER + $(ui_row_of "$res")))
        if [ -z "$prev" ]; then echo "set-focus main $id"; else echo "key main $prev TAB"; fi
        echo "wait-focus main $id 5000"
        prev=$id
    done
    echo "key main $prev TAB"
    echo "wait-focus main $IDC_CMD_APPLY 5000"
)
ui_screenshot_window "stepper-tab-to-apply"
e2e_expect_eq "640x480 stepper after the arrow keys" \
    "$(e2e_drive_line '^updown-pos ' | tr -d '\r' | awk '{ print $4 }')" 3
e2e_drive close < <(echo "attach main"; echo "menu main $IDM_EXIT"; echo "wait-exit 20000")
e2e_end
