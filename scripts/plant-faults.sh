#!/usr/bin/env bash
# Plants one fault at a time in a copy of the tree, rebuilds the unit tests and hzwkctl, and
# reports whether the unit tests catch it. A tool for judging the tests, not a test itself.
#   scripts/plant-faults.sh [FAULT_FILE] [WORK_DIR]
# FAULT_FILE (default scripts/faults.txt): one fault a line, "id|file|exact line text|replacement",
# where the line text must occur exactly once in the file (blanks around it ignored) and an
# empty replacement drops the line.
# Prints one line per fault: caught, ESCAPED or nocompile; then the totals. With PLANT_DETAIL=1
# a caught fault's line names the tests that failed, to see which tests are the only ones to catch it.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
faults=${1:-$top/scripts/faults.txt}
work=${2:-/tmp/hzwk-plant-$(id -u)}
# A fresh copy of the tracked files (the tests as they are now, committed or not); tar keeps
# their times, so the build stays incremental from one run to the next.
rm -rf "$work/src" && mkdir -p "$work/src" || exit 1
(cd "$top" && git ls-files -co --exclude-standard | grep -v '^build/' | tar -cf - -T - |
  tar -xf - -C "$work/src") || exit 1
build=$work/build
cmake -S "$work/src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DHZWK_SANITIZE=OFF \
  -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST >/dev/null || exit 1
targets=(--target hzwk_unit_tests hzwkctl)
cmake --build "$build" "${targets[@]}" -j2 >/dev/null || { echo "clean tree does not build"; exit 1; }
"$build/hzwk_unit_tests" --gtest_brief=1 >/dev/null 2>&1 || { echo "clean tree fails its tests"; exit 1; }

caught=0 escaped=0 dropped=0 missing=0
# Fields are split at "|"; a "\|" inside a line stands for a "|".
for id in $(grep -v '^#' "$faults" | cut -d'|' -f1); do
  file=$(grep "^$id|" "$faults" | cut -d'|' -f2)
  f=$work/src/$file
  cp -p "$f" "$f.orig"
  if ! python3 "$top/scripts/plant-fault.py" "$faults" "$id" "$work/src" >/dev/null; then
    echo "$id MISSING (line not found once in $file)"; missing=$((missing+1))
    mv "$f.orig" "$f"; continue
  fi
  if ! cmake --build "$build" "${targets[@]}" -j2 >/dev/null 2>&1; then
    echo "$id nocompile"; dropped=$((dropped+1))
  elif timeout 300 "$build/hzwk_unit_tests" --gtest_brief=1 >"$work/last.log" 2>&1; then
    echo "$id ESCAPED  $file"; escaped=$((escaped+1))
  else
    detail=""
    [ "${PLANT_DETAIL:-0}" = 1 ] && detail=$(grep -o '^\[  FAILED  \] [A-Za-z0-9_./]*' "$work/last.log" |
      sed 's/^\[  FAILED  \] //' | sort -u | tr '\n' ' ')
    echo "$id caught $detail"; caught=$((caught+1))
  fi
  mv "$f.orig" "$f"
  touch "$f"
done
cmake --build "$build" "${targets[@]}" -j2 >/dev/null 2>&1
echo "caught $caught / $((caught+escaped)) (dropped: $dropped nocompile, $missing missing)"
