#!/bin/bash
# Runs the end-to-end cases (cases/*.sh, or those whose name holds a PATTERN) one after the
# other: a result line each, then "N passed, M failed"; exit status 1 when any failed.
#   tests/e2e/run_all.sh [PATTERN...]     (settings: README.md)
here=$(cd "$(dirname "$0")" && pwd)
export E2E_BUILD=${E2E_BUILD:-${here%/tests/e2e}/build/win-i686}
[ ! -f "$E2E_BUILD/CMakeCache.txt" ] || cmake --build "$E2E_BUILD" --target e2e-helpers -j2 > /dev/null || echo "could not build the e2e helpers" >&2
log_dir=$E2E_BUILD/test-results/e2e passed=0 failed=0 && mkdir -p "$log_dir"
echo "end-to-end smoke against ${HZWK_EXE:-$E2E_BUILD/hzwk.exe}"
for case_file in "$here"/cases/*.sh; do
    name=$(basename "$case_file" .sh) wanted=$(($# == 0)) t0=$SECONDS
    for pattern in "$@"; do [[ $name == *"$pattern"* ]] && wanted=1; done
    [ "$wanted" = 1 ] || continue
    # An overrunning case gets TERM (its trap ends what it started), then KILL.
    timeout -k 10 "${E2E_CASE_TIMEOUT:-120}" bash "$case_file" > "$log_dir/$name.log" 2>&1 < /dev/null &&
        passed=$((passed + 1)) verdict=PASS || failed=$((failed + 1)) verdict=FAIL
    printf '%s  %-30s %4ds  %s\n' $verdict "$name" $((SECONDS - t0)) "$([ $verdict = FAIL ] && echo "(log: $log_dir/$name.log)")"
    [ $verdict = PASS ] || sed 's/^/      | /' "$log_dir/$name.log" | tail -n 60
done
echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
