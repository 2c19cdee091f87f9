# End-to-end harness: runs the real hzwk.exe under Wine on its own Xvfb, on a machine profile.
# Sourced by cases/*.sh and by scripts/run-default.sh, bench-startup.sh and bench-d3d.sh.
# README.md beside this file describes what it gives a case and the settings it reads.

E2E_SRC=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_REPO=$(cd "$E2E_SRC/../.." && pwd)
: "${E2E_BUILD:=$E2E_REPO/build/win-i686}"
: "${HZWK_EXE:=$E2E_BUILD/hzwk.exe}"
E2E_HELPERS=$E2E_BUILD/e2e
E2E_WORK_ROOT=$E2E_BUILD/e2e-work
E2E_RESULTS_ROOT=$E2E_BUILD/test-results/e2e
E2E_XMODES=$E2E_REPO/build-e2e-native/xmodes
E2E_WINE=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
export WINEDEBUG=${WINEDEBUG:-fixme-all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Control and menu ids as shell variables (IDC_LBL_OS=1002 ...), from the program's header.
while read -r _def _name _value _rest; do
    [[ $_def == "#define" && $_value == [0-9]* ]] && printf -v "$_name" '%d' "${_value%%[!0-9a-fA-Fx]*}"
done < "$E2E_REPO/src/win/control_ids.h"
unset _def _name _value _rest

E2E_PIDS=()
E2E_FAILED=0
E2E_CASE=""
E2E_DISPLAY_NUM=""
E2E_DRIVE_OUT=""

e2e_log() { printf '[%s] %s\n' "${E2E_CASE:-e2e}" "$*" >&2; }
# e2e_timeout SECONDS CMD...: CMD, ended (and then killed) when it overruns.
e2e_timeout() { timeout -k 5 "$@"; }
# e2e_wine SECONDS PROGRAM ARGS...: a Windows program in the case's prefix.
e2e_wine() { e2e_timeout "$1" "$E2E_WINE" "${@:2}"; }
# winepath_of UNIXPATH: the Z: path Wine gives any host file.
winepath_of() { printf 'Z:%s\n' "${1//\//\\}"; }

# Ends the machine: this prefix's wineserver, then every process started, by PID. Its folder
# goes unless the case failed or E2E_KEEP=1.
e2e_teardown() {
    [ -d "${WINEPREFIX:-}" ] && timeout -k 2 10 "$WINESERVER" -k >/dev/null 2>&1
    local pid n
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${E2E_PIDS[@]}"; do
        for ((n = 0; n < 20; n++)); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$pid" 2>/dev/null
    done
    E2E_PIDS=()
    [ "${E2E_KEEP:-0}" = 1 ] || [ "$E2E_FAILED" = 1 ] || [ -z "${E2E_WORK:-}" ] || rm -rf "$E2E_WORK"
}
trap e2e_teardown EXIT
trap 'exit 130' INT TERM

# ---- verdicts -----------------------------------------------------------------------------

# e2e_screenshot NAME: the whole X screen as RESULTS/NAME.png.
e2e_screenshot() {
    [ -z "$E2E_DISPLAY_NUM" ] || e2e_timeout 20 import -display "$DISPLAY" -window root "$E2E_RESULTS/$1.png" 2>/dev/null
}

# e2e_fail MESSAGE: marks the case failed and prints what helps to see why.
e2e_fail() {
    E2E_FAILED=1
    echo "FAIL [$E2E_CASE] $*"
    if [ -f "$E2E_DRIVE_OUT" ]; then
        echo "---- driver output ($E2E_DRIVE_OUT)"
        tail -n 80 "$E2E_DRIVE_OUT"
        echo "---- stderr of the driver and the program"
        tail -n 40 "${E2E_DRIVE_OUT%.out}.err"
    fi
    e2e_screenshot failure
    echo "---- case folder: ${E2E_WORK:-?}, results: ${E2E_RESULTS:-?}"
}

e2e_expect_eq() {
    [ "$2" = "$3" ] || { e2e_fail "$1: expected '$3', got '$2'"; return 1; }
}

e2e_end() {
    local verdict=PASS
    [ "$E2E_FAILED" = 0 ] || verdict=FAIL
    echo "$verdict [$E2E_CASE] ($SECONDS s)"
    exit "$E2E_FAILED"
}

# ---- the machine --------------------------------------------------------------------------

# e2e_ini_section SECTION FILE: the lines of a machine.ini section; e2e_ini SECTION KEY FILE:
# one value.
e2e_ini_section() { awk -v s="[$1]" '{ sub(/\r$/, "") } /^\[/ { in_s = ($0 == s); next } in_s && NF' "$2"; }
e2e_ini() { e2e_ini_section "$1" "$3" | sed -n "s/^$2=//p"; }

# e2e_unix_path WINPATH: the prefix's file for a C:\ path.
e2e_unix_path() {
    local rest=${1#?:\\}
    printf '%s\n' "$WINEPREFIX/drive_c/${rest//\\//}"
}

# e2e_make_dll VERSION OUT.dll: a resource-only DLL with that file version, and another
# product version, which the program must not take for it.
e2e_make_dll() {
    printf '1 VERSIONINFO\nFILEVERSION %s\nPRODUCTVERSION 9,8,7,6\nBEGIN\nEND\n' "${1//./,}" |
        x86_64-w64-mingw32-windres -O coff -o "$E2E_WORK/version.o" &&
        x86_64-w64-mingw32-ld -shared -e 0 --subsystem windows -o "$2" "$E2E_WORK/version.o"
}

# e2e_exe_bits FILE: 32 or 64, from the machine field of the file's PE header.
e2e_exe_bits() {
    local pe
    pe=$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')
    case $(od -An -t x2 -j $((${pe:-0} + 4)) -N 2 "$1" 2>/dev/null | tr -d ' ') in
        014c) echo 32 ;;
        8664) echo 64 ;;
        *) return 1 ;;
    esac
}

# e2e_xvfb W H MODE...: a private Xvfb on a free display number, kept through resets, with the
# modes added before Wine's desktop reads them (with E2E_DISPLAY: that display, as it is).
e2e_xvfb() {
    if [ -n "${E2E_DISPLAY:-}" ]; then
        E2E_DISPLAY_NUM=${E2E_DISPLAY#:}
        export DISPLAY=":$E2E_DISPLAY_NUM"
        return
    fi
    local fdfile=$E2E_WORK/xvfb.display n=0
    Xvfb -displayfd 3 -screen 0 "${1}x${2}x24" -noreset -nolisten tcp 3>"$fdfile" >"$E2E_WORK/xvfb.log" 2>&1 &
    E2E_PIDS+=("$!")
    while [ ! -s "$fdfile" ] && kill -0 "$!" 2>/dev/null && ((n++ < 100)); do sleep 0.1; done
    E2E_DISPLAY_NUM=$(tr -dc 0-9 < "$fdfile")
    [ -n "$E2E_DISPLAY_NUM" ] || { e2e_fail "Xvfb did not start: $(tail -n 5 "$E2E_WORK/xvfb.log")"; e2e_end; }
    export DISPLAY=":$E2E_DISPLAY_NUM"
    shift 2
    [ $# = 0 ] || e2e_timeout 20 "$E2E_XMODES" "$@" > "$E2E_WORK/xmodes.log" 2>&1 ||
        e2e_log "some modes were not added: $(head -n 3 "$E2E_WORK/xmodes.log")"
}

# e2e_prefix: the case's prefix, copied from a pristine template made once per build folder
# and Wine set-up (only a prefix made with 32-bit Wine present has syswow64).
e2e_prefix() {
    local tpl=$E2E_WORK_ROOT/prefix-template key
    key="$("$E2E_WINE" --version) wow64=$([ -x /usr/lib/wine/wine ] && echo yes || echo no)"
    (
        flock -w 300 9 || exit 1
        [ "$(cat "$tpl/.ready" 2>/dev/null)" = "$key" ] && exit 0
        rm -rf "$tpl"
        e2e_log "making the Wine prefix template (once)"
        export WINEPREFIX=$tpl
        {
            e2e_wine 180 wineboot -i
            # A crash must print its backtrace and end, not wait in a dialog.
            e2e_wine 60 reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
            timeout 60 "$WINESERVER" -w
        } > "$E2E_WORK_ROOT/template.log" 2>&1
        [ -f "$tpl/system.reg" ] || exit 1
        [[ $key == *wow64=no ]] || [ -f "$tpl/drive_c/windows/syswow64/kernel32.dll" ] || exit 1
        printf '%s\n' "$key" > "$tpl/.ready"
    ) 9>"$E2E_WORK_ROOT/.template.lock" ||
        { e2e_fail "could not make the Wine prefix (see $E2E_WORK_ROOT/template.log)"; e2e_end; }
    # Hard links for the big Windows folder, which Wine never writes in place; copies of
    # everything that it does.
    mkdir -p "$WINEPREFIX"
    cp -al "$tpl/drive_c" "$WINEPREFIX/"
    local d
    for d in "$tpl"/drive_c/{users,ProgramData,windows/*.ini}; do
        d=${d#"$tpl/drive_c/"}
        rm -rf "$WINEPREFIX/drive_c/$d"
        cp -a "$tpl/drive_c/$d" "$WINEPREFIX/drive_c/$d"
    done
    cp -a "$tpl/dosdevices" "$tpl"/*.reg "$tpl/.update-timestamp" "$WINEPREFIX/"
}

# e2e_machine NAME W H EXE [MODE...]: the case's folders, a W x H Xvfb with the modes, a fresh
# prefix that can run EXE, its wineserver. A case may run several machines, one after the
# other: the last one ends first.
e2e_machine() {
    [ -n "$E2E_CASE" ] && e2e_teardown
    E2E_CASE=$1
    E2E_WORK=$E2E_WORK_ROOT/$1
    E2E_RESULTS=$E2E_RESULTS_ROOT/$1
    rm -rf "$E2E_WORK" "$E2E_RESULTS"
    mkdir -p "$E2E_WORK" "$E2E_RESULTS"
    E2E_BITS=$(e2e_exe_bits "$4") || { e2e_fail "no Windows program at $4"; e2e_end; }
    [ -f "$E2E_HELPERS/hzwkdrive.exe" ] && [ -f "$E2E_HELPERS/hzwkvolkey.exe" ] ||
        { e2e_fail "missing helpers in $E2E_HELPERS: build the target e2e-helpers of $E2E_BUILD"; e2e_end; }
    if [ ! -x "$E2E_XMODES" ] || [ "$E2E_SRC/xmodes/xmodes.c" -nt "$E2E_XMODES" ]; then
        mkdir -p "${E2E_XMODES%/*}"
        cc -O2 -Wall -o "$E2E_XMODES.$$" "$E2E_SRC/xmodes/xmodes.c" -lXrandr -lX11 && mv "$E2E_XMODES.$$" "$E2E_XMODES" ||
            { e2e_fail "cannot build xmodes (needs libxrandr-dev, libx11-dev)"; e2e_end; }
    fi
    e2e_xvfb "${@:2:2}" "${@:5}"
    export WINEPREFIX=$E2E_WORK/prefix
    e2e_prefix
    # A 32-bit program needs syswow64 and 32-bit XRandR, without which Wine cannot change the
    # display mode for it.
    if [ "$E2E_BITS" = 32 ] && { [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ] ||
                                           [ ! -e /usr/lib/i386-linux-gnu/libXrandr.so.2 ]; }; then
        e2e_fail "$4 is 32-bit: install wine32:i386 and libxrandr2:i386 (scripts/setup.sh)"
        e2e_end
    fi
    "$WINESERVER" -f -p > "$E2E_WORK/wineserver.log" 2>&1 &
    E2E_PIDS+=("$!")
}

# e2e_begin NAME PROFILE: a fresh machine (e2e_machine) for hzwk.exe with the profile's modes,
# registry (and E2E_EXTRA_REG after it), driver files, and hzwk.exe in its folder.
e2e_begin() {
    E2E_PROFILE=$2
    local prof=$E2E_SRC/profiles/$2 modes w h
    [ -f "$prof/registry.reg" ] && [ -f "$prof/machine.ini" ] || { e2e_fail "no profile $2"; e2e_end; }
    modes=$(e2e_ini display modes "$prof/machine.ini" 2>/dev/null)
    # The screen must hold the largest mode; Xvfb lists its own size at 0 Hz.
    w=$(printf '%s\n' 1024x768 $modes | cut -dx -f1 | sort -n | tail -n 1)
    h=$(printf '%s\n' 1024x768 $modes | sed 's/@.*//' | cut -dx -f2 | sort -n | tail -n 1)
    # shellcheck disable=SC2086
    e2e_machine "$1" "$w" "$h" "$HZWK_EXE" $modes
    # A 32-bit program (the build users run) sees HKLM\SOFTWARE through Wow6432Node and its
    # system32 through syswow64: the machine is seeded as the program sees it, and the
    # driver's registry checks read that view.
    export HZWKDRIVE_REG_VIEW=$E2E_BITS
    local regedit=regedit sysdir=system32
    [ "$E2E_BITS" = 32 ] && { regedit='C:\windows\syswow64\regedit.exe'; sysdir=syswow64; }

    # The profile's device key lies under Control\Video, which Wine keeps volatile: hzwkvolkey
    # makes it (as the first GUI process, after Wine's own display keys), regedit fills it.
    local devkey
    devkey=$(sed -n 's/\r$//; s/^\[HKEY_LOCAL_MACHINE\\\(System\\CurrentControlSet\\Control\\Video\\.*\)\]$/\1/Ip' \
        "$prof/registry.reg")
    E2E_DEVICE_KEY="HKLM\\$devkey"
    e2e_wine 60 "$E2E_HELPERS/hzwkvolkey.exe" ${devkey:+"$devkey"} > "$E2E_RESULTS/modes.txt" 2> "$E2E_WORK/volkey.err" ||
        { cat "$E2E_WORK/volkey.err"; e2e_fail "could not make the driver's device key"; e2e_end; }
    { cat "$prof/registry.reg"; printf '\n%s\n' "${E2E_EXTRA_REG:-}"; } > "$E2E_WORK/registry.reg"
    e2e_wine 60 "$regedit" /S "$(winepath_of "$E2E_WORK/registry.reg")" > "$E2E_WORK/regedit.log" 2>&1 ||
        { e2e_fail "regedit could not import the profile"; e2e_end; }

    local sysdir_win line path target
    sysdir_win=$(e2e_ini system directory "$prof/machine.ini")
    while IFS= read -r line; do
        path=${line%=*}
        target=$(e2e_unix_path "$path")
        [ "${path%\\*}" = "$sysdir_win" ] && target=$WINEPREFIX/drive_c/windows/$sysdir/${path##*\\}
        mkdir -p "${target%/*}"
        e2e_make_dll "${line##*=}" "$target" || { e2e_fail "cannot make $path"; e2e_end; }
    done < <(e2e_ini_section files "$prof/machine.ini")

    E2E_FOLDER_WIN=$(e2e_ini program folder "$prof/machine.ini")
    E2E_FOLDER=$(e2e_unix_path "$E2E_FOLDER_WIN")
    mkdir -p "$E2E_FOLDER"
    cp "$HZWK_EXE" "$E2E_FOLDER/hzwk.exe"
    E2E_EXE="$E2E_FOLDER_WIN\\hzwk.exe"
    E2E_EXE_Q="\"$E2E_EXE\""
    e2e_log "ready on :$E2E_DISPLAY_NUM after $SECONDS s"
}

# ---- driving and checking -----------------------------------------------------------------

# e2e_drive [NAME] < SCRIPT: runs a driver script in one driver process, within
# E2E_DRIVE_TIMEOUT seconds (default 120); output in $E2E_DRIVE_OUT (NAME.out, stderr of
# driver and program in NAME.err). A failed script fails and ends the case.
e2e_drive() {
    local name=${1:-drive} rc
    cat > "$E2E_WORK/$name.txt"
    E2E_DRIVE_OUT=$E2E_RESULTS/$name.out
    e2e_wine "${E2E_DRIVE_TIMEOUT:-120}" "$E2E_HELPERS/hzwkdrive.exe" "$(winepath_of "$E2E_WORK/$name.txt")" \
        > "$E2E_DRIVE_OUT" 2> "$E2E_RESULTS/$name.err" && return
    rc=$?
    case $rc in
        124|137) e2e_fail "driver script '$name' overran ${E2E_DRIVE_TIMEOUT:-120} s" ;;
        *) e2e_fail "driver script '$name' failed (exit $rc)" ;;
    esac
    e2e_end
}

# e2e_out WORDS...: the value a driver line "WORDS... VALUE" printed last ("text main 1234",
# "updown-pos main 2017", "combo-items d3d 1"), quotes and CR removed.
e2e_out() {
    local line
    line=$(grep -E "^$*[: ]" "$E2E_DRIVE_OUT" | tail -n 1 | tr -d '\r')
    line=${line#"$*"}; line=${line#:}; line=${line# }; line=${line#\"}
    printf '%s\n' "${line%\"}"
}

# e2e_check_report: debug.txt is "[date][time]" and then the profile's expected-report.txt,
# CR LF after every line, nothing else.
e2e_check_report() {
    local got=$E2E_RESULTS/debug.txt want=$E2E_RESULTS/debug.expected
    cp "$E2E_FOLDER/debug.txt" "$got" 2>/dev/null || { e2e_fail "no debug.txt in the program folder"; return 1; }
    { printf '[date][time]\r\n'; sed 's/$/\r/' "$E2E_SRC/profiles/$E2E_PROFILE/expected-report.txt"; } > "$want"
    sed -i -E $'1s/^\\[[^][]+\\]\\[[^][]+\\]\r$/[date][time]\r/' "$got"
    cmp -s "$want" "$got" && return
    diff <(cat -A "$want") <(cat -A "$got")
    e2e_fail "debug.txt differs from the expected report (diff above, cat -A)"
    return 1
}

# e2e_no_report: start-up ended before writing debug.txt.
e2e_no_report() {
    [ ! -f "$E2E_FOLDER/debug.txt" ] || { e2e_fail "debug.txt was written although start-up should have ended before"; return 1; }
}

# The rows in stepper order (row = UpDown number - 1), as hzwkctl names them.
E2E_ROWS=(320x200 320x240 400x300 480x360 512x384 640x400 640x480 800x600 1024x768 1152x864
          1280x768 1280x960 1280x1024 1600x900 1600x1024 1600x1200 1920x1080 1920x1200
          1920x1440 2048x1536 848x480 1280x720 1360x768)
# Under Wine the program may take seconds to carry on after a message box closes (its owner
# is activated again through the X server); checks after a box wait this long.
E2E_SETTLE_MS=${E2E_SETTLE_MS:-4000}

e2e_row() { local i; for i in "${!E2E_ROWS[@]}"; do [ "${E2E_ROWS[$i]}" = "$1" ] && echo "$i"; done; }

# e2e_hzwkctl ARGS...: the native console tool, which computes what the program must write.
e2e_hzwkctl() { "${HZWKCTL:-$E2E_REPO/build/native/hzwkctl}" "$@"; }

# e2e_captions: driver lines printing the 23 captions. e2e_composed ARGS...: what hzwkctl
# composes for the captions the last driver output printed.
e2e_captions() { local r; for r in "${!E2E_ROWS[@]}"; do echo "text main $((IDC_ROW_CAPTION + r))"; done; }
e2e_composed() {
    local r args=()
    for r in "${!E2E_ROWS[@]}"; do args+=("${E2E_ROWS[$r]}=$(e2e_out text main $((IDC_ROW_CAPTION + r)))"); done
    e2e_hzwkctl compose "$@" "${args[@]}"
}

# e2e_reg_file_sz FILE NAME: a string value of a REGEDIT4 file, "text" or hex(1):.. form.
e2e_reg_file_sz() {
    local data b bytes=""
    data=$(awk -v n="\"$2\"=" '{ sub(/\r$/, "") } go { l = l $0 }
        !go && index($0, n) == 1 { go = 1; l = substr($0, length(n) + 1) }
        go { if (sub(/\\$/, "", l)) next; print l; exit }' "$1")
    case $data in
        hex\(1\):*)
            data=${data#hex(1):}
            for b in ${data//,/ }; do [ "$b" = 00 ] || bytes+="\\x$b"; done
            printf '%b\n' "$bytes" ;;
        \"*) data=${data#\"}; data=${data%\"}; printf '%s\n' "${data//\\\\/\\}" ;;
    esac
}
