// Opens the Direct3D set-up window over a stand-in main window, as the main window's
// "&Direct3D Testing..." command will. Writes one line per finished run, and "closed" once
// the set-up window has enabled the main window again, to the file given with --report.
// With --stop-after, each run ends by itself that many ms after its test window appears, as
// a click would end it (a list is used in turn, run by run): a benchmark then runs nothing
// else while the test runs.
//   hzwkd3dtry.exe [--report <file>] [--stop-after <ms>[,<ms>]...]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "d3dtest/d3d_runner_win32.h"
#include "d3dtest/d3d_titles.h"
#include "ui/d3d_setup_window_win32.h"
#include "win/win32_util_win32.h"

namespace {

std::string g_reportPath;
std::vector<UINT> g_stopAfterMs;
size_t g_runsStarted = 0;
HHOOK g_cbtHook = nullptr;

void CALLBACK StopTestNow(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    hzwk::StopTest = true;  // what a click on the test window does
}

// Arms the stop when the test window is created; the test loop's message pump runs the timer.
LRESULT CALLBACK WatchTestWindow(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTA* cs = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        if (cs->lpszName != nullptr && !IS_INTRESOURCE(cs->lpszName) &&
            std::strcmp(cs->lpszName, HZWK_TITLE_D3D_TEST) == 0) {
            SetTimer(nullptr, 0, g_stopAfterMs[g_runsStarted++ % g_stopAfterMs.size()], StopTestNow);
        }
    }
    return CallNextHookEx(g_cbtHook, code, wParam, lParam);
}

void Append(const std::string& line) {
    if (g_reportPath.empty()) return;
    FILE* f = std::fopen(g_reportPath.c_str(), "ab");
    if (f == nullptr) return;
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
}

void OnRun(const hzwk::D3DRunReport& r) {
    char line[256];
    std::snprintf(line, sizeof line,
                  "run ran=%d noD3D=%d mode=%ux%ux%u vsync=%d frames=%u ms=%u shownFps=%d refresh=%u",
                  r.ran ? 1 : 0, r.noDirect3D ? 1 : 0, r.width, r.height, r.depthBits, r.vsync ? 1 : 0,
                  r.framesDrawn, r.elapsedMs, static_cast<int>(r.shownFps), r.refreshHz);
    Append(line);
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ENABLE && wParam) {  // the set-up window has closed
        Append("closed");
        PostQuitMessage(0);
        return 0;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    hzwk::Captions captions;
    captions.fill("60");
    for (int i = 1; i < __argc; ++i) {
        if (std::strcmp(__argv[i], "--report") == 0 && i + 1 < __argc) g_reportPath = __argv[++i];
        else if (std::strcmp(__argv[i], "--stop-after") == 0 && i + 1 < __argc) {
            for (char* ms = std::strtok(__argv[++i], ","); ms != nullptr; ms = std::strtok(nullptr, ","))
                if (std::atoi(ms) > 0) g_stopAfterMs.push_back(static_cast<UINT>(std::atoi(ms)));
        }
    }
    if (!g_stopAfterMs.empty())
        g_cbtHook = SetWindowsHookExA(WH_CBT, WatchTestWindow, nullptr, GetCurrentThreadId());
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "HzwkD3DTryMain";
    RegisterClassA(&wc);
    HWND main = CreateWindowA("HzwkD3DTryMain", "hzwkd3dtry main", WS_OVERLAPPEDWINDOW, 20, 20, 500, 300,
                              nullptr, nullptr, instance, nullptr);
    ShowWindow(main, show);
    hzwk::SetD3DRunObserver(OnRun);
    hzwk::OpenD3DSetupWindow(instance, main, captions);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (hzwk::win::ModelessDialogMessage(&msg)) continue;  // the set-up window's keys
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
