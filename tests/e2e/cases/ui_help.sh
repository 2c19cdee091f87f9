#!/bin/bash
# Help > Topics with hzwkhelp.chm beside the program: the HTML Help viewer (hhctrl.ocx, loaded
# at run time) opens its own window and no message box appears.
. "$(dirname "$0")/../lib.sh"
e2e_begin ui-help xp-ti4600-3090
chm=$(dirname "$HZWK_EXE")/hzwkhelp.chm
[ -f "$chm" ] || { e2e_fail "no hzwkhelp.chm beside $HZWK_EXE (is chmcmd installed?)"; e2e_end; }
cp "$chm" "$E2E_FOLDER/hzwkhelp.chm"
# Wine's viewer has no HTML engine offline and shows blank pages, so the file's pages are
# checked on the host instead.
listing=$(chmls list "$chm" 2>&1)
for page in "$E2E_REPO"/help/*.html; do
    grep -q "/$(basename "$page")\$" <<<"$listing" || e2e_fail "hzwkhelp.chm lacks $(basename "$page")"
done

e2e_drive <<EOF
start $E2E_EXE_Q
wait-window main 40000
menu main $IDM_TOPICS
wait-window "Hertzwerk Help" 30000
sleep 1000
expect-absent box
EOF
e2e_screenshot_window "Hertzwerk Help" help-window
e2e_drive close <<EOF
attach main
close "Hertzwerk Help"
wait-gone "Hertzwerk Help" 20000
menu main $IDM_EXIT
wait-exit 20000
EOF
e2e_end
