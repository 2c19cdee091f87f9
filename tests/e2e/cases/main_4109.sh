#!/bin/bash
# The calculator on the 41.09 driver (any rate): off until advanced mode; Set with 96 kHz fills
# the rows and moves their steppers; Apply writes what hzwkctl composes for the captions on
# show (with the stored TV-out item) and leaves one backup whose regedit import puts the old
# list back. Then, in the compressed format (calculator on at start), the keyboard: typing
# makes Set the default button, Enter calculates and takes the default away, so a second
# Enter does nothing until Text1 changes; Tab walks Text1, Set, Reset (Enter on it reads the
# driver's rates back), the steppers in window order, Apply; the arrow keys step a stepper.
# Keys are posted, so they pass through the program's own message loop.
. "$(dirname "$0")/../lib.sh"
e2e_begin main-4109 xp-ti4600-4109
r640=$(e2e_row 640x480)
cap640=$((IDC_ROW_CAPTION + r640)) step640=$((IDC_ROW_STEPPER + r640))
old_modes='{*}S 640x480x8,16,32=1FFF; 800x600=1DFF;'
e2e_wine 30 reg add "$E2E_DEVICE_KEY" /v NV_Modes /d "$old_modes" /f >/dev/null 2>&1

e2e_drive calc <<EOF2
start $E2E_EXE_Q
wait-window main 40000
expect enabled main $IDC_CMD_CALC no
click main $IDC_CHECK1
answer ok This program is not magic, and it will not allow you to display higher refresh rates than what your monitor supports. Use with caution.
expect enabled main $IDC_CMD_CALC yes
set-text main $IDC_TEXT1 96
click main $IDC_CMD_CALC
expect text main $cap640 188
expect updown-pos main $step640 188
$(e2e_captions)
EOF2
expected=$(e2e_composed --version 6.14.10.4109 --tv 800x600)
e2e_drive apply <<EOF2
attach main
click main $IDC_CMD_APPLY
answer yes
sleep 1500
answer ok
expect reg $E2E_DEVICE_KEY NV_Modes "sz:$expected"
menu main $IDM_EXIT
wait-exit
EOF2
backups=("$E2E_FOLDER"/hzwk-backup-*.reg)
e2e_expect_eq "backups" "${#backups[@]}" 1
e2e_wine 60 regedit /S "$(winepath_of "${backups[0]}")" >/dev/null 2>&1 || e2e_fail "regedit could not import the backup"

e2e_wine 30 reg add "$E2E_DEVICE_KEY" /v UseCompressedModeFormat /t REG_DWORD /d 1 /f >/dev/null 2>&1
e2e_drive keyboard-start <<EOF2
expect reg $E2E_DEVICE_KEY NV_Modes "sz:$old_modes"
start $E2E_EXE_Q
wait-window main 40000
text main $cap640
EOF2
e2e_drive keyboard <<EOF2
attach main
lclick main $IDC_TEXT1
expect focus main $IDC_TEXT1
expect defid main none
key main $IDC_TEXT1 9 6
expect text main $IDC_TEXT1 96
expect defid main $IDC_CMD_CALC
key main $IDC_TEXT1 RETURN
expect text main $cap640 188
expect defid main none
updown main $step640 240
expect text main $cap640 240
expect updown-pos main $step640 240
# The Backspace marks that the Enter before it was handled: it left the grid alone.
key main $IDC_TEXT1 RETURN BACK
expect text main $IDC_TEXT1 9
expect text main $cap640 240
expect defid main $IDC_CMD_CALC
key main $IDC_TEXT1 0 RETURN
expect text main $cap640 176
key main $IDC_TEXT1 TAB
expect focus main $IDC_CMD_CALC
expect defid main $IDC_CMD_CALC
key main $IDC_CMD_CALC TAB
expect focus main $IDC_CMD_CALCDEF
expect defid main $IDC_CMD_CALCDEF
key main $IDC_CMD_CALCDEF RETURN
expect text main $cap640 $(e2e_out text main $cap640)
updown main $step640 2
expect text main $cap640 2
set-focus main $step640
expect focus main $step640
key main $step640 DOWN LEFT
expect text main $cap640 N/A
key main $step640 RIGHT UP UP
expect text main $cap640 3
expect updown-pos main $step640 3
$(prev=""
  for res in 320x200 320x240 400x300 480x360 512x384 640x400 640x480 800x600 848x480 1024x768 \
             1152x864 1280x720 1280x768 1280x960 1280x1024 1360x768 1600x900 1600x1024 \
             1600x1200 1920x1080 1920x1200 1920x1440 2048x1536; do
      id=$((IDC_ROW_STEPPER + $(e2e_row "$res")))
      if [ -z "$prev" ]; then echo "set-focus main $id"; else echo "key main $prev TAB"; fi
      echo "expect focus main $id"
      prev=$id
  done
  echo "key main $prev TAB")
expect focus main $IDC_CMD_APPLY
menu main $IDM_EXIT
wait-exit
EOF2
e2e_end
