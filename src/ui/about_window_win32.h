// frmAbout: the About window, shown modally over the main window.
#pragma once

#include <windows.h>

#include "os/os.h"

namespace hzwk::win {

void RunAboutWindow(HWND owner, Os& os);

}  // namespace hzwk::win
