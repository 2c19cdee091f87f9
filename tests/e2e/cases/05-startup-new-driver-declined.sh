#!/bin/bash
# /startup after a driver update: the program asks whether to run; No ends it and keeps the
# stored version, so it asks again next time.
. "$(dirname "$0")/../lib.sh"
E2E_EXTRA_REG='[HKEY_LOCAL_MACHINE\SOFTWARE\HZWK]
"LastDetVersion"="6.14.10.2960"'
e2e_begin startup-new-driver-declined xp-ti4600-3090

e2e_drive <<EOF2
start $E2E_EXE_Q /startup
answer no New Detonator drivers found, do you want to run the program and re-apply your settings?
wait-exit 20000
expect-absent main
expect-reg HKLM\SOFTWARE\HZWK LastDetVersion sz:6.14.10.2960
EOF2
e2e_no_report
e2e_end
