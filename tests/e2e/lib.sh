# End-to-end harness: the real hzwk.exe under Wine on a private Xvfb, on a machine profile, driven
# with xdotool and hzwkcontrols.exe. For cases/*.sh, scripts/run-default.sh, bench/ (see README.md).
E2E_SRC=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_REPO=${E2E_SRC%/tests/e2e}
: "${E2E_BUILD:=$E2E_REPO/build/win-i686}" "${HZWK_EXE:=$E2E_BUILD/hzwk.exe}"
E2E_HELPERS=$E2E_BUILD/e2e E2E_WORK_ROOT=$E2E_BUILD/e2e-work E2E_WINE=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64 WINEDEBUG=${WINEDEBUG:-fixme-all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Control ids and window titles as shell variables (IDC_CMD_APPLY=1010, HZWK_TITLE_BOX=Hertzwerk).
while read -r _def _name _value _rest; do
    [[ $_def == "#define" && $_value == [0-9]* ]] && printf -v "$_name" '%d' "${_value%%[!0-9a-fA-Fx]*}"
    [[ $_def == "#define" && $_value == \"* ]] && { _s="${_value#\"} $_rest"; printf -v "$_name" '%s' "${_s%%\"*}"; }
done < <(cat "$E2E_REPO"/src/{core/version.h,ui/control_ids.h,d3dtest/d3d_titles.h})
HZWK_TITLE_MAIN="Hertzwerk v$HZWK_VERSION_TEXT" E2E_PIDS=() E2E_FAILED=0 E2E_CASE=""

e2e_wine() { timeout -k 5 "$1" "$E2E_WINE" "${@:2}"; }  # e2e_wine SECONDS PROGRAM ARGS...
winepath_of() { printf 'Z:%s\n' "${1//\//\\}"; }
e2e_unix_path() { local rest=${1#?:\\}; printf '%s\n' "$WINEPREFIX/drive_c/${rest//\\//}"; }
e2e_ini() { awk -v s="[$1]" -v k="$2=" '{ sub(/\r$/, "") } /^\[/ { in_s = ($0 == s); next }
    in_s && NF && (k == "=" || index($0, k) == 1) { print substr($0, length(k) * (k != "=") + 1) }' "$3"; }

# Ends this prefix's wineserver and what was started, by PID; the folder too (unless failed or E2E_KEEP=1).
e2e_teardown() {
    [ -d "${WINEPREFIX:-}" ] && timeout -k 2 10 "$WINESERVER" -k >/dev/null 2>&1
    [ ${#E2E_PIDS[@]} = 0 ] || { kill "${E2E_PIDS[@]}"; sleep 0.5; kill -9 "${E2E_PIDS[@]}"; } 2>/dev/null
    [ "${E2E_KEEP:-0}" = 1 ] || [ "$E2E_FAILED" = 1 ] || [ -z "${E2E_WORK:-}" ] || rm -rf "$E2E_WORK"
}
trap e2e_teardown EXIT
trap 'exit 130' INT TERM

e2e_screenshot() { timeout 20 import -window root "$E2E_RESULTS/$1.png" 2>/dev/null; }
# e2e_fail MESSAGE: the case fails, with the program's stderr and a screenshot in its results.
e2e_fail() { E2E_FAILED=1 && echo "FAIL [$E2E_CASE] $*" && tail -n 20 "$E2E_WORK/hzwk.err" 2>/dev/null; e2e_screenshot failure; }
e2e_expect_eq() { [ "$2" = "$3" ] || e2e_fail "$1: expected '$3', got '$2'"; }
e2e_end() { echo "$([ "$E2E_FAILED" = 0 ] && echo PASS || echo FAIL) [$E2E_CASE] ($SECONDS s)"; exit "$E2E_FAILED"; }
e2e_die() { e2e_fail "$@"; e2e_end; }

# e2e_xvfb WxH: a private Xvfb of that size (a 24-bit screen) on DISPLAY.
e2e_xvfb() {
    Xvfb -displayfd 3 -screen 0 "${1}x24" -noreset -nolisten tcp 3>"$E2E_WORK/display" 2>"$E2E_WORK/xvfb.log" & E2E_PIDS+=("$!")
    timeout 10 sh -c "until [ -s '$E2E_WORK/display' ]; do sleep 0.1; done" || e2e_die "Xvfb did not start"
    export DISPLAY=:$(tr -dc 0-9 < "$E2E_WORK/display")
}
# e2e_prefix TEMPLATE REG-ADD-ARGS...: WINEPREFIX, a prefix in E2E_WORK copied from TEMPLATE, which is
# made first with that one setting, once per Wine set-up (made without 32-bit Wine, it has no syswow64).
e2e_prefix() {
    local tpl=$1 key="$("$E2E_WINE" --version) wow64=$([ -x /usr/lib/wine/wine ] && echo yes)" && shift
    (flock -w 300 9 && { [ "$(cat "$tpl/.ready" 2>/dev/null)" = "$key" ] || {
        rm -rf "$tpl" && WINEPREFIX=$tpl e2e_wine 180 wineboot -i && WINEPREFIX=$tpl e2e_wine 60 reg add "$@" &&
            WINEPREFIX=$tpl timeout 60 "$WINESERVER" -w && echo "$key" > "$tpl/.ready"; } >"$tpl.log" 2>&1; }
    ) 9>"$tpl.lock" || e2e_die "could not make the Wine prefix (see $tpl.log)"
    export WINEPREFIX=$E2E_WORK/prefix
    # Hard links for the Windows folder, which Wine never writes in place; copies of the rest.
    mkdir -p "$WINEPREFIX" && cp -al "$tpl/drive_c" "$WINEPREFIX/" && cp -a "$tpl"/{dosdevices,*.reg,.update-timestamp} "$WINEPREFIX/"
    (cd "$tpl/drive_c" && cp -a --remove-destination --parents users ProgramData windows/*.ini "$WINEPREFIX/drive_c/")
    [ "${E2E_BITS:-32}" = 64 ] || [ -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ] ||
        e2e_die "a 32-bit program needs 32-bit Wine: install wine32:i386 and libxrandr2:i386 (scripts/setup.sh)"
}

# e2e_begin NAME PROFILE: an Xvfb (E2E_SCREEN, default the largest mode; E2E_DISPLAY: that one) with
# the profile's modes, a prefix copied from a template, one wineserver, the profile's registry (and
# E2E_EXTRA_REG) in the view hzwk.exe sees, its driver files as DLLs of their versions, hzwk.exe.
e2e_begin() {
    E2E_CASE=$1 E2E_PROFILE=$2 E2E_WORK=$E2E_WORK_ROOT/$1 E2E_RESULTS=$E2E_BUILD/test-results/e2e/$1
    local prof=$E2E_SRC/profiles/$2 modes xmodes=$E2E_REPO/build-e2e-native/xmodes
    rm -rf "$E2E_WORK" "$E2E_RESULTS" && mkdir -p "$E2E_WORK" "$E2E_RESULTS"
    [ -f "$prof/machine.ini" ] && [ -f "$E2E_HELPERS/hzwkcontrols.exe" ] || e2e_die "no profile $2 or no helpers in $E2E_HELPERS"
    [[ $(x86_64-w64-mingw32-objdump -f "$HZWK_EXE") == *pei-i386* ]] && E2E_BITS=32 || E2E_BITS=64
    modes=$(e2e_ini display modes "$prof/machine.ini")
    : "${E2E_SCREEN:=$(printf '%s\n' 1024x768 $modes | sed 's/x[0-9]*@.*//' | sort -t x -n -k1,1 -k2,2 | tail -n 1)}"
    E2E_SCREEN_W=${E2E_SCREEN%x*} E2E_SCREEN_H=${E2E_SCREEN#*x}
    export DISPLAY=${E2E_DISPLAY:-}
    if [ -z "$DISPLAY" ]; then
        e2e_xvfb "$E2E_SCREEN"
        # Modes with refresh rates, before Wine reads the list (xmodes/xmodes.c says why).
        [ "$E2E_SRC/xmodes/xmodes.c" -ot "$xmodes" ] || { mkdir -p "${xmodes%/*}" &&
            cc -O2 -o "$xmodes" "$E2E_SRC/xmodes/xmodes.c" -lXrandr -lX11; } || e2e_die "cannot build xmodes"
        timeout 20 "$xmodes" $modes > "$E2E_WORK/xmodes.log" 2>&1
    fi
    e2e_prefix "$E2E_WORK_ROOT/prefix-template" 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
    "$WINESERVER" -f -p > "$E2E_WORK/wineserver.log" 2>&1 & E2E_PIDS+=("$!")
    # A 32-bit program sees HKLM\SOFTWARE through Wow6432Node and system32 through syswow64.
    local regedit=regedit sysdir=system32 devkey line target
    [ "$E2E_BITS" = 32 ] && regedit='C:\windows\syswow64\regedit.exe' sysdir=syswow64
    # Wine keeps Control\Video volatile: hzwkvolkey makes the profile's device key there.
    devkey=$(sed -n 's/\r$//; s/^\[HKEY_LOCAL_MACHINE\\\(System\\CurrentControlSet\\Control\\Video\\.*\)\]$/\1/Ip' "$prof/registry.reg")
    E2E_DEVICE_KEY="HKLM\\$devkey"
    e2e_wine 60 "$E2E_HELPERS/hzwkvolkey.exe" ${devkey:+"$devkey"} > "$E2E_WORK/volkey.log" 2>&1 || e2e_die "hzwkvolkey failed"
    printf '%s\n' "$(cat "$prof/registry.reg")" "${E2E_EXTRA_REG:-}" > "$E2E_WORK/registry.reg"
    e2e_wine 60 "$regedit" /S "$(winepath_of "$E2E_WORK/registry.reg")" > /dev/null 2>&1 || e2e_die "regedit failed"
    while IFS= read -r line; do
        target=$(e2e_unix_path "${line%=*}")
        [ "${line%\\*}" = "$(e2e_ini system directory "$prof/machine.ini")" ] &&
            target=$WINEPREFIX/drive_c/windows/$sysdir/${target##*/}
        mkdir -p "${target%/*}"
        line=${line##*=}  # a resource-only DLL of that file version, and another product version
        printf '1 VERSIONINFO\nFILEVERSION %s\nPRODUCTVERSION 9,8,7,6\nBEGIN\nEND\n' "${line//./,}" |
            x86_64-w64-mingw32-windres -O coff -o "$E2E_WORK/version.o" &&
            x86_64-w64-mingw32-ld -shared -e 0 -o "$target" "$E2E_WORK/version.o" || e2e_die "cannot make $target"
    done < <(e2e_ini files "" "$prof/machine.ini")
    E2E_FOLDER=$(e2e_unix_path "$(e2e_ini program folder "$prof/machine.ini")")
    mkdir -p "$E2E_FOLDER" && cp "$HZWK_EXE" "$E2E_FOLDER/hzwk.exe"
}

# e2e_start ARGS...: hzwk.exe in its folder, in the background.
e2e_start() { (cd "$E2E_FOLDER" && exec "$E2E_WINE" hzwk.exe "$@") >> "$E2E_WORK/hzwk.err" 2>&1 & E2E_PIDS+=("$!"); }

# e2e_shown TITLE: a window of that title is shown; e2e_wait [!] TITLE [S]: until it is (!: is not).
e2e_shown() { xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
e2e_wait() {
    local not=; [ "$1" = ! ] && not=! && shift
    timeout "${2:-30}" bash -c "until $not xdotool search --onlyvisible --name '^$1\$' >/dev/null 2>&1; do sleep 0.2; done" ||
        e2e_die "window \"$1\" ${not:+still }${not:-not }there after ${2:-30} s"
}

# e2e_controls TITLE: its controls, "ID X Y ENABLED TEXT" a line; e2e_field ID N: a field (5: text).
e2e_controls() { e2e_wine 30 "$E2E_HELPERS/hzwkcontrols.exe" "$1" 2>/dev/null | tr -d '\r' > "$E2E_WORK/controls.txt"; }
e2e_field() { grep -m 1 "^$1 " "$E2E_WORK/controls.txt" | cut -d ' ' -f "$2$([ "$2" = 5 ] && echo -)"; }
# e2e_click TITLE ID: a real mouse click in the middle of the control.
e2e_click() {
    e2e_controls "$1" && [ -n "$(e2e_field "$2" 2)" ] || e2e_die "no control $2 in \"$1\""
    xdotool mousemove "$(e2e_field "$2" 2)" "$(e2e_field "$2" 3)" click 1
}
# e2e_answer BUTTON TEXT: clicks BUTTON (1 OK, 6 Yes, 7 No) once the box shows TEXT (within 20 s).
e2e_answer() {
    local n=0
    until e2e_controls "$HZWK_TITLE_BOX" && [ "$(e2e_field $IDC_MSGBOX_TEXT 5)" = "$2" ]; do
        ((n++ < 40)) && sleep 0.5 || e2e_die "no box \"$2\" (last: $(e2e_field $IDC_MSGBOX_TEXT 5))"
    done
    e2e_click "$HZWK_TITLE_BOX" "$1"
}
