#!/bin/bash
# Extras > Load on Windows Start on, then off: LoadOnStartup and the Run entry (the quoted
# program path with /startup) appear, then both go. The second click deleting them shows
# that the check mark, which alone picks the branch, was set by the first. (Wine keeps menu
# handles per process, so the driver cannot read the check mark itself.)
. "$(dirname "$0")/../lib.sh"
. "$(dirname "$0")/ui_common.bash"
e2e_begin ui-autostart xp-ti4600-3090

e2e_drive < <(
    echo "start $E2E_EXE_Q"
    echo "wait-window main 40000"
    echo "menu main $IDM_LOAD"
    echo "sleep 1500"
    echo 'expect-reg HKLM\SOFTWARE\HZWK LoadOnStartup dword:1'
    printf 'expect-reg %s HZWK "sz:\\"%s\\\\hzwk.exe\\" /startup"\n' "$UI_RUN_KEY" "$E2E_FOLDER_WIN"
    echo "menu main $IDM_LOAD"
    echo "sleep 1500"
    echo 'expect-reg HKLM\SOFTWARE\HZWK LoadOnStartup absent'
    echo "expect-reg $UI_RUN_KEY HZWK absent"
    echo "menu main $IDM_EXIT"
    echo "wait-exit 20000"
)
e2e_end
