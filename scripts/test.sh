#!/usr/bin/env bash
# Builds everything and runs every test: native unit tests (with sanitizers), both
# Windows builds with their import check, the window tests under Wine, and the end-to-end
# smoke under Wine on the i686 hzwk.exe (the build users run) and on the x86_64 one.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
jobs=$(nproc 2>/dev/null || echo 2)
# CI builds with warnings as errors (.ci/run sets HZWK_WERROR=ON).
werror=-DHZWK_WERROR=${HZWK_WERROR:-OFF}

echo "== include tiers"
bash scripts/check-layers.sh

echo "== native build and unit tests"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DHZWK_SANITIZE=ON "$werror" >/dev/null
cmake --build build/native -j"$jobs"
(cd build/native && ctest --output-on-failure -j"$jobs")

for arch in i686 x86_64; do
  echo "== Windows build ($arch)"
  cmake -S . -B "build/win-$arch" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-$arch-mingw.cmake" "$werror" >/dev/null
  cmake --build "build/win-$arch" -j"$jobs"
done

echo "== import tables"
bash scripts/check-imports.sh build/win-i686 build/win-x86_64

echo "== release package"
bash scripts/check-package.sh build/win-i686

echo "== window tests under Wine (i686)"
# Their own build: GoogleTest needs the posix-thread compilers, the product keeps its own.
cmake -S . -B build/win32-tests -DCMAKE_TOOLCHAIN_FILE="$top/tests/win32/toolchain-i686-posix.cmake" \
  -DHZWK_WINDOW_TESTS=ON -DCMAKE_BUILD_TYPE=Plain >/dev/null
cmake --build build/win32-tests -j"$jobs" --target hzwk_window_tests
bash tests/win32/run.sh build/win32-tests

# The smoke: /startup, the report, Apply through the message boxes, the Direct3D test.
echo "== end-to-end smoke under Wine: i686"
e2e_rc=0
E2E_BUILD="$top/build/win-i686" bash tests/e2e/run_all.sh || e2e_rc=1
echo "== end-to-end smoke under Wine: x86_64"
E2E_BUILD="$top/build/win-x86_64" bash tests/e2e/run_all.sh || e2e_rc=1
exit $e2e_rc
