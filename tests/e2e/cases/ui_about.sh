#!/bin/bash
# Help > About: opens on the contact page with the main window disabled; each page button
# shows its whole page; the title-bar close box and Close both end it and give the main
# window back. Then Help > Topics without hzwkhelp.chm beside the program gives the message.
. "$(dirname "$0")/../lib.sh"
. "$(dirname "$0")/ui_common.bash"
e2e_begin ui-about xp-ti4600-3090
L=$IDC_ABOUT_LINE

# main_enabled OUTFILE: yes/no from the last window dump in a driver output.
main_enabled() {
    local line
    line=$(grep -E '^  window "Hertzwerk v2\.1a" class=HertzwerkMain' "$1" | tail -n 1 | tr -d '\r')
    case $line in "") echo unknown ;; *" disabled") echo no ;; *) echo yes ;; esac
}

e2e_drive open < <(
    echo "start $E2E_EXE_Q"
    echo "wait-window main 40000"
    echo "menu main $IDM_ABOUT"
    echo "wait-window about 20000"
    echo "expect-text about $IDC_ABOUT_HEADING Contact Info:"
    echo "expect-text about $L Bug Reports - bugs@example.org"
    echo "expect-text about $((L + 3)) \"\""
    echo "expect-text about $((IDC_ABOUT_PAGE + 3)) Donate"
    echo "dump"
)
e2e_expect_eq "main window enabled while About is open" "$(main_enabled "$E2E_DRIVE_OUT")" no
e2e_screenshot about-window

e2e_drive pages < <(
    echo "click about $((IDC_ABOUT_PAGE + 3))"
    echo "sleep 1000"
    echo "expect-text about $IDC_ABOUT_HEADING Donation Info:"
    echo "expect-text about $L If you would like to support"
    echo "expect-text about $((L + 4)) Click here to donate"
    echo "click about $((IDC_ABOUT_PAGE + 1))"
    echo "sleep 1000"
    echo "expect-text about $IDC_ABOUT_HEADING Links:"
    echo "expect-text about $((L + 1)) NVidia - www.nvidia.com"
    echo "expect-text about $((L + 4)) \"\""
    echo "click about $((IDC_ABOUT_PAGE + 2))"
    echo "sleep 1000"
    echo "expect-text about $IDC_ABOUT_HEADING Credits:"
    echo "click about $((IDC_ABOUT_PAGE + 0))"
    echo "sleep 1000"
    echo "expect-text about $IDC_ABOUT_HEADING Contact Info:"
    echo "expect-text about $((L + 4)) \"\""
    # The title-bar close box works like Close.
    echo "close about"
    echo "wait-gone about 20000"
    echo "sleep 1000"
    echo "dump"
)
e2e_expect_eq "main window enabled after the close box" "$(main_enabled "$E2E_DRIVE_OUT")" yes

e2e_drive close-button < <(
    echo "menu main $IDM_ABOUT"
    echo "wait-window about 20000"
    echo "expect-text about $IDC_ABOUT_HEADING Contact Info:"
    echo "click about $IDC_ABOUT_CLOSE"
    echo "wait-gone about 20000"
    echo "sleep 1000"
    echo "dump"
)
e2e_expect_eq "main window enabled after Close" "$(main_enabled "$E2E_DRIVE_OUT")" yes

e2e_drive help < <(
    echo "menu main $IDM_TOPICS"
    echo "answer ok Help file (hzwkhelp.chm) not found"
    echo "sleep $UI_SETTLE_MS"
    echo "menu main $IDM_EXIT"
    echo "wait-gone main 20000"
)
e2e_end
