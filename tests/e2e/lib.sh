# End-to-end harness: runs the real hzwk.exe under Wine on its own Xvfb, on a machine profile.
# Sourced by the case scripts in cases/ and by scripts/run-default.sh and bench-startup.sh.
# The case API is described in README.md beside this file.
#
# Settings (environment):
#   E2E_BUILD     Windows build folder holding hzwk.exe and e2e/*.exe   (default build/win-i686)
#   E2E_NATIVE    native build folder for the xmodes helper             (default build-e2e-native)
#   HZWK_EXE      the program under test                                (default $E2E_BUILD/hzwk.exe)
#   E2E_HELPERS   folder of hzwkdrive.exe & co.                          (default $E2E_BUILD/e2e)
#   E2E_KEEP=1    keep the case's prefix after the case (else removed on success)
#   E2E_DISPLAY   run on this X display instead of a private Xvfb (run-default.sh)
#   WINEDEBUG     passed on (default: fixme-all)

E2E_SRC=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_REPO=$(cd "$E2E_SRC/../.." && pwd)
: "${E2E_BUILD:=$E2E_REPO/build/win-i686}"
: "${E2E_NATIVE:=$E2E_REPO/build-e2e-native}"
: "${HZWK_EXE:=$E2E_BUILD/hzwk.exe}"
: "${E2E_HELPERS:=$E2E_BUILD/e2e}"
E2E_WORK_ROOT=$E2E_BUILD/e2e-work
E2E_RESULTS_ROOT=$E2E_BUILD/test-results/e2e
E2E_WINE=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
export WINEDEBUG=${WINEDEBUG:-fixme-all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Control and menu ids as shell variables (IDC_LBL_OS=1002 ...), from the program's own headers.
# A string value may join literals and names defined before it ("Hertzwerk v" HZWK_VERSION_TEXT).
while read -r _def _name _value; do
    [ "$_def" = "#define" ] || continue
    case $_value in
        [0-9]*) printf -v "$_name" '%d' "${_value%%[!0-9a-fA-Fx]*}" ;;
        \"*|[A-Z]*)
            _text=""
            while [ -n "$_value" ]; do
                if [ "${_value:0:1}" = '"' ]; then
                    _value=${_value:1}; _text+=${_value%%\"*}; _value=${_value#*\"}
                else
                    _word=${_value%% *}; _text+=${!_word}; _value=${_value#"$_word"}
                fi
                _value=${_value#"${_value%%[! ]*}"}
            done
            printf -v "$_name" '%s' "$_text" ;;
    esac
done < <(cat "$E2E_REPO/src/core/version.h" "$E2E_REPO/src/win/control_ids.h" "$E2E_REPO/src/d3dtest/d3d_titles.h")
unset _def _name _value _text _word

E2E_PIDS=()
E2E_FAILED=0
E2E_CASE=""
E2E_PROFILE=""
E2E_DISPLAY_NUM=""
E2E_DRIVE_OUT=""

e2e_log() { printf '[%s] %s\n' "${E2E_CASE:-e2e}" "$*" >&2; }

# ---- time limits --------------------------------------------------------------------------

# e2e_timeout SECONDS CMD...: runs CMD, killing it (and then hard) when it overruns.
e2e_timeout() {
    local secs=$1
    shift
    timeout -k 5 "$secs" "$@"
}

# ---- teardown: every process we started ends, by PID; only our prefix's wineserver --------

# e2e_teardown: ends the machine (its wineserver, then every process started, by PID) and
# removes its folder unless the case failed or E2E_KEEP=1.
e2e_teardown() {
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        timeout -k 2 10 "$WINESERVER" -k >/dev/null 2>&1
    fi
    local pid n
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${E2E_PIDS[@]}"; do
        n=0
        while kill -0 "$pid" 2>/dev/null && [ $n -lt 20 ]; do sleep 0.1; n=$((n + 1)); done
        kill -9 "$pid" 2>/dev/null
    done
    E2E_PIDS=()
    if [ "${E2E_KEEP:-0}" != 1 ] && [ "$E2E_FAILED" = 0 ] && [ -n "${E2E_WORK:-}" ] && [ -d "$E2E_WORK" ]; then
        rm -rf "$E2E_WORK"
    fi
}
e2e_cleanup() {
    local rc=$?
    e2e_teardown
    return $rc
}
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM

# ---- failure and results ------------------------------------------------------------------

# e2e_screenshot NAME: saves the whole X screen as RESULTS/NAME.png.
e2e_screenshot() {
    [ -n "$E2E_DISPLAY_NUM" ] || return 0
    mkdir -p "$E2E_RESULTS"
    e2e_timeout 20 import -display ":$E2E_DISPLAY_NUM" -window root "$E2E_RESULTS/$1.png" 2>/dev/null &&
        e2e_log "screenshot $E2E_RESULTS/$1.png"
}

# e2e_fail MESSAGE: marks the case failed and prints what helps to see why.
e2e_fail() {
    E2E_FAILED=1
    echo "FAIL [$E2E_CASE] $*"
    if [ -n "$E2E_DRIVE_OUT" ] && [ -f "$E2E_DRIVE_OUT" ]; then
        echo "---- driver output ($E2E_DRIVE_OUT)"
        tail -n 80 "$E2E_DRIVE_OUT"
    fi
    if [ -n "$E2E_DRIVE_OUT" ] && [ -s "${E2E_DRIVE_OUT%.out}.err" ]; then
        echo "---- stderr of the driver and the program"
        tail -n 40 "${E2E_DRIVE_OUT%.out}.err"
    fi
    e2e_screenshot failure
    echo "---- case folder: ${E2E_WORK:-?}, results: ${E2E_RESULTS:-?}"
}

# e2e_expect_eq WHAT ACTUAL EXPECTED
e2e_expect_eq() {
    if [ "$2" != "$3" ]; then
        e2e_fail "$1: expected '$3', got '$2'"
        return 1
    fi
}

# e2e_end: the case's verdict, its exit status and its one result line.
e2e_end() {
    if [ "$E2E_FAILED" = 0 ]; then
        echo "PASS [$E2E_CASE] ($SECONDS s)"
        exit 0
    fi
    echo "FAIL [$E2E_CASE] ($SECONDS s)"
    exit 1
}

# ---- paths --------------------------------------------------------------------------------

# e2e_unix_path WINPATH: the prefix's file for a C:\ path, matching existing folders without
# regard to case (as Windows would) and naming new ones as written.
e2e_unix_path() {
    local win=$1 rest dir part found entry
    rest=${win#[Cc]:}
    dir=$WINEPREFIX/drive_c
    IFS='\' read -r -a parts <<< "${rest#\\}"
    for part in "${parts[@]}"; do
        [ -n "$part" ] || continue
        found=""
        if [ -d "$dir" ]; then
            for entry in "$dir"/*; do
                if [ "${entry##*/}" != "$part" ] && [ "${entry,,}" = "${dir,,}/${part,,}" ]; then found=$entry; break; fi
            done
        fi
        dir=${found:-$dir/$part}
    done
    printf '%s\n' "$dir"
}

# e2e_ini SECTION KEY FILE / e2e_ini_section SECTION FILE: read a profile's machine.ini.
e2e_ini() {
    awk -v s="[$1]" -v k="$2" '
        { sub(/\r$/, "") }
        /^\[/ { in_s = ($0 == s); next }
        in_s && index($0, k "=") == 1 { print substr($0, length(k) + 2); exit }' "$3"
}
e2e_ini_section() {
    awk -v s="[$1]" '{ sub(/\r$/, "") } /^\[/ { in_s = ($0 == s); next } in_s && NF' "$2"
}

# ---- helpers built on demand --------------------------------------------------------------

e2e_need_helpers() {
    local h
    for h in hzwkdrive hzwkvolkey; do
        if [ ! -f "$E2E_HELPERS/$h.exe" ]; then
            echo "missing $E2E_HELPERS/$h.exe: build the target e2e-helpers of $E2E_BUILD" >&2
            return 1
        fi
    done
    local xm=$E2E_NATIVE/xmodes
    if [ ! -x "$xm" ] || [ "$E2E_SRC/xmodes/xmodes.c" -nt "$xm" ]; then
        mkdir -p "$E2E_NATIVE"
        cc -O2 -Wall -o "$xm.tmp.$$" "$E2E_SRC/xmodes/xmodes.c" -lXrandr -lX11 && mv "$xm.tmp.$$" "$xm" || {
            echo "cannot build xmodes (needs libxrandr-dev, libx11-dev)" >&2
            return 1
        }
    fi
}

# e2e_make_dll VERSION OUT.dll: a resource-only DLL that carries the file version (and another
# product version, which the program must not take for it).
e2e_make_dll() {
    local ver=$1 out=$2 tmp
    local IFS=.
    local -a v=($ver)
    unset IFS
    if [ ${#v[@]} -ne 4 ]; then
        e2e_log "bad file version '$ver'"
        return 1
    fi
    tmp=$(mktemp -d)
    cat > "$tmp/v.rc" <<EOF
1 VERSIONINFO
FILEVERSION ${v[0]},${v[1]},${v[2]},${v[3]}
PRODUCTVERSION 9,8,7,6
FILEOS 0x40004
FILETYPE 3
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "040904B0"
    BEGIN
      VALUE "FileVersion", "$ver"
    END
  END
  BLOCK "VarFileInfo"
  BEGIN
    VALUE "Translation", 0x409, 1200
  END
END
EOF
    x86_64-w64-mingw32-windres -O coff -o "$tmp/v.o" "$tmp/v.rc" &&
        x86_64-w64-mingw32-ld -shared -e 0 --subsystem windows -o "$out" "$tmp/v.o"
    local rc=$?
    rm -rf "$tmp"
    return $rc
}

# ---- X server -----------------------------------------------------------------------------

# e2e_start_xvfb W H: a private Xvfb on a free display number, kept through resets.
e2e_start_xvfb() {
    if [ -n "${E2E_DISPLAY:-}" ]; then
        E2E_DISPLAY_NUM=${E2E_DISPLAY#:}
        export DISPLAY=":$E2E_DISPLAY_NUM"
        return 0
    fi
    local w=$1 h=$2 fdfile pid n=0
    fdfile=$E2E_WORK/xvfb.display
    : > "$fdfile"
    Xvfb -displayfd 3 -screen 0 "${w}x${h}x24" -noreset -nolisten tcp 3>"$fdfile" >"$E2E_WORK/xvfb.log" 2>&1 &
    pid=$!
    E2E_PIDS+=("$pid")
    while [ ! -s "$fdfile" ] && [ $n -lt 100 ] && kill -0 "$pid" 2>/dev/null; do sleep 0.1; n=$((n + 1)); done
    E2E_DISPLAY_NUM=$(tr -dc 0-9 < "$fdfile")
    if [ -z "$E2E_DISPLAY_NUM" ]; then
        e2e_fail "Xvfb did not start: $(tail -n 5 "$E2E_WORK/xvfb.log")"
        return 1
    fi
    export DISPLAY=":$E2E_DISPLAY_NUM"
}

# e2e_add_modes MODE...: the profile's modes, before Wine's desktop reads the list.
e2e_add_modes() {
    [ $# -gt 0 ] || return 0
    [ -z "${E2E_DISPLAY:-}" ] || return 0 # a shared display keeps its own modes
    e2e_timeout 20 "$E2E_NATIVE/xmodes" "$@" > "$E2E_WORK/xmodes.log" 2>&1 ||
        e2e_log "some modes were not added: $(head -n 3 "$E2E_WORK/xmodes.log")"
}

# ---- Wine ---------------------------------------------------------------------------------

# e2e_wine SECONDS PROGRAM ARGS...: runs a Windows program in the case's prefix.
e2e_wine() {
    local secs=$1
    shift
    e2e_timeout "$secs" "$E2E_WINE" "$@"
}

# What a prefix template depends on: Wine's version and whether 32-bit Wine is there (only a
# prefix made with it has syswow64 and runs 32-bit programs).
e2e_template_key() {
    printf '%s wow64=%s\n' "$("$E2E_WINE" --version 2>/dev/null)" \
        "$([ -x /usr/lib/wine/wine ] && echo yes || echo no)"
}

# The pristine prefix, made once per build folder and Wine set-up, and copied for each case.
e2e_template() {
    local tpl=$E2E_WORK_ROOT/prefix-template key
    key=$(e2e_template_key)
    mkdir -p "$E2E_WORK_ROOT"
    (
        flock -w 300 9 || exit 1
        [ -f "$tpl/.ready" ] && [ "$(cat "$tpl/.ready")" = "$key" ] && exit 0
        rm -rf "$tpl"
        e2e_log "making the Wine prefix template (once)"
        export WINEPREFIX=$tpl
        e2e_timeout 180 "$E2E_WINE" wineboot -i > "$E2E_WORK_ROOT/template.log" 2>&1
        # A crash must print its backtrace and end, not wait in a dialog.
        cat > "$E2E_WORK_ROOT/template.reg" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
EOF
        e2e_timeout 60 "$E2E_WINE" regedit /S "$(winepath_of "$E2E_WORK_ROOT/template.reg")" >> "$E2E_WORK_ROOT/template.log" 2>&1
        timeout 60 "$WINESERVER" -w
        [ -f "$tpl/system.reg" ] || exit 1
        case $key in
            *wow64=yes) [ -f "$tpl/drive_c/windows/syswow64/kernel32.dll" ] || exit 1 ;;
        esac
        printf '%s\n' "$key" > "$tpl/.ready"
    ) 9>"$E2E_WORK_ROOT/.template.lock"
    [ -f "$tpl/.ready" ] || { e2e_fail "could not make the Wine prefix (see $E2E_WORK_ROOT/template.log)"; return 1; }
    # Hard links for the big, never-written Windows folder; real copies of everything else.
    mkdir -p "$WINEPREFIX"
    cp -al "$tpl/drive_c" "$WINEPREFIX/"
    rm -rf "$WINEPREFIX/drive_c/users" "$WINEPREFIX/drive_c/ProgramData"
    cp -a "$tpl/drive_c/users" "$WINEPREFIX/drive_c/" 2>/dev/null
    cp -a "$tpl/drive_c/ProgramData" "$WINEPREFIX/drive_c/" 2>/dev/null
    local ini
    for ini in "$WINEPREFIX"/drive_c/windows/*.ini; do
        [ -f "$ini" ] && cp --remove-destination "$tpl/drive_c/windows/${ini##*/}" "$ini"
    done
    cp -a "$tpl/dosdevices" "$tpl"/*.reg "$tpl/.update-timestamp" "$WINEPREFIX/"
}

# winepath_of UNIXPATH: the Z: path Wine gives any host file.
winepath_of() { printf 'Z:%s\n' "$(printf '%s' "$1" | tr / '\\')"; }

# e2e_exe_bits FILE: 32 or 64, from the machine field of the file's PE header.
e2e_exe_bits() {
    local pe machine
    pe=$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')
    [ -n "$pe" ] || return 1
    machine=$(od -An -t x2 -j $((pe + 4)) -N 2 "$1" 2>/dev/null | tr -d ' ')
    case $machine in
        014c) echo 32 ;;
        8664) echo 64 ;;
        *) return 1 ;;
    esac
}

# e2e_need_wow64 EXE: a 32-bit program needs a prefix with syswow64 (made with wine32 present)
# and 32-bit XRandR, without which Wine cannot change the display mode for it.
e2e_need_wow64() {
    [ "$(e2e_exe_bits "$1")" = 32 ] || return 0
    if [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
        e2e_fail "$1 is 32-bit, but the Wine prefix has no syswow64: install wine32:i386 (scripts/setup.sh)"
        return 1
    fi
    if [ ! -e /usr/lib/i386-linux-gnu/libXrandr.so.2 ]; then
        e2e_fail "$1 is 32-bit, but 32-bit XRandR is missing: install libxrandr2:i386 (scripts/setup.sh)"
        return 1
    fi
}

# ---- the case -----------------------------------------------------------------------------

# e2e_machine NAME W H EXE [MODE...]: the case's folders, a W x H Xvfb with the modes, a fresh
# prefix that can run EXE, its wineserver. A case may run several machines, one after the
# other: the last one ends first.
e2e_machine() {
    [ -n "$E2E_CASE" ] && e2e_teardown
    E2E_CASE=$1
    E2E_WORK=$E2E_WORK_ROOT/$E2E_CASE
    E2E_RESULTS=$E2E_RESULTS_ROOT/$E2E_CASE
    rm -rf "$E2E_WORK" "$E2E_RESULTS"
    mkdir -p "$E2E_WORK" "$E2E_RESULTS"
    local exe=$4
    [ -f "$exe" ] || { e2e_fail "no program at $exe"; e2e_end; }
    e2e_need_helpers || { e2e_fail "helpers missing"; e2e_end; }
    e2e_start_xvfb "$2" "$3" || e2e_end
    shift 4
    e2e_add_modes "$@"
    export WINEPREFIX=$E2E_WORK/prefix
    e2e_template || e2e_end
    e2e_need_wow64 "$exe" || e2e_end
    "$WINESERVER" -f -p > "$E2E_WORK/wineserver.log" 2>&1 &
    E2E_PIDS+=("$!")
}

# e2e_begin NAME PROFILE: a fresh machine (e2e_machine) for hzwk.exe with the profile's modes,
# registry, the driver's device key, the driver DLL, hzwk.exe in its folder.
# Extra registry text (REGEDIT4 sections) in E2E_EXTRA_REG is imported after the profile.
e2e_begin() {
    E2E_PROFILE=$2
    local prof=$E2E_SRC/profiles/$E2E_PROFILE
    # The screen must hold the largest mode; Xvfb lists its own size at 0 Hz.
    local modes w=1024 h=768 m mw mh
    modes=$(e2e_ini display modes "$prof/machine.ini" 2>/dev/null)
    for m in $modes; do
        mw=${m%%x*}; mh=${m#*x}; mh=${mh%%[x@]*}
        [ "$mw" -gt "$w" ] 2>/dev/null && w=$mw
        [ "$mh" -gt "$h" ] 2>/dev/null && h=$mh
    done
    # shellcheck disable=SC2086
    e2e_machine "$1" "$w" "$h" "$HZWK_EXE" $modes
    if [ ! -f "$prof/registry.reg" ] || [ ! -f "$prof/machine.ini" ]; then
        e2e_fail "no profile $E2E_PROFILE"
        e2e_end
    fi
    # A 32-bit program (the build users run) sees HKLM\SOFTWARE through Wow6432Node and its
    # file access to system32 lands in syswow64: the machine is seeded in the view the
    # program sees, and the driver's registry checks read that view.
    E2E_BITS=$(e2e_exe_bits "$HZWK_EXE") || { e2e_fail "$HZWK_EXE is not a Windows program"; e2e_end; }
    export HZWKDRIVE_REG_VIEW=$E2E_BITS
    local regedit=regedit sysdir_host=system32
    [ "$E2E_BITS" = 32 ] && { regedit='C:\windows\syswow64\regedit.exe'; sysdir_host=syswow64; }

    # The profile's device key lies under Control\Video, which Wine keeps volatile: hzwkvolkey
    # makes it (as the first GUI process, after Wine's own display keys), regedit fills it.
    local devkey
    devkey=$(sed -n 's/\r$//; s/^\[HKEY_LOCAL_MACHINE\\\(System\\CurrentControlSet\\Control\\Video\\.*\)\]$/\1/Ip' \
        "$prof/registry.reg")
    e2e_wine 60 "$E2E_HELPERS/hzwkvolkey.exe" ${devkey:+"$devkey"} > "$E2E_RESULTS/modes.txt" 2> "$E2E_WORK/volkey.err" ||
        { cat "$E2E_WORK/volkey.err"; e2e_fail "could not make the driver's device key"; e2e_end; }
    { cat "$prof/registry.reg"; printf '\n%s\n' "${E2E_EXTRA_REG:-}"; } > "$E2E_WORK/registry.reg"
    e2e_wine 60 "$regedit" /S "$(winepath_of "$E2E_WORK/registry.reg")" > "$E2E_WORK/regedit.log" 2>&1 ||
        { e2e_fail "regedit could not import the profile"; e2e_end; }

    # Files with versions: the system directory is the prefix's own, as the program sees it.
    local sysdir line path ver target dir
    sysdir=$(e2e_ini system directory "$prof/machine.ini")
    while IFS= read -r line; do
        path=${line%=*}; ver=${line##*=}
        dir=${path%\\*}
        if [ -n "$sysdir" ] && [ "${dir,,}" = "${sysdir,,}" ]; then
            target=$WINEPREFIX/drive_c/windows/$sysdir_host/${path##*\\}
        else
            target=$(e2e_unix_path "$path")
        fi
        mkdir -p "$(dirname "$target")"
        e2e_make_dll "$ver" "$target" || { e2e_fail "cannot make $path"; e2e_end; }
    done < <(e2e_ini_section files "$prof/machine.ini")

    E2E_FOLDER_WIN=$(e2e_ini program folder "$prof/machine.ini")
    : "${E2E_FOLDER_WIN:=C:\\Program Files\\Hertzwerk}"
    E2E_FOLDER=$(e2e_unix_path "$E2E_FOLDER_WIN")
    mkdir -p "$E2E_FOLDER"
    cp "$HZWK_EXE" "$E2E_FOLDER/hzwk.exe"
    E2E_EXE="$E2E_FOLDER_WIN\\hzwk.exe"
    E2E_EXE_Q="\"$E2E_EXE\""
    e2e_log "ready on :$E2E_DISPLAY_NUM after $SECONDS s"
}

# e2e_drive [NAME] < SCRIPT: runs a driver script (see driver/hzwkdrive.c) in the case's
# machine, within E2E_DRIVE_TIMEOUT seconds (default 120). Its output is in $E2E_DRIVE_OUT
# (NAME.out, stderr of driver and program in NAME.err). A failed script fails the case and
# ends it (unless E2E_CONTINUE=1: then it returns the driver's exit status).
e2e_drive() {
    local name=${1:-drive}
    local script=$E2E_WORK/$name.txt
    cat > "$script"
    E2E_DRIVE_OUT=$E2E_RESULTS/$name.out
    e2e_wine "${E2E_DRIVE_TIMEOUT:-120}" "$E2E_HELPERS/hzwkdrive.exe" "$(winepath_of "$script")" \
        > "$E2E_DRIVE_OUT" 2> "$E2E_RESULTS/$name.err"
    local rc=$?
    case $rc in
        0) return 0 ;;
        124|137) e2e_fail "driver script '$name' overran ${E2E_DRIVE_TIMEOUT:-120} s" ;;
        *) e2e_fail "driver script '$name' failed (exit $rc)" ;;
    esac
    # Later steps would only fail for the same reason; E2E_CONTINUE=1 goes on regardless.
    [ "${E2E_CONTINUE:-0}" = 1 ] || e2e_end
    return $rc
}

# e2e_out WORDS...: the value a driver line "WORDS... VALUE" printed last ("text main 1234",
# "updown-pos main 2017", "combo-items d3d 1"), quotes and CR removed.
e2e_out() {
    local line
    line=$(grep -E "^$*[: ]" "$E2E_DRIVE_OUT" | tail -n 1 | tr -d '\r')
    line=${line#"$*"}; line=${line#:}; line=${line# }; line=${line#\"}
    printf '%s\n' "${line%\"}"
}

# e2e_check_report: debug.txt is the profile's report: line 1 "[date][time]", lines 2..10
# as expected-report.txt, CR LF after every line, nothing else.
e2e_check_report() {
    local file expected
    file=$E2E_FOLDER/debug.txt
    expected=$E2E_SRC/profiles/$E2E_PROFILE/expected-report.txt
    cp "$file" "$E2E_RESULTS/debug.txt" 2>/dev/null
    if [ ! -f "$file" ]; then
        e2e_fail "no debug.txt in the program folder"
        return 1
    fi
    if ! head -n 1 "$file" | grep -qE $'^\\[[^][]+\\]\\[[^][]+\\]\r$'; then
        e2e_fail "debug.txt line 1 is not [date][time]: $(head -n 1 "$file" | od -c | head -n 3)"
        return 1
    fi
    if ! cmp -s <(tail -n +2 "$file") <(sed 's/$/\r/' "$expected"); then
        echo "---- debug.txt lines 2..10, expected vs actual (cat -A)"
        diff <(sed 's/$/\r/' "$expected" | cat -A) <(tail -n +2 "$file" | cat -A)
        e2e_fail "debug.txt differs from $expected"
        return 1
    fi
}

# e2e_no_report: start-up ended before writing debug.txt.
e2e_no_report() {
    if [ -f "$E2E_FOLDER/debug.txt" ]; then
        e2e_fail "debug.txt was written although start-up should have ended before"
        return 1
    fi
}

# ---- the main window and the values it writes --------------------------------------------

# The driver's device key of the XP profiles; the rows in stepper order (row = UpDown
# number - 1), as hzwkctl names them.
E2E_DEVICE_KEY='HKLM\System\CurrentControlSet\Control\Video\{8F3A5C21-6B7D-4E90-A1C4-2D5E7F903B16}\0000'
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
