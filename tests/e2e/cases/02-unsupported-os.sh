#!/bin/bash
# Windows version 6.0: the operating-system message, then the program ends without a report.
. "$(dirname "$0")/../lib.sh"
e2e_begin unsupported-os unsupported-os

e2e_drive <<EOF2
start $E2E_EXE_Q
answer ok No compatible Operating System found
wait-exit 20000
expect-absent main
EOF2
e2e_no_report
e2e_end
