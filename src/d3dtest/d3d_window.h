// The main window's way into the Direct3D test. Kept free of <windows.h>: handles travel
// as void* (HINSTANCE and HWND).
#pragma once

#include <cstdint>

#include "grid/rows.h"

namespace hzwk {

// Shows the set-up window "Hertzwerk VSync Tester" modeless and returns at once. The set-up
// window disables mainWindow while it is open and enables it again when it closes (Cancel
// or its close box). The lists are filled from `captions` as they are now.
void OpenD3DSetupWindow(void* hInstance, void* mainWindow, const Captions& captions);

// What one run of the test did, for the end-to-end harness and the benchmark.
struct D3DRunReport {
    bool ran = false;          // the loop ended on a click, not on a failure
    bool noDirect3D = false;   // d3d8.dll or Direct3DCreate8 missing
    uint32_t framesDrawn = 0;  // frames presented during this run
    uint32_t elapsedMs = 0;    // from the first frame to the end of the loop
    int32_t shownFps = 0;      // the figure on screen when the loop ended
    uint32_t refreshHz = 0;    // the mode's refresh rate as the device reports it (0: unknown)
    uint32_t width = 0, height = 0, depthBits = 0;
    bool vsync = false;
};

// Called after every run, once the test window has closed. Null to stop being told.
using D3DRunObserver = void (*)(const D3DRunReport& report);
void SetD3DRunObserver(D3DRunObserver observer);

}  // namespace hzwk
