#!/bin/bash
# Runs the end-to-end cases (cases/*.sh, in name order; with PATTERNs only those whose name
# holds one) one after the other: a result line per case, the totals, exit status 1 when any
# failed. Settings: README.md; E2E_CASE_TIMEOUT bounds each case (s).
#   tests/e2e/run_all.sh [PATTERN...]
here=$(cd "$(dirname "$0")" && pwd)
: "${E2E_BUILD:=${here%/tests/e2e}/build/win-i686}"
export E2E_BUILD
if [ -f "$E2E_BUILD/CMakeCache.txt" ]; then
    cmake --build "$E2E_BUILD" --target e2e-helpers -j2 > /dev/null || echo "could not build the e2e helpers" >&2
fi
echo "end-to-end cases against ${HZWK_EXE:-$E2E_BUILD/hzwk.exe}"
log_dir=$E2E_BUILD/test-results/e2e
mkdir -p "$log_dir"
passed=0
failed=0
for case_file in "$here"/cases/*.sh; do
    name=$(basename "$case_file" .sh)
    wanted=$(($# == 0))
    for pattern in "$@"; do [[ $name == *"$pattern"* ]] && wanted=1; done
    [ "$wanted" = 1 ] || continue
    t0=$SECONDS
    # An overrunning case gets TERM (its trap ends what it started), then KILL with its group.
    timeout -k 10 "${E2E_CASE_TIMEOUT:-300}" bash "$case_file" > "$log_dir/$name.log" 2>&1 < /dev/null
    rc=$?
    if [ $rc -eq 0 ]; then
        passed=$((passed + 1))
        printf 'PASS  %-40s %4ds\n' "$name" $((SECONDS - t0))
    else
        failed=$((failed + 1))
        [ $rc -eq 124 ] && echo "case $name overran ${E2E_CASE_TIMEOUT:-300} s" >> "$log_dir/$name.log"
        printf 'FAIL  %-40s %4ds  (log: %s)\n' "$name" $((SECONDS - t0)) "$log_dir/$name.log"
        sed 's/^/      | /' "$log_dir/$name.log" | tail -n 60
    fi
done
echo "end-to-end run took $SECONDS s"
echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
