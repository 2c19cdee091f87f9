// The full-screen test loop: creates the Direct3D 8 device on the test window, spins the
// square until StopTest is set by a click, and releases everything again.
#pragma once

#include <windows.h>

#include "d3dtest/d3d_setup_form.h"
#include "d3dtest/d3d_report.h"
#include "d3dtest/frame_state.h"

namespace hzwk {

// Set by a click on the test window; cleared by the runner before the first frame.
extern bool StopTest;

// What outlives a run: the set-up window object keeps one of these for the program's life.
struct RunnerState {
    FrameState frame;   // angle, frames, fps, lastTick carry over between runs
    HFONT font = nullptr;  // "Trebuchet MS" 10 pt, created at the first run and reused
};

// True when d3d8.dll loads and exports Direct3DCreate8. Asked before the full-screen test
// window is made, so a PC without DirectX 8 gets its message without a black flash.
bool Direct3D8Available();

// A report of a run of `mode` that has not started yet.
D3DRunReport NewRunReport(const TestMode& mode);

// Runs one test on `testWindow` (the focus and device window). Returns once every
// Direct3D object of the run is released; the caller closes the window.
RunOutcome RunModeTest(HWND testWindow, const TestMode& mode, RunnerState& state,
                       D3DRunReport& report);

// The test window "d3d_hWnd": borderless, covering the screen; a click sets StopTest.
HWND CreateTestWindow(HINSTANCE instance, HWND owner);

}  // namespace hzwk
