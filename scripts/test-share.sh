#!/usr/bin/env bash
# Test code against product code, in non-blank lines of the files git tracks (or will):
# tests = .c .cpp .h .sh .bash .py .cmake and CMakeLists.txt under tests/, by folder;
# code = .c .cpp .h under src/ and tools/. The aim is a quarter to a third.
set -euo pipefail
cd "$(dirname "$0")/.."
files() { git ls-files -co --exclude-standard -- "$@" | grep -v '^build'; }
count() { xargs -r grep -vch '^[[:space:]]*$' 2>/dev/null | awk '{s+=$1} END {print s+0}'; }
code=$(files src tools | grep -E '\.(c|cpp|h)$' | count)
tests=0
for dir in $(files tests | cut -d/ -f1-2 | sort -u); do
  n=$(files "$dir" | grep -E '(\.(c|cpp|h|sh|bash|py|cmake)|/CMakeLists\.txt)$' | count)
  [ "$n" -gt 0 ] && printf '%-16s %6d\n' "$dir" "$n"
  tests=$((tests + n))
done
printf '%-16s %6d\n%-16s %6d\nshare          %d.%d%%\n' "tests" "$tests" "code" "$code" \
  $((1000 * tests / code / 10)) $((1000 * tests / code % 10))
