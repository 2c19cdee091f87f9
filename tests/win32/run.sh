#!/usr/bin/env bash
# Runs the window tests under 32-bit Wine on a private Xvfb, in a fresh Wine prefix copied for
# the run from a pristine one made once per build folder.  tests/win32/run.sh BUILD [gtest options]
# BUILD is the folder configured with HZWK_WINDOW_TESTS=ON (scripts/test.sh: build/win32-tests).
set -uo pipefail
build=$(cd "$1" && pwd) && shift || exit 2
work=$(mktemp -d "${TMPDIR:-/tmp}/hzwk-window-tests.XXXXXX")
export WINEPREFIX=$work/prefix WINESERVER=/usr/lib/wine/wineserver64 WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine=/usr/lib/wine/wine64 tpl=$build/wine-template xvfb=
finish() {
    [ -d "$WINEPREFIX" ] && timeout -k 2 10 "$WINESERVER" -k 2>/dev/null
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT && trap 'exit 130' INT TERM
# 640x480 holds every window, and the Direct3D run uses the desktop's own mode.
Xvfb -displayfd 3 -screen 0 640x480x24 -noreset -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" & xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start: $(tail -n 3 "$work/xvfb.log")"; exit 2; }
export DISPLAY=:$(tr -dc 0-9 <"$work/display")
key="$("$wine" --version) $([ -x /usr/lib/wine/wine ] && echo wow64)"
if [ "$(cat "$tpl/.ready" 2>/dev/null)" != "$key" ]; then
    rm -rf "$tpl"
    # Windows Wine keeps from the (absent) window manager: hiding one then waits for nobody.
    WINEPREFIX=$tpl timeout 180 "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f &>"$work/template.log"
    WINEPREFIX=$tpl timeout 60 "$WINESERVER" -w
    [ -f "$tpl/drive_c/windows/syswow64/kernel32.dll" ] ||
        { echo "no Wine prefix with 32-bit Windows: $(tail -n 3 "$work/template.log")"; exit 2; }
    echo "$key" >"$tpl/.ready"
fi
# The big Windows folder by hard links (Wine only adds files there), the rest copied.
mkdir -p "$WINEPREFIX" && cp -al "$tpl/drive_c" "$WINEPREFIX/"
(cd "$tpl/drive_c" && cp -a --remove-destination --parents users ProgramData windows/*.ini "$WINEPREFIX/drive_c/")
cp -a "$tpl/dosdevices" "$tpl"/*.reg "$tpl/.update-timestamp" "$WINEPREFIX/"
timeout -k 5 "${HZWK_WINDOW_TESTS_TIMEOUT:-150}" "$wine" "$build/win32-tests/hzwk_window_tests.exe" "$@"
