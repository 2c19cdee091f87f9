// What the runtime does when something goes wrong outside our own handlers: an exception
// that escapes everything, and a DLL loaded on first use that cannot be loaded.
#include <windows.h>
#include <delayimp.h>

#include <cstdio>
#include <cstdlib>
#include <exception>

// Replaces libstdc++'s handler of the same name, which demangles the exception's type name and
// so links the whole demangler (about 45 KB) into an exe that never shows that name to anyone.
// Same report otherwise, on stderr, then abort(), whose box tells the user the program ended.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    static bool entered = false;
    if (!entered) {
        entered = true;
        std::fputs("terminate called", stderr);
        if (std::exception_ptr current = std::current_exception()) {
            try {
                std::rethrow_exception(current);
            } catch (const std::exception& e) {
                std::fputs(" after throwing an exception: ", stderr);
                std::fputs(e.what(), stderr);
            } catch (...) {
                std::fputs(" after throwing an exception of unknown type", stderr);
            }
        }
        std::fputs("\n", stderr);
    }
    std::abort();
}
}  // namespace __gnu_cxx

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
