# Shared by the ui_*.sh cases: the grid as the window shows it, expected values from the
# native hzwkctl, and the driver's device key of the XP profiles. Sourced after lib.sh.

UI_DEVICE_KEY='HKLM\System\CurrentControlSet\Control\Video\{8F3A5C21-6B7D-4E90-A1C4-2D5E7F903B16}\0000'
UI_RUN_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'

# The rows in stepper order (row = UpDown number - 1), as hzwkctl names them.
UI_ROWS=(320x200 320x240 400x300 480x360 512x384 640x400 640x480 800x600 1024x768 1152x864
         1280x768 1280x960 1280x1024 1600x900 1600x1024 1600x1200 1920x1080 1920x1200
         1920x1440 2048x1536 848x480 1280x720 1360x768)

ui_row_of() { # WxH -> row number
    local i
    for i in "${!UI_ROWS[@]}"; do [ "${UI_ROWS[$i]}" = "$1" ] && { echo "$i"; return; }; done
    echo -1
}

# The native console tool that computes what Apply must write.
ui_hzwkctl() {
    local c
    for c in "${HZWKCTL:-}" "$E2E_REPO/build/native/hzwkctl" "$E2E_REPO/build-ui/hzwkctl" \
             "$E2E_REPO/build-core/hzwkctl" "$E2E_REPO/build-e2e-native/hzwkctl"; do
        [ -n "$c" ] && [ -x "$c" ] && { "$c" "$@"; return; }
    done
    e2e_fail "no native hzwkctl (set HZWKCTL or build the native tree)"
    return 1
}

# ui_caption_script: driver lines that print the 23 captions.
ui_caption_script() {
    local row
    for row in "${!UI_ROWS[@]}"; do echo "text main $((IDC_ROW_CAPTION + row))"; done
}

# ui_text_of OUTFILE ID: the text a driver "text main ID" line printed.
ui_text_of() {
    local line
    line=$(grep -m1 -E "^text main $2: " "$1")
    line=${line%$'\r'}
    line=${line#*: \"}
    printf '%s\n' "${line%\"}"
}

# ui_read_captions OUTFILE: fills UI_CAPS[row] from a driver output holding ui_caption_script.
ui_read_captions() {
    local row
    UI_CAPS=()
    for row in "${!UI_ROWS[@]}"; do UI_CAPS[$row]=$(ui_text_of "$1" $((IDC_ROW_CAPTION + row))); done
}

# ui_compose ARGS...: the value Apply writes for the captions in UI_CAPS.
ui_compose() {
    local row args=()
    for row in "${!UI_ROWS[@]}"; do args+=("${UI_ROWS[$row]}=${UI_CAPS[$row]}"); done
    ui_hzwkctl compose "$@" "${args[@]}"
}

# ui_expect_value_line NAME VALUE: a driver line checking the device key's value.
ui_expect_value_line() { printf 'expect-reg %s %s "sz:%s"\n' "$UI_DEVICE_KEY" "$1" "$2"; }

# ui_debug_lines PATTERN: lines of debug.txt (CR removed) matching a fixed string.
ui_debug_lines() { tr -d '\r' < "$(e2e_debug_txt)" | grep -F -- "$1"; }

# ui_screenshot_window NAME: the screen with the window under test, among the results.
ui_screenshot_window() { e2e_screenshot "$1"; }

# Under Wine the program may take seconds to carry on after a message box closes (its
# owner is activated again through the X server); checks after a box wait this long.
UI_SETTLE_MS=${UI_SETTLE_MS:-4000}

# ui_reg_sz KEY NAME: a string value read with Wine's reg, whole however long (the driver
# prints at most 4 KB), in the program's registry view. The case's wineserver keeps the
# volatile device key alive.
ui_reg_sz() {
    local out
    out=$(e2e_wine 60 reg query "$1" /v "$2" "/reg:${E2E_BITS:-64}" 2>/dev/null | tr -d '\r' | grep -m1 -E "^ +$2 +REG_SZ")
    [ -n "$out" ] || { echo "<absent>"; return; }
    out=${out#*REG_SZ}
    printf '%s\n' "${out#    }"
}

# ui_reg_file_sz FILE NAME: a string value from a REGEDIT4 file, in either of its forms
# ("NAME"="text" or "NAME"=hex(1):..).
ui_reg_file_sz() {
    awk -v name="\"$2\"=" '
        { sub(/\r$/, "") }
        collecting { line = line $0; if ($0 !~ /\\$/) { print line; exit } ; sub(/\\$/, "", line); next }
        index($0, name) == 1 {
            line = substr($0, length(name) + 1)
            if (line ~ /\\$/) { sub(/\\$/, "", line); collecting = 1; next }
            print line; exit
        }' "$1" | {
        local data
        IFS= read -r data
        case $data in
            hex\(1\):*)
                data=${data#hex(1):}
                data=${data//[[:space:]]/}
                local bytes="" b
                for b in ${data//,/ }; do [ "$b" = 00 ] || bytes+="\\x$b"; done
                printf '%b\n' "$bytes" ;;
            \"*)
                data=${data#\"}; data=${data%\"}
                printf '%s\n' "${data//\\\\/\\}" ;;
        esac
    }
}
