// frmTVORes: the TV-out window, shown modally over the main window.
#pragma once

#include <windows.h>

#include "core/prompt.h"
#include "registry/registry_port.h"

namespace hzwk::win {

// Runs the window until OK stores the values; returns true then (always, unless the
// window could not be created or the program is quitting).
bool RunTvOutWindow(HWND owner, RegistryAccess& registry, Prompt& prompt);

}  // namespace hzwk::win
