#!/usr/bin/env bash
# Plants one fault at a time in a copy of the tree, rebuilds its i686 Windows build, and runs
# the end-to-end cases that could catch it (this tree's cases, against the copy's build),
# stopping at the first that fails. A tool for judging the tests, not a test itself.
#   scripts/plant-faults-e2e.sh [FAULT_FILE] [WORK_DIR]
# FAULT_FILE (default scripts/faults-e2e.txt): one fault a line, "id|file|exact line text|
# replacement" (the format of scripts/plant-faults.sh: the line text must occur exactly once,
# leading blanks ignored; an empty replacement drops the line). "# cases: PATTERN..." names the
# cases (as run_all.sh takes them) for the faults after it; without one, every case runs.
# TESTS_TREE=DIR takes the cases from another checkout (e.g. an older one, for a before/after
# figure); HZWKCTL as in tests/e2e/lib.sh.
# Prints one line per fault: caught (by which case), ESCAPED or nocompile; then the totals.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
faults=${1:-$top/scripts/faults-e2e.txt}
work=${2:-/tmp/hzwk-plant-e2e-$(id -u)}
rm -rf "$work/src" && mkdir -p "$work/src" || exit 1
(cd "$top" && git ls-files -co --exclude-standard | grep -v '^build' | tar -cf - -T - |
  tar -xf - -C "$work/src") || exit 1
build=$work/build
cmake -S "$work/src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$work/src/cmake/toolchain-i686-mingw.cmake" >/dev/null || exit 1
cmake --build "$build" -j2 >/dev/null || { echo "clean tree does not build"; exit 1; }
tests=${TESTS_TREE:-$top}
cases=$(cd "$tests/tests/e2e/cases" && ls *.sh | sed 's/\.sh$//')

caught=0 escaped=0 dropped=0 missing=0 patterns=""
while IFS='|' read -r id file old new; do
  [[ $id == "# cases:"* ]] && { patterns=${id#\# cases:}; continue; }
  [[ -z "$id" || "$id" == \#* ]] && continue
  f=$work/src/$file
  cp "$f" "$f.orig"
  if ! python3 "$top/scripts/plant-fault.py" "$faults" "$id" "$work/src" >/dev/null; then
    echo "$id MISSING (line not found once in $file)"; missing=$((missing+1))
    mv "$f.orig" "$f"; continue
  fi
  verdict=""
  if ! cmake --build "$build" -j2 >/dev/null 2>&1; then
    verdict=nocompile; dropped=$((dropped+1))
  else
    for c in $cases; do
      if [ -n "$patterns" ]; then
        hit=; for p in $patterns; do [[ $c == *"$p"* ]] && hit=1; done
        [ -n "$hit" ] || continue
      fi
      E2E_BUILD=$build bash "$tests/tests/e2e/run_all.sh" "$c" >"$work/$id-$c.log" 2>&1 ||
        { verdict="caught by $c"; break; }
    done
    if [ -n "$verdict" ]; then caught=$((caught+1)); else verdict="ESCAPED  $file: $new"; escaped=$((escaped+1)); fi
  fi
  echo "$id $verdict"
  mv "$f.orig" "$f"
  touch "$f"
done <"$faults"
cmake --build "$build" -j2 >/dev/null 2>&1
echo "caught $caught / $((caught+escaped)) (dropped: $dropped nocompile, $missing missing)"
