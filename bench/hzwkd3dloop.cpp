// The Direct3D test's own loop for the benchmark, without the set-up window: the program's
// runner in the mode given, a 1 s warm-up run (the first run draws the font's glyphs) and then
// a run of SECONDS, each ended by a timer as a click would end it. Prints the second run's
// "loop ran=<0|1> frames=<n> ms=<t> shownFps=<f> refresh=<hz>".
//   hzwkd3dloop.exe <width> <height> <16|32> <on|off> <seconds>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "d3dtest/d3d_runner_win32.h"

namespace {

void CALLBACK StopNow(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    hzwk::StopTest = true;  // what a click on the test window does
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: hzwkd3dloop <width> <height> <16|32> <on|off> <seconds>\n");
        return 2;
    }
    hzwk::TestMode mode;
    mode.width = static_cast<int16_t>(std::atoi(argv[1]));
    mode.height = static_cast<int16_t>(std::atoi(argv[2]));
    mode.depthBits = std::atoi(argv[3]) == 16 ? 16 : 32;
    mode.format = mode.depthBits == 16 ? 23 : 22;  // D3DFMT_R5G6B5, D3DFMT_X8R8G8B8
    mode.vsync = std::strcmp(argv[4], "on") == 0;
    if (!hzwk::Direct3D8Available()) {
        std::fprintf(stderr, "no Direct3D 8\n");
        return 3;
    }
    hzwk::RunnerState state;  // carried over between runs, as in the set-up window
    hzwk::D3DRunReport r;
    for (UINT ms : {1000u, static_cast<UINT>(std::atoi(argv[5])) * 1000}) {
        HWND window = hzwk::CreateTestWindow(GetModuleHandleA(nullptr), nullptr);
        if (window == nullptr) return 3;
        SetTimer(nullptr, 0, ms, StopNow);
        hzwk::RunModeTest(window, mode, state, r);
        DestroyWindow(window);
    }
    std::printf("loop ran=%d frames=%u ms=%u shownFps=%d refresh=%u\n", r.ran ? 1 : 0, r.framesDrawn,
                r.elapsedMs, static_cast<int>(r.shownFps), r.refreshHz);
    return r.ran ? 0 : 4;
}
