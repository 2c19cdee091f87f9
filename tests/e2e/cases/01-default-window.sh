#!/bin/bash
# Default machine: the main window shows what start-up detected, debug.txt holds the report,
# and File > Exit closes the program. Its monitor states 30-107 kHz: the calculator's box
# starts at 107 (still disabled with this driver) and Set is not the default button.
. "$(dirname "$0")/../lib.sh"
e2e_begin default-window xp-ti4600-3090

e2e_drive <<EOF2
start $E2E_EXE_Q
wait-window main 40000
expect-text main $IDC_LBL_OS Windows XP
expect-text main $IDC_LBL_DETVERSION 6.14.10.3090
expect-text main $IDC_LBL_ADAPTERS GeForce4 Ti 4600
expect-text main $IDC_TEXT1 107
expect-enabled main $IDC_TEXT1 no
expect-defid main none
EOF2
e2e_screenshot_window "$HZWK_TITLE_MAIN" main-window
e2e_check_report
e2e_drive close <<EOF2
attach main
menu main $IDM_EXIT
wait-exit 20000
EOF2
e2e_end
