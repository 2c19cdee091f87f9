#!/bin/bash
# Windows 2000 (both TV-out resolutions stored): the report, then the TV-out window. It opens
# with the stored values and ignores the close command; a width of five digits is refused;
# Enter in a text box stores like OK (the default button), two new resolutions are stored and
# the main window's line follows; Clear empties its line; equal resolutions are refused and
# nothing is stored; defaults only fill the boxes, and a "0" width stores resolution 1 empty.
. "$(dirname "$0")/../lib.sh"
e2e_begin tvout-win2000 win2000-ti4200
HZ='HKLM\SOFTWARE\HZWK'

e2e_drive <<EOF2
start $E2E_EXE_Q
wait-window main 40000
expect text main $IDC_LABEL50 Added Resolutions: 800x600; 1024x768
menu main $IDM_TVORES
wait-window tvout
expect text tvout $IDC_TV_LABEL3 Select the TV-Out resolutions you want to add
$(for id_text in "$IDC_TXT_W1 800" "$IDC_TXT_H1 600" "$IDC_TXT_W2 1024" "$IDC_TXT_H2 768" \
      "$IDC_TV_DEFAULTS Set default TV-Out modes" "$IDC_TV_OK &OK"; do echo "expect text tvout $id_text"; done)
close tvout
sleep 1000
expect exists tvout yes
set-text tvout $IDC_TXT_W1 12345
set-text tvout $IDC_TXT_H1 576
click tvout $IDC_TV_CLEAR2
expect text tvout $IDC_TXT_W2 ""
expect text tvout $IDC_TXT_W1 12345
set-text tvout $IDC_TXT_W2 640
set-text tvout $IDC_TXT_H2 480
set-focus tvout $IDC_TXT_H2
expect focus tvout $IDC_TXT_H2
expect defid tvout $IDC_TV_OK
key tvout $IDC_TXT_H2 RETURN
answer ok Widths and heights must be whole numbers from 1 to 9999.
sleep $E2E_SETTLE_MS
expect exists tvout yes
expect reg $HZ ResW1 sz:800
set-text tvout $IDC_TXT_W1 720
expect focus tvout $IDC_TXT_H2
key tvout $IDC_TXT_H2 RETURN
wait-gone tvout
$(for v in ResW1=720 ResH1=576 ResW2=640 ResH2=480; do echo "expect reg $HZ ${v%=*} sz:${v#*=}"; done)
expect text main $IDC_LABEL50 Added Resolutions: 720x576; 640x480
menu main $IDM_TVORES
wait-window tvout
set-text tvout $IDC_TXT_W2 720
set-text tvout $IDC_TXT_H2 576
click tvout $IDC_TV_OK
answer ok Please add 2 different resolutions
sleep $E2E_SETTLE_MS
expect exists tvout yes
expect reg $HZ ResW2 sz:640
click tvout $IDC_TV_DEFAULTS
expect text tvout $IDC_TXT_W1 800
expect text tvout $IDC_TXT_H2 480
expect reg $HZ ResW1 sz:720
set-text tvout $IDC_TXT_W1 0
click tvout $IDC_TV_OK
wait-gone tvout
$(for v in ResW1= ResH1= ResW2=640; do echo "expect reg $HZ ${v%=*} sz:${v#*=}"; done)
expect text main $IDC_LABEL50 Added Resolutions: ; 640x480
menu main $IDM_EXIT
wait-exit
EOF2
e2e_check_report
e2e_end
