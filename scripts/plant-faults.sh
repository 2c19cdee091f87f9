#!/usr/bin/env bash
# Plants one fault at a time in a copy of the tree, rebuilds the unit tests and hzwkctl, and
# reports whether the unit tests catch it. A tool for judging the tests, not a test itself.
#   scripts/plant-faults.sh [--detail] [FAULT_FILE] [WORK_DIR]
#   scripts/plant-faults.sh [--detail] --random N --seed S [WORK_DIR]
# FAULT_FILE (default scripts/faults.txt): one fault a line, "id|file|exact line text|replacement",
# where the line text must occur exactly once in the file (blanks around it ignored) and an
# empty replacement drops the line.
# --random N --seed S plants N one-token faults that nobody chose, at seeded random places in the
# code the native build compiles (src/ but *_win32.*, and tools/hzwkctl/): an operator swapped
# (relational, arithmetic, logical), an integer moved by one, an if/while condition negated, a
# statement line removed; scripts/plant-random.py picks them, and the same tree and seed give
# the same faults. Each fault's report names file:line with the line before and after.
# Prints one line per fault: caught, ESCAPED or nocompile; then the totals (nocompile faults do
# not count). With --detail or PLANT_DETAIL=1 a caught fault's line names the tests that failed,
# to see which tests are the only ones to catch it.
# PLANT_TIMEOUT (default 30) limits one test run in seconds; a run that hangs counts as caught.
# PLANT_JOBS=2 tries two faults at once, in two copies (the first run of a copy builds it whole).
# The build is a plain Debug one with Ninja; a fault rebuilds only what its file touches, and the
# build is put back from a snapshot afterwards, so nothing is built twice for one fault.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
detail=${PLANT_DETAIL:-0} count="" seed="" args=()
while [ $# -gt 0 ]; do
  case $1 in
    --detail) detail=1; shift ;;
    --random) count=${2:?--random needs a count}; shift 2 ;;
    --seed) seed=${2:?--seed needs a number}; shift 2 ;;
    *) args+=("$1"); shift ;;
  esac
done
if [ -n "$count" ]; then
  [ -n "$seed" ] || { echo "--random needs --seed" >&2; exit 2; }
  faults="" work=${args[0]:-/tmp/hzwk-plant-$(id -u)}
else
  faults=${args[0]:-$top/scripts/faults.txt}
  work=${args[1]:-/tmp/hzwk-plant-$(id -u)}
fi
lanes=${PLANT_JOBS:-1} limit=${PLANT_TIMEOUT:-30}
targets=(hzwk_unit_tests hzwkctl)
mkdir -p "$work" && work=$(cd "$work" && pwd)

# One copy ("lane") of the tree: its sources, build and a snapshot of the clean build.
# A fresh copy of the tracked files (the tests as they are now, committed or not); tar keeps
# their times, so the build stays incremental from one run to the next.
prepare() {  # prepare LANE_DIR JOBS
  local dir=$1 jobs=$2
  rm -rf "$dir/src" && mkdir -p "$dir/src" || return 1
  (cd "$top" && git ls-files -co --exclude-standard | grep -v '^build/' | tar -cf - -T - |
    tar -xf - -C "$dir/src") || return 1
  cmake -S "$dir/src" -B "$dir/build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DHZWK_SANITIZE=OFF \
    -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
    -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST >/dev/null || return 1
  ninja -C "$dir/build" -j"$jobs" "${targets[@]}" >/dev/null || { echo "clean tree does not build"; return 1; }
  "$dir/build/hzwk_unit_tests" --gtest_brief=1 >/dev/null 2>&1 || { echo "clean tree fails its tests"; return 1; }
  rm -rf "$dir/snap" && cp -a "$dir/build" "$dir/snap"
}

# Tries one fault in a lane and prints its report. The planting command ($3...) changes one file.
try_fault() {  # try_fault LANE_DIR ID FILE PLANT_COMMAND...
  local dir=$1 id=$2 file=$3; shift 3
  local f=$dir/src/$file build=$dir/build start=$SECONDS result
  cp -p "$f" "$f.orig"
  touch "$dir/stamp"
  if ! "$@" >/dev/null 2>"$dir/plant.err"; then
    mv "$f.orig" "$f"; echo "$id MISSING (line not found once in $file)"
    echo MISSING >>"$work/results"; return
  fi
  local rc=0
  if ! ninja -C "$build" -j"$jobs" "${targets[@]}" >/dev/null 2>&1; then
    result=nocompile
  elif timeout -k 5 "$limit" "$build/hzwk_unit_tests" --gtest_brief=1 >"$dir/last.log" 2>&1 || rc=$?
       [ $rc = 0 ]; then
    result=ESCAPED
  else
    result=caught
    [ $rc = 124 ] && result="caught (timeout)"
    if [ "$detail" = 1 ]; then
      result="$result $(grep -o '^\[  FAILED  \] [A-Za-z0-9_./]*' "$dir/last.log" |
        sed 's/^\[  FAILED  \] //' | sort -u | tr '\n' ' ')"
    fi
  fi
  # Put the source and every build file the fault touched back as they were; their old times
  # agree with Ninja's log, so the next fault rebuilds only its own files.
  mv "$f.orig" "$f"
  (cd "$build" && find . -type f -newer "$dir/stamp" ! -name '.ninja_*' -print0) |
    while IFS= read -r -d '' g; do
      [ -e "$dir/snap/$g" ] && cp -p "$dir/snap/$g" "$build/$g"
    done
  if ! ninja -C "$build" -n "${targets[@]}" | grep -q 'no work to do'; then
    echo "note: the restored build was not clean after $id; rebuilding" >&2
    ninja -C "$build" -j"$jobs" "${targets[@]}" >/dev/null 2>&1
  fi
  report "$id" "$result" "$file" $((SECONDS - start))
}

if [ -z "$count" ]; then
  jobs=2
  prepare "$work" 2 || exit 1
  report() {  # the hand list's own lines
    case $2 in
      nocompile) echo "$1 nocompile" ;;
      ESCAPED) echo "$1 ESCAPED  $3" ;;
      *) echo "$1 ${2/ (timeout)/}" | sed 's/ *$//' ;;
    esac
    echo "$2" >>"$work/results"
  }
  rm -f "$work/results"
  # Fields are split at "|"; a "\|" inside a line stands for a "|".
  for id in $(grep -v '^#' "$faults" | cut -d'|' -f1); do
    file=$(grep "^$id|" "$faults" | cut -d'|' -f2)
    try_fault "$work" "$id" "$file" python3 "$top/scripts/plant-fault.py" "$faults" "$id" "$work/src"
  done
  caught=$(grep -c '^caught' "$work/results") escaped=$(grep -c '^ESCAPED' "$work/results")
  dropped=$(grep -c '^nocompile' "$work/results") missing=$(grep -c '^MISSING' "$work/results")
  echo "caught $caught / $((caught+escaped)) (dropped: $dropped nocompile, $missing missing)"
  exit 0
fi

# Random faults: picked once from the first copy, then dealt to the lanes in turn.
jobs=$(( lanes > 1 ? 1 : 2 ))
lane() { [ "$1" = 0 ] && echo "$work" || echo "$work/lane$1"; }  # the first is the hand list's
for ((l = 0; l < lanes; l++)); do
  prepare "$(lane $l)" 2 || exit 1
done
list=$work/random-$count-$seed.txt
python3 "$top/scripts/plant-random.py" pick "$work/src" "$work/build" "$count" "$seed" \
  >"$list" || exit 1
report() {
  local line
  line=$(grep "^$1	" "$list")
  IFS=$'\t' read -r _ file no kind old new <<<"$line"
  printf '%s %-9s %s:%s %s %ss\n    - %s\n    + %s\n' "$1" "$2" "$file" "$no" "$kind" "$4" "$old" "$new"
  echo "$1 $2 $4" >>"$work/results"  # one short line each: the lanes do not mix
}
rm -f "$work/results"
begin=$SECONDS
for ((l = 0; l < lanes; l++)); do
  (
    n=0
    while IFS=$'\t' read -r id file _; do
      if [ $((n++ % lanes)) = "$l" ]; then
        d=$(lane $l)
        try_fault "$d" "$id" "$file" python3 "$top/scripts/plant-random.py" plant "$list" "$id" "$d/src"
      fi
    done <"$list"
  ) &
done
wait
caught=$(grep -c ' caught' "$work/results") escaped=$(grep -c ' ESCAPED' "$work/results")
dropped=$(grep -c ' nocompile' "$work/results")
total=$((SECONDS - begin)) tried=$(wc -l <"$work/results")
echo "seed $seed: caught $caught / $((caught+escaped)), nocompile $dropped;" \
  "${total}s for $tried faults ($((tried ? total / tried : 0))s a fault, $lanes at once)"
