#!/bin/bash
# Checks that hzwk.exe starts on a plain Windows 2000: its import table names only DLLs that
# Windows 2000 ships, never d3d8.dll or hhctrl.ocx (both are loaded at run time, so a missing
# one costs a feature, not the start), and no function that Windows 2000 lacks.
#
#   scripts/check-imports.sh BUILD_DIR...      (default: build/win-i686 build/win-x86_64)
#
# Prints every imported DLL and the verdict per build; exits 1 on any finding.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
[ $# -gt 0 ] || set -- "$top/build/win-i686" "$top/build/win-x86_64"

# DLLs of a Windows 2000 installation that the program may link against (lower case).
allowed_dlls=" kernel32.dll user32.dll gdi32.dll advapi32.dll comctl32.dll shell32.dll version.dll
 msvcrt.dll ole32.dll oleaut32.dll comdlg32.dll winmm.dll shlwapi.dll ws2_32.dll "

# Named on purpose: a static import of these breaks the promise above, whatever the list says.
forbidden_dlls=" d3d8.dll d3dx8.dll d3dx8d.dll hhctrl.ocx uxtheme.dll dwmapi.dll "

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
x64_only=" $(echo $x64_only) "

matches_deny() {
    local f=$1 pattern
    for pattern in "${deny_functions[@]}"; do
        # shellcheck disable=SC2053
        [[ $f == $pattern ]] && return 0
    done
    return 1
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
    findings=()
    dlls=$(printf '%s\n' "$imports" | cut -d'|' -f1 | sort -u)
    for dll in $dlls; do
        if [[ $forbidden_dlls == *" $dll "* ]]; then
            findings+=("imports $dll, which must be loaded at run time")
        elif [[ $allowed_dlls != *" $dll "* ]]; then
            findings+=("imports $dll, which a plain Windows 2000 does not have")
        fi
    done
    while IFS='|' read -r dll fn; do
        [ -n "$fn" ] || continue
        if [ "$arch" = x86_64 ] && [[ $x64_only == *" $fn "* ]]; then continue; fi
        if [[ $x64_only == *" $fn "* ]] || matches_deny "$fn"; then
            findings+=("imports $fn from $dll, which Windows 2000 lacks")
        fi
    done <<< "$imports"
    count=$(printf '%s\n' "$imports" | grep -c '|.')
    echo "$exe ($arch): $count functions from $(echo $dlls | tr ' ' ',')"
    if [ ${#findings[@]} -gt 0 ]; then
        for f in "${findings[@]}"; do echo "FAIL $exe: $f"; done
        status=1
    else
        echo "ok   $exe"
    fi
done
exit $status
