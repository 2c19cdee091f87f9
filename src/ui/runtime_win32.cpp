// What the runtime does when a DLL loaded on first use cannot be loaded (an exception that
// escapes everything: core/terminate_win32.cpp).
#include <windows.h>
#include <delayimp.h>

namespace {

// A DLL on the delay-load list (user32, gdi32) or one of its functions could not be had.
// Without this hook the helper raises an exception that ends the process with no word;
// FatalAppExitA says which DLL failed through the system's own box, which needs no user32 here.
FARPROC WINAPI DelayLoadFailed(unsigned notification, PDelayLoadInfo info) {
    char text[200] = "Hertzwerk cannot load ";
    const char* dll = info && info->szDll ? info->szDll : "a system DLL";
    lstrcpynA(text + lstrlenA(text), dll, 64);
    if (notification == dliFailGetProc && info && info->dlp.fImportByName && info->dlp.szProcName) {
        lstrcpynA(text + lstrlenA(text), ": no function ", 16);
        lstrcpynA(text + lstrlenA(text), info->dlp.szProcName, 64);
    }
    FatalAppExitA(0, text);
    return nullptr;
}

}  // namespace

extern "C" {
PfnDliHook __pfnDliFailureHook2 = DelayLoadFailed;
}
