#!/bin/bash
# The console tool on Windows: the hzwkctl.exe built beside hzwk.exe, under Wine on the registry
# the harness seeded, without --machine. detect prints the profile's report and monitor its
# monitor; apply with all 23 rows given writes what the native hzwkctl composes for the profile
# and those rows (Wine's own modes never enter, as every row is given); reset writes what the
# native reset writes on a copy of the profile. HZWKCTL_WINE_PROFILE picks another profile.
. "$(dirname "$0")/../lib.sh"
. "$(dirname "$0")/ui_common.bash"
profile=${HZWKCTL_WINE_PROFILE:-xp-ti4600-3090}
ctl_exe=${HZWKCTL_EXE:-$(dirname "$HZWK_EXE")/hzwkctl.exe}
e2e_begin "hzwkctl-wine-$profile" "$profile"
[ -f "$ctl_exe" ] || { e2e_fail "no $ctl_exe (built beside hzwk.exe)"; e2e_end; }
cp "$ctl_exe" "$E2E_FOLDER/hzwkctl.exe"
expected_report=$E2E_SRC/profiles/$profile/expected-report.txt

# ctl NAME ARGS...: hzwkctl.exe in the prefix; stdout (CR removed) in RESULTS/NAME.out.
ctl() {
    local name=$1
    shift
    e2e_wine 30 "$E2E_FOLDER/hzwkctl.exe" "$@" 2> "$E2E_RESULTS/$name.err" | tr -d '\r' > "$E2E_RESULTS/$name.out"
    local rc=${PIPESTATUS[0]}
    [ "$rc" = 0 ] || e2e_fail "hzwkctl.exe $* exited with $rc: $(head -n 3 "$E2E_RESULTS/$name.err")"
    return "$rc"
}

# detect: line 1 is [date][time], the rest the report.
if ctl detect detect; then
    head -n 1 "$E2E_RESULTS/detect.out" | grep -qE '^\[[^][]+\]\[[^][]+\]$' ||
        e2e_fail "detect line 1 is not [date][time]: $(head -n 1 "$E2E_RESULTS/detect.out")"
    if ! cmp -s <(tail -n +2 "$E2E_RESULTS/detect.out") "$expected_report"; then
        diff "$expected_report" <(tail -n +2 "$E2E_RESULTS/detect.out")
        e2e_fail "hzwkctl.exe detect differs from $expected_report"
    fi
fi

# monitor: what the native tool finds in the profile. Wine lists a monitor of its own, without
# an EDID, which must be passed over.
want=$(ui_hzwkctl monitor --machine "$E2E_SRC/profiles/$profile" || true)
got=$(e2e_wine 30 "$E2E_FOLDER/hzwkctl.exe" monitor 2> "$E2E_RESULTS/monitor.err" | tr -d '\r')
[ -n "$want" ] || e2e_fail "native hzwkctl monitor printed nothing"
e2e_expect_eq "hzwkctl.exe monitor" "$got" "$want"

# Where the driver keeps its list, as the report names it, and the list's value name.
key="HKLM\\$(sed -n 's/^Registry path: //p' "$expected_report")"
version=$(sed -n 's/^Detonator version: //p' "$expected_report")
description=$(sed -n 's/^Card Description: //p' "$expected_report")
compressed=()
grep -qx 'Adapter modes: Compressed' "$expected_report" && compressed=(--compressed)
value_name=$(ui_hzwkctl compose --version "$version" "${compressed[@]}" --value-name "$description")
[ -n "$value_name" ] || { e2e_fail "no value name for $description"; e2e_end; }

# Every row given: rates of the driver's ladder on some, N/A on the rest.
declare -A RATES=([640x480]=85 [800x600]=75 [1024x768]=70 [1152x864]=75 [1280x1024]=60 [1600x1200]=60 [848x480]=60)
rows=()
for res in "${UI_ROWS[@]}"; do rows+=("$res=${RATES[$res]:-N/A}"); done
expected=$(ui_hzwkctl compose --machine "$E2E_SRC/profiles/$profile" "${rows[@]}")
[ -n "$expected" ] || e2e_fail "native hzwkctl compose gave nothing"
before=$(ui_reg_sz "$key" "$value_name")
if ctl apply apply "${rows[@]}"; then
    after=$(ui_reg_sz "$key" "$value_name")
    printf '%s\n' "$after" > "$E2E_RESULTS/applied-value.txt"
    e2e_log "apply wrote ${#after} characters to $value_name"
    e2e_expect_eq "$value_name after hzwkctl.exe apply" "$after" "$expected"
    [ "$expected" != "$before" ] || e2e_fail "apply's list equals the list before: the check proves nothing"
fi

# reset: the catalogue's default, as the native tool writes it into a copy of the profile.
copy=$E2E_WORK/profile-copy
cp -r "$E2E_SRC/profiles/$profile" "$copy"
ui_hzwkctl reset --machine "$copy" > "$E2E_RESULTS/native-reset.out" 2>&1 || e2e_fail "native hzwkctl reset failed"
default_list=$(ui_reg_file_sz "$copy/registry.reg" "$value_name")
[ -n "$default_list" ] || e2e_fail "no default list for $value_name from the native reset"
if ctl reset reset; then
    after=$(ui_reg_sz "$key" "$value_name")
    printf '%s\n' "$after" > "$E2E_RESULTS/reset-value.txt"
    e2e_log "reset wrote ${#after} characters to $value_name"
    e2e_expect_eq "$value_name after hzwkctl.exe reset" "$after" "$default_list"
fi
e2e_end
