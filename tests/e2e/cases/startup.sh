#!/bin/bash
# Start-up outcomes: Windows 6.0 and a driver that is not NVIDIA's end with their message and
# no report (the non-NVIDIA version is stored all the same); /startup with the driver seen
# last ends without a window; /startup after a driver update asks, and No ends it keeping the
# stored version. Then a normal start replaces an older, longer debug.txt with the report and
# shows what it detected; its monitor states 30-107 kHz, so Text1 holds 107 (disabled with
# this driver) and Set is not the default button. File > Exit ends it.
. "$(dirname "$0")/../lib.sh"
HZ='HKLM\SOFTWARE\HZWK'

e2e_begin startup-unsupported-os unsupported-os
e2e_drive <<EOF2
start $E2E_EXE_Q
answer ok No compatible Operating System found
wait-exit 20000
EOF2
e2e_no_report

e2e_begin startup-non-nvidia non-nvidia
e2e_drive <<EOF2
start $E2E_EXE_Q
answer ok No compatible Detonator version found
wait-exit 20000
expect reg $HZ LastDetVersion sz:6.14.10.6343
EOF2
e2e_no_report

E2E_EXTRA_REG="[HKEY_LOCAL_MACHINE\\SOFTWARE\\HZWK]
\"LastDetVersion\"=\"6.14.10.3090\""
e2e_begin startup xp-ti4600-3090
e2e_drive startup-unchanged <<EOF2
start $E2E_EXE_Q /startup
wait-exit 30000 quiet
EOF2
e2e_wine 30 reg add "$HZ" /v LastDetVersion /d 6.14.10.2960 /f "/reg:$E2E_BITS" >/dev/null 2>&1
e2e_drive startup-new-driver <<EOF2
start $E2E_EXE_Q /startup
answer no New Detonator drivers found, do you want to run the program and re-apply your settings?
wait-exit 20000
expect reg $HZ LastDetVersion sz:6.14.10.2960
EOF2
e2e_no_report
head -c 3000 /dev/zero | tr '\0' x > "$E2E_FOLDER/debug.txt"
e2e_drive <<EOF2
start $E2E_EXE_Q
wait-window main 40000
expect text main $IDC_LBL_OS Windows XP
expect text main $IDC_LBL_DETVERSION 6.14.10.3090
expect text main $IDC_LBL_ADAPTERS GeForce4 Ti 4600
expect text main $IDC_TEXT1 107
expect enabled main $IDC_TEXT1 no
expect defid main none
EOF2
e2e_screenshot main-window
e2e_check_report
e2e_drive close <<EOF2
attach main
menu main $IDM_EXIT
wait-exit 20000
EOF2
e2e_end
