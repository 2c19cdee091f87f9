#!/usr/bin/env bash
# Plants one fault at a time in a copy of the tree and runs the window tests against it (the
# copy's own build of them, tests/win32); a fault they miss goes on to the end-to-end cases its
# "# cases:" line names, against the copy's i686 build, stopping at the first that fails.
# A tool for judging the tests, not a test itself.
#   scripts/plant-faults-e2e.sh [FAULT_FILE] [WORK_DIR]
# FAULT_FILE (default scripts/faults-e2e.txt): one fault a line, "id|file|exact line text|
# replacement" (the format of scripts/plant-faults.sh: the line text must occur exactly once,
# leading blanks ignored; an empty replacement drops the line). "# cases: PATTERN..." names the
# end-to-end cases (as run_all.sh takes them) for the faults after it; "# cases:" alone, none.
# TESTS_TREE=DIR takes the end-to-end cases from another checkout; HZWKCTL as in tests/e2e.
# Prints one line per fault: caught (by the window tests or by which case), ESCAPED or
# nocompile; then the totals.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# The copy is no git checkout: the help file and the zip take their time from the tree's commit.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$top" log -1 --format=%ct)}
faults=${1:-$top/scripts/faults-e2e.txt}
work=${2:-/tmp/hzwk-plant-e2e-$(id -u)}
rm -rf "$work/src" && mkdir -p "$work/src" || exit 1
(cd "$top" && git ls-files -co --exclude-standard | grep -v '^build' | tar -cf - -T - |
  tar -xf - -C "$work/src") || exit 1
build=$work/build wbuild=$work/build-window-tests
cmake -S "$work/src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$work/src/cmake/toolchain-i686-mingw.cmake" >/dev/null || exit 1
cmake -S "$work/src" -B "$wbuild" -DCMAKE_TOOLCHAIN_FILE="$work/src/tests/win32/toolchain-i686-posix.cmake" \
  -DHZWK_WINDOW_TESTS=ON -DCMAKE_BUILD_TYPE=Plain >/dev/null || exit 1
export HZWK_WINDOW_TESTS_TIMEOUT=${HZWK_WINDOW_TESTS_TIMEOUT:-60}
wbuild_tests() { cmake --build "$wbuild" -j2 --target hzwk_window_tests >/dev/null 2>&1; }
wbuild_tests || { echo "clean tree does not build its window tests"; exit 1; }
bash "$work/src/tests/win32/run.sh" "$wbuild" >"$work/clean.log" 2>&1 ||
  { echo "clean tree fails its window tests (see $work/clean.log)"; exit 1; }
tests=${TESTS_TREE:-$top}
cases=$(cd "$tests/tests/e2e/cases" 2>/dev/null && ls *.sh | sed 's/\.sh$//')

caught=0 escaped=0 dropped=0 missing=0 patterns=""
while IFS='|' read -r id file old new; do
  [[ $id == "# cases:"* ]] && { patterns=${id#\# cases:}; continue; }
  [[ -z "$id" || "$id" == \#* ]] && continue
  f=$work/src/$file
  cp -p "$f" "$f.orig"
  if ! python3 "$top/scripts/plant-fault.py" "$faults" "$id" "$work/src" >/dev/null; then
    echo "$id MISSING (line not found once in $file)"; missing=$((missing+1))
    mv "$f.orig" "$f"; continue
  fi
  verdict=""
  if ! wbuild_tests; then
    verdict=nocompile
  elif ! bash "$work/src/tests/win32/run.sh" "$wbuild" >"$work/$id-window-tests.log" 2>&1; then
    verdict="caught by the window tests:$(sed -n 's/^\[  FAILED  \] \([^ ]*\) (.*/ \1/p' "$work/$id-window-tests.log" | tr -d '\n')"
  else
    for c in $cases; do
      hit=; for p in $patterns; do [[ $c == *"$p"* ]] && hit=1; done
      [ -n "$hit" ] || continue
      cmake --build "$build" -j2 >/dev/null 2>&1 || { verdict=nocompile; break; }
      E2E_BUILD=$build bash "$tests/tests/e2e/run_all.sh" "$c" >"$work/$id-$c.log" 2>&1 ||
        { verdict="caught by $c"; break; }
    done
  fi
  case $verdict in
    nocompile) dropped=$((dropped+1)) ;;
    caught*) caught=$((caught+1)) ;;
    *) verdict="ESCAPED  $file: $new"; escaped=$((escaped+1)) ;;
  esac
  echo "$id $verdict"
  mv "$f.orig" "$f"
  touch "$f"
done <"$faults"
echo "caught $caught / $((caught+escaped)) (dropped: $dropped nocompile, $missing missing)"
