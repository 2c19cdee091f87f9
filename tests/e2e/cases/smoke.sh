#!/bin/bash
# The shipped program once through on the default machine: /startup with the driver seen last
# ends without a window or a report; a normal start writes the report; Apply through the real
# boxes writes what hzwkctl composes for the captions on show, and its backup, imported by
# regedit, puts the old value back; the Direct3D test from the menu draws until a click.
. "$(dirname "$0")/../lib.sh"
E2E_EXTRA_REG='[HKEY_LOCAL_MACHINE\SOFTWARE\HZWK]
"LastDetVersion"="6.14.10.3090"'
e2e_begin smoke xp-ti4600-3090
reg_sz() { e2e_wine 30 reg query "$E2E_DEVICE_KEY" /v NV25_Modes "/reg:$E2E_BITS" 2>/dev/null | tr -d '\r' | sed -n 's/^ *NV25_Modes *REG_SZ    //p'; }

xev -root -event substructure > "$E2E_WORK/xev.log" 2>&1 & E2E_PIDS+=("$!") && sleep 0.3  # logs every map
(cd "$E2E_FOLDER" && e2e_wine 30 hzwk.exe /startup >> "$E2E_WORK/hzwk.err" 2>&1) || e2e_fail "/startup ended with status $? (124: not within 30 s)"
! grep -q MapNotify "$E2E_WORK/xev.log" || e2e_fail "/startup showed a window"
[ ! -f "$E2E_FOLDER/debug.txt" ] || e2e_fail "/startup wrote debug.txt"

e2e_start
e2e_wait "$HZWK_TITLE_MAIN" 40
grep -q MapNotify "$E2E_WORK/xev.log" || e2e_fail "xev saw no window mapped, so it cannot tell for /startup"
cp "$E2E_FOLDER/debug.txt" "$E2E_RESULTS/" || e2e_fail "no debug.txt"
diff <(sed '1s/^\[[^][]*\]\[[^][]*\]\r$/[date][time]\r/' "$E2E_RESULTS/debug.txt" | cat -A) \
    <({ echo '[date][time]'; cat "$E2E_SRC/profiles/$E2E_PROFILE/expected-report.txt"; } | sed 's/$/\r/' | cat -A) ||
    e2e_fail "debug.txt is not [date][time] and the expected report (diff above)"

# Apply over an old value, which the backup must bring back.
old='640x480x8,16,32=3C; 800x600x8,16,32=3C;'
e2e_wine 30 reg add "$E2E_DEVICE_KEY" /v NV25_Modes /d "$old" /f "/reg:$E2E_BITS" >/dev/null 2>&1
e2e_controls "$HZWK_TITLE_MAIN"
rows=() && for r in {0..22}; do rows+=("$(e2e_field $((IDC_ROW_RESOLUTION + r)) 5 | tr -d ' ')=$(e2e_field $((IDC_ROW_CAPTION + r)) 5)"); done
expected=$("${HZWKCTL:-$E2E_REPO/build/native/hzwkctl}" compose --version 6.14.10.3090 "${rows[@]}") || e2e_fail "hzwkctl compose ${rows[*]}"
e2e_click "$HZWK_TITLE_MAIN" $IDC_CMD_APPLY
e2e_answer 6 "Are you sure you want to apply these values to the registry?"
e2e_answer 1 "Values added succesfully. Please remember to REBOOT your computer for changes to take effect"
e2e_expect_eq "NV25_Modes after Apply" "$(reg_sz)" "$expected"
backup=$(ls "$E2E_FOLDER"/hzwk-backup-*.reg) || e2e_fail "no backup beside debug.txt"
e2e_wine 60 regedit /S "$(winepath_of "$backup")" >/dev/null 2>&1 || e2e_fail "regedit could not import $backup"
e2e_expect_eq "NV25_Modes after the backup's import" "$(reg_sz)" "$old"

# Extras > Direct3D Testing..., the desktop's mode at 32 bit, Go; a click ends the test.
xdotool key alt+e d
e2e_wait "$HZWK_TITLE_D3D"
e2e_click "$HZWK_TITLE_D3D" $IDC_CMB_RES
xdotool key Home shift+End type "$E2E_SCREEN_W x $E2E_SCREEN_H"  # type takes the rest of its line
xdotool key Tab type "32 bit"
e2e_click "$HZWK_TITLE_D3D" $IDC_CMD_GO
e2e_wait "$HZWK_TITLE_D3D_TEST"
# The text lines (0x55CCFF in their corner) and the turning square (a pixel in the middle
# eighth not black; edge-on it draws nothing, and under load the first frame comes late).
png=$E2E_RESULTS/d3d.png w=$((E2E_SCREEN_W / 8)) h=$((E2E_SCREEN_H / 8))
shown=0 && for n in {1..10}; do
    sleep 0.5 && e2e_screenshot d3d
    text=$(convert "$png" -crop 260x40+0+0 -fuzz 3% -fill white -opaque '#55CCFF' -fill black +opaque white -format '%[fx:round(mean*w*h)]' info:)
    max=$(convert "$png" -crop "${w}x${h}+$((w * 7 / 2))+$((h * 7 / 2))" -format '%[max]' info:)
    [ "${text:-0}" -ge 150 ] && [ "${max%.*}" -gt 0 ] && shown=1 && break
done 2>/dev/null
[ "$shown" = 1 ] || e2e_fail "$png lacks the text lines ($text pixels of their colour) or the square (brightest $max)"
xdotool click 1
e2e_wait ! "$HZWK_TITLE_D3D_TEST"
! e2e_shown "$HZWK_TITLE_BOX" || e2e_fail "a message came after the test"
e2e_end
