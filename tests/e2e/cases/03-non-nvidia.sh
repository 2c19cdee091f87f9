#!/bin/bash
# A driver DLL that is not NVIDIA's: the driver message, the program ends, and the version
# of the DLL it found is stored all the same.
. "$(dirname "$0")/../lib.sh"
e2e_begin non-nvidia non-nvidia

e2e_drive <<EOF2
start $E2E_EXE_Q
answer ok No compatible Detonator version found
wait-exit 20000
expect-absent main
expect-reg HKLM\SOFTWARE\HZWK LastDetVersion sz:6.14.10.6343
EOF2
e2e_no_report
e2e_end
