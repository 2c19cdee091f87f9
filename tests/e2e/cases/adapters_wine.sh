#!/bin/bash
# The Win32 registry and Os adapters against Wine's own advapi32, kernel32 and version.dll:
# hzwkadaptercheck.exe (tests/win32) runs from a scratch folder of its own, so that its
# debug.txt checks never touch the program folder, beside a DLL whose file version has halves
# of 32768 and more and differs from its product version. Passes only on exit 0 with
# "N passed, 0 failed".
. "$(dirname "$0")/../lib.sh"
e2e_begin adapters-wine xp-ti4600-3090

check_exe=$E2E_BUILD/win32/hzwkadaptercheck.exe
if [ ! -f "$check_exe" ] && [ -f "$E2E_BUILD/CMakeCache.txt" ]; then
    cmake --build "$E2E_BUILD" --target hzwkadaptercheck -j2 > "$E2E_WORK/build.log" 2>&1
fi
[ -f "$check_exe" ] || { e2e_fail "no $check_exe (target hzwkadaptercheck of $E2E_BUILD)"; e2e_end; }

folder_win='C:\Program Files\Hertzwerk Check'
folder=$(e2e_unix_path "$folder_win")
mkdir -p "$folder"
cp "$check_exe" "$folder/hzwkadaptercheck.exe"
version=1.32768.65535.4109
cat > "$E2E_WORK/versioned.rc" <<'RC'
1 VERSIONINFO
FILEVERSION 1,32768,65535,4109
PRODUCTVERSION 9,8,7,6
FILEOS 0x40004
FILETYPE 2
BEGIN
  BLOCK "VarFileInfo"
  BEGIN
    VALUE "Translation", 0x409, 1200
  END
END
RC
x86_64-w64-mingw32-windres -O coff -o "$E2E_WORK/versioned.o" "$E2E_WORK/versioned.rc" &&
    x86_64-w64-mingw32-ld -shared -e 0 --subsystem windows -o "$folder/versioned.dll" "$E2E_WORK/versioned.o" ||
    { e2e_fail "cannot make versioned.dll"; e2e_end; }

out=$E2E_RESULTS/adaptercheck.out
e2e_wine 120 "$folder_win\\hzwkadaptercheck.exe" --folder "$folder_win" \
    --version "$folder_win\\versioned.dll" "$version" --mode 1024x768@85 > "$out" 2> "$E2E_RESULTS/adaptercheck.err"
rc=$?
tr -d '\r' < "$out"
totals=$(tr -d '\r' < "$out" | tail -n 1)
if [ $rc -ne 0 ]; then
    e2e_fail "hzwkadaptercheck.exe exited with $rc: $totals"
    grep -v '^ok ' "$out" | head -n 40
    tail -n 20 "$E2E_RESULTS/adaptercheck.err"
elif ! [[ $totals =~ ^[1-9][0-9]*\ passed,\ 0\ failed$ ]]; then
    e2e_fail "hzwkadaptercheck.exe ended with '$totals', not 'N passed, 0 failed'"
fi
[ -f "$folder/debug.txt" ] && e2e_fail "hzwkadaptercheck.exe left a debug.txt behind"
e2e_end
