// The main window's way into the Direct3D test: the set-up window frmD3D.
#pragma once

#include <windows.h>

#include "core/prompt.h"
#include "d3dtest/d3d_report.h"
#include "grid/rows.h"

namespace hzwk {

// Shows the set-up window "Hertzwerk VSync Tester" modeless and returns at once. The set-up
// window disables mainWindow while it is open and enables it again when it closes (Cancel
// or its close box). The lists are filled from `captions` as they are now.
void OpenD3DSetupWindow(HINSTANCE instance, HWND mainWindow, const Captions& captions);

// Called after every run, once the test window has closed. Null to stop being told.
using D3DRunObserver = void (*)(const D3DRunReport& report);
void SetD3DRunObserver(D3DRunObserver observer);

// Who answers the set-up window's messages: null (the default) for message boxes.
void SetD3DPrompt(Prompt* prompt);

}  // namespace hzwk
