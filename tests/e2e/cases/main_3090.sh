#!/bin/bash
# The main window on the 30.90 driver (ladder mode) and what it opens: About (main window
# disabled meanwhile; each page button, the close box and Close), Help with hzwkhelp.chm
# hidden (a hidden file does not count) and plain, Load on Windows Start on and off
# (LoadOnStartup and the Run entry, written, then deleted), Apply answered No. Then the
# steppers (a real click on a right arrow steps on from the rate on show; a step past 120 Hz
# snaps back), Apply: the value is what hzwkctl composes for the captions on show. Last,
# hzwkctl.exe on the same registry.
. "$(dirname "$0")/../lib.sh"
e2e_begin main-3090 xp-ti4600-3090
L=$IDC_ABOUT_LINE HZ='HKLM\SOFTWARE\HZWK' RUN='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'
r640=$(e2e_row 640x480) r1024=$(e2e_row 1024x768) r320=$(e2e_row 320x200) r1152=$(e2e_row 1152x864)
cp "$(dirname "$HZWK_EXE")/hzwkhelp.chm" "$E2E_FOLDER/" || e2e_fail "no hzwkhelp.chm beside $HZWK_EXE"
e2e_wine 30 cmd /c attrib +h "$E2E_FOLDER_WIN\hzwkhelp.chm"

e2e_drive windows <<EOF2
start $E2E_EXE_Q
wait-window main 40000
menu main $IDM_ABOUT
wait-window about
expect enabled main no
expect text about $IDC_ABOUT_HEADING Contact Info:
expect text about $L Bug Reports - bugs@example.org
$(while IFS='|' read -r page heading line5; do
      echo "click about $((IDC_ABOUT_PAGE + page))"
      echo "expect text about $IDC_ABOUT_HEADING $heading"
      echo "expect text about $((L + 4)) \"$line5\""
  done <<< $'3|Donation Info:|Click here to donate\n1|Links:|\n2|Credits:|\n0|Contact Info:|')
close about
wait-gone about
expect enabled main yes
menu main $IDM_ABOUT
wait-window about
click about $IDC_ABOUT_CLOSE
wait-gone about
expect enabled main yes
menu main $IDM_TOPICS
answer ok Help file (hzwkhelp.chm) not found
sleep $E2E_SETTLE_MS
menu main $IDM_LOAD
expect reg $HZ LoadOnStartup dword:1
expect reg $RUN HZWK "sz:\"$E2E_FOLDER_WIN\hzwk.exe\" /startup"
menu main $IDM_LOAD
expect reg $HZ LoadOnStartup absent
expect reg $RUN HZWK absent
click main $IDC_CMD_APPLY
answer no Are you sure you want to apply these values to the registry?
sleep 500
expect reg $E2E_DEVICE_KEY NV25_Modes absent
EOF2
# Help with the file no longer hidden: the HTML Help viewer opens its own window, no message.
# Wine's viewer shows blank pages offline, so the file's pages are checked on the host.
e2e_wine 30 cmd /c attrib -h "$E2E_FOLDER_WIN\hzwkhelp.chm"
listing=$(chmls list "$E2E_FOLDER/hzwkhelp.chm" 2>&1)
for page in "$E2E_REPO"/help/*.html; do
    grep -q "/${page##*/}\$" <<<"$listing" || e2e_fail "hzwkhelp.chm lacks ${page##*/}"
done
e2e_drive help <<EOF2
attach main
menu main $IDM_TOPICS
wait-window "Hertzwerk Help" 30000
sleep 1000
expect exists box no
close "Hertzwerk Help"
wait-gone "Hertzwerk Help"
expect text main $((IDC_ROW_CAPTION + r1152)) 75
lclick main $((IDC_ROW_STEPPER + r1152)) right
expect text main $((IDC_ROW_CAPTION + r1152)) 85
updown main $((IDC_ROW_STEPPER + r640)) 5
updown main $((IDC_ROW_STEPPER + r1024)) 9
updown main $((IDC_ROW_STEPPER + r320)) 2
expect text main $((IDC_ROW_CAPTION + r640)) 85
expect text main $((IDC_ROW_CAPTION + r1024)) 120
expect updown-pos main $((IDC_ROW_STEPPER + r1024)) 7
expect text main $((IDC_ROW_CAPTION + r320)) 70
$(e2e_captions)
EOF2
expected=$(e2e_composed --version 6.14.10.3090)
e2e_drive apply <<EOF2
attach main
click main $IDC_CMD_APPLY
answer yes Are you sure you want to apply these values to the registry?
answer ok Values added succesfully. Please remember to REBOOT your computer for changes to take effect
expect reg $E2E_DEVICE_KEY NV25_Modes "sz:$expected"
menu main $IDM_EXIT
wait-exit
EOF2
# hzwkctl.exe: detect prints the report, monitor what the native tool finds, apply and reset
# write what the native tool composes (every row given, so Wine's modes never enter).
cp "$(dirname "$HZWK_EXE")/hzwkctl.exe" "$E2E_FOLDER/"
ctl() { e2e_wine 30 "$E2E_FOLDER/hzwkctl.exe" "$@" 2>>"$E2E_RESULTS/hzwkctl.err" | tr -d '\r'; }
prof=$E2E_SRC/profiles/xp-ti4600-3090
cmp -s <(ctl detect | tail -n +2) "$prof/expected-report.txt" || e2e_fail "hzwkctl.exe detect differs"
e2e_expect_eq "hzwkctl.exe monitor" "$(ctl monitor)" "$(e2e_hzwkctl monitor --machine "$prof")"
declare -A RATES=([640x480]=85 [800x600]=75 [1024x768]=70 [1280x1024]=60 [848x480]=60)
rows=(); for res in "${E2E_ROWS[@]}"; do rows+=("$res=${RATES[$res]:-N/A}"); done
applied=$(e2e_hzwkctl compose --machine "$prof" "${rows[@]}")
ctl apply "${rows[@]}" >/dev/null
cp -r "$prof" "$E2E_WORK/profile-copy"
e2e_hzwkctl reset --machine "$E2E_WORK/profile-copy" >/dev/null
e2e_drive hzwkctl-apply <<< "expect reg $E2E_DEVICE_KEY NV25_Modes \"sz:$applied\""
ctl reset >/dev/null
e2e_drive hzwkctl-reset <<< "expect reg $E2E_DEVICE_KEY NV25_Modes \"sz:$(e2e_reg_file_sz "$E2E_WORK/profile-copy/registry.reg" NV25_Modes)\""
e2e_end
