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
if [ ! -f "$E2E_BUILD/hzwk.exe" ] || [ ! -f "$E2E_BUILD/e2e/hzwkdrive.exe" ]; then
    arch=i686
    case $E2E_BUILD in *x86_64*) arch=x86_64 ;; esac
    cmake -S "$top" -B "$E2E_BUILD" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-$arch-mingw.cmake" > /dev/null &&
        cmake --build "$E2E_BUILD" -j2 || exit 1
fi
interactive=
if [ -n "${DISPLAY:-}" ]; then
    export E2E_DISPLAY=$DISPLAY
    interactive=1
    # The user decides when the program ends.
    export E2E_DRIVE_TIMEOUT=86400 E2E_CASE_TIMEOUT=86400
fi
. "$top/tests/e2e/lib.sh"
e2e_begin "run-default-$profile" "$profile"
e2e_drive <<EOF2
start $E2E_EXE_Q
wait-window main 40000
text main $IDC_LBL_OS
text main $IDC_LBL_DETVERSION
text main $IDC_LBL_ADAPTERS
EOF2
cat "$E2E_DRIVE_OUT"
e2e_screenshot main
mkdir -p "$top/build/screenshots"
cp "$E2E_RESULTS/main.png" "$top/build/screenshots/main.png" && echo "screenshot: $top/build/screenshots/main.png"
if [ -n "$interactive" ]; then
    echo "Hertzwerk is running on $DISPLAY; close its window (or File > Exit) to end."
    e2e_drive wait <<EOF2
attach main
wait-exit 86400000
EOF2
else
    e2e_drive close <<EOF2
attach main
menu main $IDM_EXIT
wait-exit 20000
EOF2
fi
e2e_end
