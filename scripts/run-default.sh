#!/bin/bash
# Shows hzwk.exe (x86_64) on a machine profile under Wine, saves a screenshot of its main
# window as BUILD/screenshots/main.png and closes it again.
#   scripts/run-default.sh [PROFILE]          (default xp-ti4600-3090)
# Runs on $DISPLAY when it is set (the modes of that display stay as they are), else on a
# private Xvfb with the profile's modes. Builds build-e2e-win first when hzwk.exe is missing.
# E2E_HOLD=SECONDS keeps the window open that long before closing it.
top=$(cd "$(dirname "$0")/.." && pwd)
profile=${1:-xp-ti4600-3090}
: "${E2E_BUILD:=$top/build-e2e-win}"
export E2E_BUILD
if [ ! -f "$E2E_BUILD/hzwk.exe" ] || [ ! -f "$E2E_BUILD/e2e/hzwkdrive.exe" ]; then
    cmake -S "$top" -B "$E2E_BUILD" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-x86_64-mingw.cmake" > /dev/null &&
        cmake --build "$E2E_BUILD" -j2 || exit 1
fi
[ -n "${DISPLAY:-}" ] && export E2E_DISPLAY=$DISPLAY
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
[ -z "${E2E_HOLD:-}" ] || sleep "$E2E_HOLD"
e2e_screenshot_window "$HZWK_TITLE_MAIN" main
mkdir -p "$E2E_BUILD/screenshots"
cp "$E2E_RESULTS/main.png" "$E2E_BUILD/screenshots/main.png" && echo "screenshot: $E2E_BUILD/screenshots/main.png"
e2e_drive close <<EOF2
attach main
menu main $IDM_EXIT
wait-exit 20000
EOF2
e2e_end
