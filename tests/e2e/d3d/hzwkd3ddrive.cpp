// Drives the Direct3D set-up window from outside the process with posted messages, the way
// a user would click. One command per call; prints what it reads; exit status 0 on success.
//   wait <title> <ms>           a visible top-level window with this title appears
//   gone <title> <ms>           no such window is left
//   settext <title> <id> <text> sets a control's text (the combo boxes' edit text)
//   click <title> <id>          posts BM_CLICK to a button
//   checked <title> <id>        prints 1 when the button is checked, else 0
//   enabled <title>             prints 1 when the window is enabled, else 0
//   lclick <title>              posts a left click to the window's middle
//   close <title>               posts WM_CLOSE
//   deactivate <title>          posts WM_ACTIVATEAPP (inactive), as when another program
//                               takes the screen: a full-screen device is lost
//   msgbox <ms>                 waits for a "Hertzwerk" message box, prints its text, presses OK
//   nomsgbox                    fails when a "Hertzwerk" message box is open
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "win/control_ids.h"

namespace {

HWND FindVisible(const char* title) {
    HWND w = nullptr;
    while ((w = FindWindowExA(nullptr, w, nullptr, title)) != nullptr)
        if (IsWindowVisible(w)) return w;
    return nullptr;
}

HWND WaitFor(const char* title, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND w = FindVisible(title);
        if (w != nullptr || GetTickCount() - start >= ms) return w;
        Sleep(50);
    }
}

HWND FindMessageBox() {
    HWND w = nullptr;
    while ((w = FindWindowExA(nullptr, w, "#32770", HZWK_TITLE_BOX)) != nullptr)
        if (IsWindowVisible(w)) return w;
    return nullptr;
}

int Fail(const char* what) {
    std::fprintf(stderr, "hzwkd3ddrive: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Fail("no command");
    const std::string cmd = argv[1];
    if (cmd == "wait" && argc == 4) return WaitFor(argv[2], std::strtoul(argv[3], nullptr, 10)) ? 0 : Fail("window not found");
    if (cmd == "gone" && argc == 4) {
        const DWORD start = GetTickCount(), ms = std::strtoul(argv[3], nullptr, 10);
        while (FindVisible(argv[2]) != nullptr || FindWindowA(nullptr, argv[2]) != nullptr) {
            if (GetTickCount() - start >= ms) return Fail("window still there");
            Sleep(50);
        }
        return 0;
    }
    if (cmd == "msgbox" && argc == 3) {
        const DWORD start = GetTickCount(), ms = std::strtoul(argv[2], nullptr, 10);
        HWND box;
        while ((box = FindMessageBox()) == nullptr) {
            if (GetTickCount() - start >= ms) return Fail("no message box");
            Sleep(50);
        }
        char text[512] = {};
        GetDlgItemTextA(box, IDC_MSGBOX_TEXT, text, sizeof text);
        std::printf("%s\n", text);
        HWND ok = GetDlgItem(box, IDOK);
        if (ok == nullptr) ok = FindWindowExA(box, nullptr, "Button", nullptr);
        if (ok == nullptr) return Fail("message box without a button");
        PostMessageA(ok, BM_CLICK, 0, 0);
        return 0;
    }
    if (cmd == "nomsgbox") return FindMessageBox() == nullptr ? 0 : Fail("a message box is open");
    if (argc < 3) return Fail("missing window title");
    HWND w = FindVisible(argv[2]);
    if (w == nullptr) return Fail("window not found");
    if (cmd == "enabled") {
        std::printf("%d\n", IsWindowEnabled(w) ? 1 : 0);
        return 0;
    }
    if (cmd == "close") return PostMessageA(w, WM_CLOSE, 0, 0) ? 0 : Fail("PostMessage");
    if (cmd == "deactivate") return PostMessageA(w, WM_ACTIVATEAPP, FALSE, 0) ? 0 : Fail("PostMessage");
    if (cmd == "lclick") {
        RECT r = {};
        GetClientRect(w, &r);
        const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
        PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(w, WM_LBUTTONUP, 0, at);
        return 0;
    }
    if (argc < 4) return Fail("missing control id");
    HWND item = GetDlgItem(w, std::atoi(argv[3]));
    if (item == nullptr) return Fail("control not found");
    if (cmd == "settext" && argc == 5) return SendMessageA(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4])) ? 0 : Fail("WM_SETTEXT");
    if (cmd == "click") return PostMessageA(item, BM_CLICK, 0, 0) ? 0 : Fail("PostMessage");
    if (cmd == "checked") {
        std::printf("%d\n", SendMessageA(item, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
        return 0;
    }
    return Fail("unknown command");
}
