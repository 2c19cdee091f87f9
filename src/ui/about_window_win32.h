// frmAbout: the About window, shown modally over the main window.
#pragma once

#include <windows.h>

#include "os/win32_os.h"

namespace hzwk::win {

void RunAboutWindow(HWND owner, Win32Os& os);

}  // namespace hzwk::win
