// Prompt through MessageBoxA, titled "Hertzwerk". Before the main window exists the
// boxes have no owner; afterwards they belong to the program's active window (the
// main window, or the TV-out window while that is open).
#pragma once

#include <windows.h>

#include "core/prompt.h"

namespace hzwk::win {

class MessageBoxPrompt : public Prompt {
public:
    void SetMainWindow(HWND main) { main_ = main; }

    Answer Show(const std::string& text, Icon icon, Buttons buttons) override {
        UINT flags = buttons == Buttons::Ok ? MB_OK : MB_YESNO;
        if (buttons == Buttons::YesNoDefaultNo) flags |= MB_DEFBUTTON2;
        if (icon == Icon::Critical) flags |= MB_ICONSTOP;
        if (icon == Icon::Information) flags |= MB_ICONINFORMATION;
        if (icon == Icon::Warning) flags |= MB_ICONWARNING;
        HWND owner = nullptr;
        if (main_ && IsWindow(main_)) {
            HWND active = GetActiveWindow();  // this thread's: always one of ours
            owner = active ? active : main_;
        }
        int pressed = MessageBoxA(owner, text.c_str(), kTitle, flags);
        if (buttons == Buttons::Ok) return Answer::Ok;
        return pressed == IDYES ? Answer::Yes : Answer::No;
    }

private:
    HWND main_ = nullptr;
};

}  // namespace hzwk::win
