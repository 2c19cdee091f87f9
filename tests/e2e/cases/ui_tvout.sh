#!/bin/bash
# The TV-out window on the Windows 2000 profile (both resolutions stored): it opens with the
# stored values, ignores the close command, refuses a width of five digits, stores two new
# resolutions on Enter in a text box (OK is the default button) and updates the main
# window's line; equal resolutions are refused and nothing is stored.
. "$(dirname "$0")/../lib.sh"
. "$(dirname "$0")/ui_common.bash"
profile=win2000-ti4200
e2e_begin ui-tvout "$profile"
HZ='HKLM\SOFTWARE\HZWK'

e2e_drive open < <(
    echo "start $E2E_EXE_Q"
    echo "wait-window main 40000"
    echo "expect-text main $IDC_LABEL50 Added Resolutions: 800x600; 1024x768"
    echo "menu main $IDM_TVORES"
    echo "wait-window tvout 20000"
    echo "expect-text tvout $IDC_TV_LABEL3 Select the TV-Out resolutions you want to add"
    echo "expect-text tvout $IDC_TXT_W1 800"
    echo "expect-text tvout $IDC_TXT_H1 600"
    echo "expect-text tvout $IDC_TXT_W2 1024"
    echo "expect-text tvout $IDC_TXT_H2 768"
    echo "expect-text tvout $IDC_TV_DEFAULTS Set default TV-Out modes"
    echo "expect-text tvout $IDC_TV_OK &OK"
    # No control box: the close command leaves the window open.
    echo "close tvout"
    echo "sleep 1000"
    echo "expect-exists tvout"
)
e2e_screenshot tvout-window

e2e_drive store < <(
    echo "set-text tvout $IDC_TXT_W1 12345"
    echo "set-text tvout $IDC_TXT_H1 576"
    echo "click tvout $IDC_TV_CLEAR2"
    echo "sleep 1000"
    echo "expect-text tvout $IDC_TXT_W2 \"\""
    echo "set-text tvout $IDC_TXT_W2 640"
    echo "set-text tvout $IDC_TXT_H2 480"
    echo "set-focus tvout $IDC_TXT_H2"
    echo "wait-focus tvout $IDC_TXT_H2 5000"
    echo "expect-defid tvout $IDC_TV_OK"
    echo "key tvout $IDC_TXT_H2 RETURN"
    echo "answer ok Widths and heights must be whole numbers from 1 to 9999."
    echo "sleep $UI_SETTLE_MS"
    echo "expect-exists tvout"
    echo "expect-reg $HZ ResW1 sz:800"
    echo "set-text tvout $IDC_TXT_W1 720"
    echo "wait-focus tvout $IDC_TXT_H2 5000"
    echo "key tvout $IDC_TXT_H2 RETURN"
    echo "wait-gone tvout 20000"
    echo "sleep $UI_SETTLE_MS"
    echo "expect-reg $HZ ResW1 sz:720"
    echo "expect-reg $HZ ResH1 sz:576"
    echo "expect-reg $HZ ResW2 sz:640"
    echo "expect-reg $HZ ResH2 sz:480"
    echo "expect-text main $IDC_LABEL50 Added Resolutions: 720x576; 640x480"
)
e2e_screenshot main-window-$profile

e2e_drive equal < <(
    echo "menu main $IDM_TVORES"
    echo "wait-window tvout 20000"
    echo "set-text tvout $IDC_TXT_W2 720"
    echo "set-text tvout $IDC_TXT_H2 576"
    echo "click tvout $IDC_TV_OK"
    echo "answer ok Please add 2 different resolutions"
    echo "sleep $UI_SETTLE_MS"
    echo "expect-exists tvout"
    echo "expect-text tvout $IDC_TXT_W2 720"
    echo "expect-reg $HZ ResW2 sz:640"
    # Defaults only fill the boxes; a "0" width makes resolution 1 invalid: stored empty.
    echo "click tvout $IDC_TV_DEFAULTS"
    echo "sleep 1000"
    echo "expect-text tvout $IDC_TXT_W1 800"
    echo "expect-text tvout $IDC_TXT_H2 480"
    echo "expect-reg $HZ ResW1 sz:720"
    echo "set-text tvout $IDC_TXT_W1 0"
    echo "click tvout $IDC_TV_OK"
    echo "wait-gone tvout 20000"
    echo "sleep $UI_SETTLE_MS"
    echo "expect-reg $HZ ResW1 sz:"
    echo "expect-reg $HZ ResH1 sz:"
    echo "expect-reg $HZ ResW2 sz:640"
    echo "expect-reg $HZ ResH2 sz:480"
    echo "expect-text main $IDC_LABEL50 Added Resolutions: ; 640x480"
    echo "menu main $IDM_EXIT"
    echo "wait-gone main 20000"
)
e2e_end
