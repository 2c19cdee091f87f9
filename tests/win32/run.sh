#!/usr/bin/env bash
# Runs the window tests under 32-bit Wine on a private Xvfb, in a fresh Wine prefix copied for
# the run from a pristine one made once per build folder.  tests/win32/run.sh BUILD [gtest options]
# BUILD is the folder configured with HZWK_WINDOW_TESTS=ON (scripts/test.sh: build/win32-tests).
set -uo pipefail
build=$(cd "$1" && pwd) && shift || exit 2
export WINEDEBUG=${WINEDEBUG:--all}
. "$(dirname "$0")/../e2e/lib.sh"
E2E_CASE=window-tests E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/hzwk-window-tests.XXXXXX") && E2E_RESULTS=$E2E_WORK
# 640x480 holds every window, and the Direct3D run uses the desktop's own mode.
e2e_xvfb 640x480
# Windows Wine keeps from the (absent) window manager: hiding one then waits for nobody.
e2e_prefix "$build/wine-template" 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
timeout -k 5 "${HZWK_WINDOW_TESTS_TIMEOUT:-150}" "$E2E_WINE" "$build/win32-tests/hzwk_window_tests.exe" "$@"
