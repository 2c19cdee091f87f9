#!/bin/bash
# Runs every end-to-end case (cases/*.sh, in name order, one after the other) and prints one
# result line per case and the totals. Exit status 1 when any case failed.
#   tests/e2e/run_all.sh [PATTERN...]  only the cases whose file name contains a PATTERN
# Settings: see lib.sh (E2E_BUILD, HZWK_EXE, ...). E2E_CASE_TIMEOUT bounds each case (s).
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
# The i686 Windows build, the one users run; E2E_BUILD=build/win-x86_64 tests the other.
: "${E2E_BUILD:=$top/build/win-i686}"
export E2E_BUILD
if [ -f "$E2E_BUILD/CMakeCache.txt" ] && [ ! -f "$E2E_BUILD/e2e/hzwkdrive.exe" ]; then
    cmake --build "$E2E_BUILD" --target e2e-helpers -j2 > /dev/null || echo "could not build the e2e helpers" >&2
fi
echo "end-to-end cases against ${HZWK_EXE:-$E2E_BUILD/hzwk.exe}"
log_dir=$E2E_BUILD/test-results/e2e
mkdir -p "$log_dir"
passed=0
failed=0
failed_names=()
start=$SECONDS
for case_file in "$here"/cases/*.sh; do
    name=$(basename "$case_file" .sh)
    if [ $# -gt 0 ]; then
        wanted=
        for pattern in "$@"; do [[ $name == *"$pattern"* ]] && wanted=1; done
        [ -n "$wanted" ] || continue
    fi
    t0=$SECONDS
    # An overrunning case gets TERM (its trap ends what it started), then KILL with its group.
    timeout -k 10 "${E2E_CASE_TIMEOUT:-300}" bash "$case_file" > "$log_dir/$name.log" 2>&1 < /dev/null
    rc=$?
    if [ $rc -eq 0 ]; then
        passed=$((passed + 1))
        printf 'PASS  %-40s %4ds\n' "$name" $((SECONDS - t0))
    else
        failed=$((failed + 1))
        failed_names+=("$name")
        [ $rc -eq 124 ] && echo "case $name overran ${E2E_CASE_TIMEOUT:-300} s" >> "$log_dir/$name.log"
        printf 'FAIL  %-40s %4ds  (log: %s)\n' "$name" $((SECONDS - t0)) "$log_dir/$name.log"
        sed 's/^/      | /' "$log_dir/$name.log" | tail -n 60
    fi
done
echo "end-to-end run took $((SECONDS - start)) s"
[ $failed -eq 0 ] || echo "failed: ${failed_names[*]}"
echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
