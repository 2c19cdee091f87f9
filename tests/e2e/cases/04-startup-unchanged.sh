#!/bin/bash
# /startup when the driver version is the one seen last: the program ends by itself and
# shows no window at all.
. "$(dirname "$0")/../lib.sh"
E2E_EXTRA_REG='[HKEY_LOCAL_MACHINE\SOFTWARE\HZWK]
"LastDetVersion"="6.14.10.3090"'
e2e_begin startup-unchanged xp-ti4600-3090

e2e_drive <<EOF2
start $E2E_EXE_Q /startup
wait-exit 30000 quiet
expect-reg HKLM\SOFTWARE\HZWK LastDetVersion sz:6.14.10.3090
EOF2
e2e_no_report
e2e_end
