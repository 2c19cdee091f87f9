#!/bin/bash
# Runs hzwk.exe (i686, the build users run) on a machine profile under Wine.
#   scripts/run-default.sh [PROFILE]          (default xp-ti4600-3090)
# With $DISPLAY set, the window opens there and stays until you close it (the display's own
# modes stay as they are). Without one, it runs on a private Xvfb with the profile's modes,
# saves a screenshot of the main window as build/screenshots/main.png and closes it again.
# Builds build/win-i686 first when hzwk.exe or the test helpers are missing.
top=$(cd "$(dirname "$0")/.." && pwd)
profile=${1:-xp-ti4600-3090}
: "${E2E_BUILD:=$top/build/win-i686}"
export E2E_BUILD
if [ ! -f "$E2E_BUILD/hzwk.exe" ] || [ ! -f "$E2E_BUILD/e2e/hzwkcontrols.exe" ]; then
    arch=i686
    case $E2E_BUILD in *x86_64*) arch=x86_64 ;; esac
    cmake -S "$top" -B "$E2E_BUILD" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-$arch-mingw.cmake" > /dev/null &&
        cmake --build "$E2E_BUILD" -j2 || exit 1
fi
interactive=
if [ -n "${DISPLAY:-}" ]; then
    export E2E_DISPLAY=$DISPLAY
    interactive=1
fi
. "$top/tests/e2e/lib.sh"
e2e_begin "run-default-$profile" "$profile"
e2e_start
e2e_wait "$HZWK_TITLE_MAIN" 40
e2e_controls "$HZWK_TITLE_MAIN"
for id in $IDC_LBL_OS $IDC_LBL_DETVERSION $IDC_LBL_ADAPTERS; do e2e_field "$id" 5; done
e2e_screenshot main
mkdir -p "$top/build/screenshots"
cp "$E2E_RESULTS/main.png" "$top/build/screenshots/main.png" && echo "screenshot: $top/build/screenshots/main.png"
if [ -n "$interactive" ]; then
    echo "Hertzwerk is running on $DISPLAY; close its window (or File > Exit) to end."
    e2e_wait ! "$HZWK_TITLE_MAIN" 86400
else
    xdotool key alt+f e  # File > Exit
    e2e_wait ! "$HZWK_TITLE_MAIN" 20
fi
e2e_end
