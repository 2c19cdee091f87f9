#!/bin/bash
# Benchmark (not a test): under Wine on Xvfb, the test loop's frames per second with VSync
# OFF against a bare Direct3D 8 loop that only clears and presents at the same mode, and
# the figure the test shows with VSync ON against the mode's refresh rate.
#   scripts/bench-d3d.sh [SECONDS]        (default 10 per measurement)
# Uses the tests/e2e settings: E2E_BUILD (default build/win-i686, like the cases; set it to
# build/win-x86_64 for the 64-bit build), E2E_DISPLAY, E2E_D3D_HELPERS.
SECS=${1:-10}
. "$(dirname "$0")/../tests/e2e/lib.sh"
. "$E2E_SRC/d3d/d3d_lib.sh"
d3d_begin bench-d3d
MODE="1024 x 768"

d3d_choose "$MODE" "32 bit" off
d3d_run_test bench-vsync-off "$SECS"
off=$(d3d_last_run)
d3d_choose "$MODE" "32 bit" on
d3d_run_test bench-vsync-on "$SECS"
on=$(d3d_last_run)
d3d_drive click "$D3D_SETUP" "$IDC_CMD_CANCEL"
d3d_drive gone "$D3D_SETUP" 10000

bare=$(e2e_timeout $((SECS + 60)) "$E2E_WINE" "$E2E_D3D_HELPERS/hzwkd3dbare.exe" 1024 768 32 "$SECS" 2>>"$E2E_RESULTS/bare.err" | tr -d '\r')
e2e_log "test, VSync OFF: $off"
e2e_log "test, VSync ON:  $on"
e2e_log "$bare"

fps_of() { awk -v f="$1" -v m="$2" 'BEGIN { if (m > 0) printf "%.1f", f * 1000 / m; else print 0 }'; }
test_fps=$(fps_of "$(d3d_field "$off" frames)" "$(d3d_field "$off" ms)")
bare_fps=$(printf '%s\n' "$bare" | sed -n 's/.*fps=\([0-9.]*\).*/\1/p')
echo "VSync OFF: test loop $test_fps fps, bare clear-and-present loop ${bare_fps:-?} fps," \
     "ratio $(awk -v a="$test_fps" -v b="${bare_fps:-0}" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }')"
shown=$(d3d_field "$on" shownFps)
measured=$(fps_of "$(d3d_field "$on" frames)" "$(d3d_field "$on" ms)")
refresh=$(d3d_field "$on" refresh)
if [ "${refresh:-0}" -gt 0 ] 2>/dev/null; then
    echo "VSync ON: shown $shown fps (measured $measured) against the mode's $refresh Hz," \
         "ratio $(awk -v a="$shown" -v b="$refresh" 'BEGIN { printf "%.2f", a / b }')"
else
    echo "VSync ON: shown $shown fps (measured $measured); the device reports no refresh rate for this mode" \
         "(Xvfb's own mode is listed at 0 Hz), so there is no ratio"
fi
e2e_end
