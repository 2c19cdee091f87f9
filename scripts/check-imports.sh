#!/bin/bash
# Checks that hzwk.exe starts on a plain Windows 2000 and that a /startup run loads only what
# it needs: the import table names only kernel32, advapi32, version and msvcrt (user32, gdi32
# and the like are delay-loaded, at their first call), the delay-load table only DLLs that
# Windows 2000 ships, neither ever d3d8.dll or hhctrl.ocx (both are loaded at run time, so a
# missing one costs a feature, not the start), and no function that Windows 2000 lacks.
#
#   scripts/check-imports.sh BUILD_DIR...      (default: build/win-i686 build/win-x86_64)
#
# Prints every imported and delay-loaded DLL and the verdict per build; exits 1 on any finding.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
[ $# -gt 0 ] || set -- "$top/build/win-i686" "$top/build/win-x86_64"

# DLLs of a Windows 2000 installation that the program may link against (lower case).
allowed_dlls=" kernel32.dll user32.dll gdi32.dll advapi32.dll comctl32.dll shell32.dll version.dll
 msvcrt.dll ole32.dll oleaut32.dll comdlg32.dll winmm.dll shlwapi.dll ws2_32.dll "

# Named on purpose: a static import of these breaks the promise above, whatever the list says;
# delay-loading them would end the program where a missing one should cost a feature.
forbidden_dlls=" d3d8.dll d3dx8.dll d3dx8d.dll hhctrl.ocx uxtheme.dll dwmapi.dll "

# The only DLLs loaded with the program: a /startup run that finds no new driver ends before
# any window, and loading user32 and gdi32 would cost it more than all its own work.
start_dlls=" kernel32.dll advapi32.dll version.dll msvcrt.dll "

# Functions that Windows 2000 does not export (XP and later), the kind a compiler runtime,
# libgcc, libstdc++ or a careless call drags in. A trailing * matches a prefix.
deny_functions=(
    # kernel32, XP
    AddVectoredExceptionHandler RemoveVectoredExceptionHandler GetNativeSystemInfo IsWow64Process
    GetModuleHandleExA GetModuleHandleExW SetDllDirectoryA SetDllDirectoryW GetSystemTimes
    GetProcessId TzSpecificLocalTimeToSystemTime InterlockedPushEntrySList InterlockedPopEntrySList
    InitializeSListHead InterlockedFlushSList QueryDepthSList ConvertFiberToThread
    AttachConsole HeapSetInformation HeapQueryInformation GetSystemWow64DirectoryA
    GetSystemWow64DirectoryW 'Wow64*' CreateActCtxA CreateActCtxW ActivateActCtx DeactivateActCtx
    ReleaseActCtx EncodePointer DecodePointer RtlCaptureStackBackTrace WTSGetActiveConsoleSessionId
    GetLogicalProcessorInformation
    # kernel32, Server 2003 and Vista and later
    AddVectoredContinueHandler GetTickCount64 InitializeCriticalSectionEx '*SRWLock*'
    '*ConditionVariable*' 'InitOnce*' 'Fls*' GetCurrentProcessorNumber GetThreadId
    SetThreadStackGuarantee GetNumaHighestNodeNumber InterlockedCompareExchange64
    QueryFullProcessImageNameA QueryFullProcessImageNameW GetErrorMode GetFinalPathNameByHandleA
    GetFinalPathNameByHandleW 'CreateSymbolicLink*' GetFileInformationByHandleEx
    SetFileInformationByHandle CancelIoEx GetQueuedCompletionStatusEx CreateWaitableTimerExW
    CreateEventExA CreateEventExW CreateMutexExA CreateMutexExW CreateSemaphoreExW
    CompareStringEx LCMapStringEx GetLocaleInfoEx GetUserDefaultLocaleName
    GetSystemTimePreciseAsFileTime GetSystemTimeAsFileTimePrecise
    # advapi32, XP x64 / Vista and later
    RegGetValueA RegGetValueW RegDeleteKeyExA RegDeleteKeyExW 'RegDeleteTree*' 'RegCopyTree*'
    'RegSetKeyValue*' 'RegOpenKeyTransacted*' 'RegCreateKeyTransacted*' 'RegLoadMUIString*'
    SystemFunction036
    # user32, XP and later
    PrintWindow GetRawInputData GetRawInputDeviceList GetRawInputDeviceInfoA RegisterRawInputDevices
    GetLayeredWindowAttributes 'SetProcessDPIAware*' 'SetProcessDpiAwareness*'
    # comctl32: by name only from version 6 (XP); Windows 2000 exports them by ordinal
    SetWindowSubclass GetWindowSubclass RemoveWindowSubclass DefSubclassProc
    'TaskDialog*' LoadIconMetric LoadIconWithScaleDown
    # shell32, Vista and later
    SHGetKnownFolderPath SHCreateItemFromParsingName
    # msvcrt: absent from the msvcrt.dll of Windows 2000
    ___lc_codepage_func ___mb_cur_max_func ___lc_handle_func __pctype_func _aligned_malloc
    _aligned_free _aligned_realloc _time64 _localtime64 _gmtime64 _mktime64 _ctime64 _ftime64
    _stat64 _fstat64 _wstat64 _findfirst64 _findnext64 _fseeki64 _ftelli64 _strtoi64 _strtoui64
    _wcstoi64 _wcstoui64 _vscprintf _scprintf _vscwprintf _scwprintf rand_s '*_s'
    _create_locale _free_locale _get_errno _set_errno _set_invalid_parameter_handler
    _get_invalid_parameter_handler _localtime32 _gmtime32 _time32 _mktime32
)
# The 64-bit build runs on XP x64 / Server 2003 x64 and later, which export these: the
# unwinder's Rtl functions, and the locale helpers of the msvcrt.dll those systems ship, which
# the 64-bit runtime calls where the 32-bit one reads __mb_cur_max. On the 32-bit build they
# would be Windows 2000 faults.
x64_only=" RtlCaptureContext RtlVirtualUnwind RtlLookupFunctionEntry RtlUnwindEx RtlAddFunctionTable
 RtlDeleteFunctionTable RtlRestoreContext ___lc_codepage_func ___mb_cur_max_func "
allowed_dlls=" $(echo $allowed_dlls) "
forbidden_dlls=" $(echo $forbidden_dlls) "
start_dlls=" $(echo $start_dlls) "
x64_only=" $(echo $x64_only) "

matches_deny() {
    local f=$1 pattern
    for pattern in "${deny_functions[@]}"; do
        # shellcheck disable=SC2053
        [[ $f == $pattern ]] && return 0
    done
    return 1
}

# delay_imports EXE OBJDUMP: "DLL|FUNCTION" (or "DLL|#ORDINAL") per delay-loaded function,
# with a third field "|unbound" when the function's address slot does not point into the
# image: the linker dropped the thunk that loads the DLL, and the first call would jump to 0.
# GNU ld leaves the delay-import directory empty, so the descriptors that dlltool's delay
# libraries put into the image are found by their shape: attributes 1 (RVAs), RVAs of the
# DLL's name, handle, address table and name table inside the image, the last three fields 0,
# and a name that ends in ".dll". Each table entry is 4 bytes wide (8 on x86_64).
delay_imports() {
    local exe=$1 objdump=$2
    {
        "$objdump" -p "$exe" | awk '$1 == "ImageBase" { print "base", $2 } $1 == "Magic" { print "magic", $2 }'
        "$objdump" -h "$exe" | awk '$1 ~ /^[0-9]+$/ && $6 !~ /^0+$/ { print "section", $3, $4, $6 }'
        od -An -v -tu1 "$exe" | awk '{ for (i = 1; i <= NF; i++) print "b", $i }'
    } | awk '
        function hex(s,    n, i) { n = 0; s = tolower(s)
            for (i = 1; i <= length(s); i++) n = n * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1
            return n }
        function u32(o) { return b[o] + b[o + 1] * 256 + b[o + 2] * 65536 + b[o + 3] * 16777216 }
        function off(rva,    i) { for (i = 0; i < ns; i++)
                if (rva >= vrva[i] && rva < vrva[i] + size[i]) return rva - vrva[i] + foff[i]
            return -1 }
        function text(o,    t, c) { t = ""
            while (o >= 0 && o < nb && b[o] != 0 && length(t) < 256) {
                c = b[o++]; if (c < 32 || c > 126) return ""; t = t sprintf("%c", c) }
            return t }
        BEGIN { ns = 0; nb = 0 }
        $1 == "base" { base = hex($2); next }
        $1 == "magic" { wide = ($2 == "020b") ? 8 : 4; next }
        $1 == "section" { size[ns] = hex($2); vrva[ns] = hex($3) - base; foff[ns] = hex($4); ns++; next }
        $1 == "b" { b[nb++] = $2 + 0; next }
        END {
            for (s = 0; s < ns; s++) for (o = foff[s]; o + 32 <= foff[s] + size[s] && o + 32 <= nb; o += 4) {
                if (u32(o) != 1 || u32(o + 20) != 0 || u32(o + 24) != 0 || u32(o + 28) != 0) continue
                name = off(u32(o + 4)); names = off(u32(o + 16))
                if (name < 0 || names < 0 || off(u32(o + 8)) < 0 || off(u32(o + 12)) < 0) continue
                dll = tolower(text(name))
                if (dll !~ /^[a-z0-9_.-]+\.dll$/) continue
                print dll "|"
                slots = off(u32(o + 12))
                for (e = names; e + wide <= nb; e += wide) {
                    lo = u32(e); hi = wide == 8 ? u32(e + 4) : 0
                    if (lo == 0 && hi == 0) break
                    if ((wide == 8 && hi >= 2147483648) || (wide == 4 && lo >= 2147483648)) fn = "#" (lo % 65536)
                    else fn = text(off(lo) + 2)
                    thunk = u32(slots) + (wide == 8 ? u32(slots + 4) * 4294967296 : 0) - base
                    print dll "|" fn (thunk > 0 && off(thunk) >= 0 ? "" : "|unbound")
                    slots += wide
                }
            }
        }'
}

status=0
for dir in "$@"; do
    exe=$dir/hzwk.exe
    if [ ! -f "$exe" ]; then
        echo "FAIL $exe: not built"
        status=1
        continue
    fi
    format=$(x86_64-w64-mingw32-objdump -f "$exe" 2>/dev/null | sed -n 's/.*file format //p')
    case $format in
        pei-i386) objdump=i686-w64-mingw32-objdump; arch=i686 ;;
        pei-x86-64) objdump=x86_64-w64-mingw32-objdump; arch=x86_64 ;;
        *) echo "FAIL $exe: not a Windows executable ($format)"; status=1; continue ;;
    esac
    # "DLL|FUNCTION" per imported function; "DLL|#ORDINAL" for imports by ordinal.
    imports=$("$objdump" -p "$exe" | awk '
        /^[ \t]*DLL Name:/ { dll = tolower($3); print dll "|"; next }
        dll != "" && /^[ \t]*$/ { dll = ""; next }
        dll != "" && /^[ \t]*[0-9a-fA-F]+[ \t]+[0-9]+[ \t]+[^ \t]+/ { print dll "|" $3; next }
        dll != "" && /<none>|[Oo]rdinal/ { print dll "|#" $NF }')
    delayed=$(delay_imports "$exe" "$objdump")
    findings=()
    dlls=$(printf '%s\n' "$imports" | cut -d'|' -f1 | sort -u)
    delay_dlls=$(printf '%s\n' "$delayed" | cut -d'|' -f1 | sort -u)
    for dll in $dlls; do
        if [[ $forbidden_dlls == *" $dll "* ]]; then
            findings+=("imports $dll, which must be loaded at run time")
        elif [[ $allowed_dlls != *" $dll "* ]]; then
            findings+=("imports $dll, which a plain Windows 2000 does not have")
        elif [[ $start_dlls != *" $dll "* ]]; then
            findings+=("imports $dll, which every start would load: delay-load it")
        fi
    done
    for dll in $delay_dlls; do
        if [[ $forbidden_dlls == *" $dll "* ]]; then
            findings+=("delay-loads $dll, which must be loaded at run time")
        elif [[ $allowed_dlls != *" $dll "* ]]; then
            findings+=("delay-loads $dll, which a plain Windows 2000 does not have")
        fi
    done
    while IFS='|' read -r dll fn bound; do
        [ -n "$fn" ] || continue
        if [ -n "$bound" ]; then
            findings+=("delay-loads $fn from $dll, but the linker dropped its thunk: the first call would jump to 0")
        fi
        if [ "$arch" = x86_64 ] && [[ $x64_only == *" $fn "* ]]; then continue; fi
        if [[ $x64_only == *" $fn "* ]] || matches_deny "$fn"; then
            findings+=("imports $fn from $dll, which Windows 2000 lacks")
        fi
    done <<< "$imports"$'\n'"$delayed"
    count=$(printf '%s\n' "$imports" | grep -c '|.')
    delay_count=$(printf '%s\n' "$delayed" | grep -c '|.')
    echo "$exe ($arch): $count functions from $(echo $dlls | tr ' ' ',');" \
         "delay-loaded: $delay_count functions from $(echo ${delay_dlls:-none} | tr ' ' ',')"
    if [ ${#findings[@]} -gt 0 ]; then
        for f in "${findings[@]}"; do echo "FAIL $exe: $f"; done
        status=1
    else
        echo "ok   $exe"
    fi
done
exit $status
