#include "win/window_kit_win32.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "core/prompt.h"

namespace hzwk::win {

HWND Window::CreateTopLevel(const char* className, const char* title, int iconId, DWORD style,
                            DWORD exStyle, int clientWidth, int clientHeight, HWND owner,
                            HMENU menu) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    // cbSize set before the look-up too: a class found registered must not be registered
    // again, which would load a fresh small icon at every opening of the window.
    WNDCLASSEXA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExA(instance, className, &wc)) {
        ZeroMemory(&wc, sizeof wc);
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &Window::Trampoline;
        wc.hInstance = instance;
        wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(iconId));
        wc.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(iconId),
                                                   IMAGE_ICON, 16, 16, 0));
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = className;
        RegisterClassExA(&wc);
    }
    RECT r = {0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&r, style, menu != nullptr, exStyle);
    return CreateWindowExA(exStyle, className, title, style, CW_USEDEFAULT, CW_USEDEFAULT,
                           r.right - r.left, r.bottom - r.top, owner, menu, instance, this);
}

LRESULT CALLBACK Window::Trampoline(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Window* self;
    if (msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
    try {
        LRESULT result = self->HandleMessage(msg, wp, lp);
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
        }
        return result;
    } catch (const std::exception& e) {
        ReportException(hwnd, e.what());
    } catch (...) {
        ReportException(hwnd, "Unknown error");
    }
    return 0;
}

void ReportException(HWND owner, const char* what) {
    std::string text = "Unexpected error: ";
    text += what ? what : "";
    MessageBoxA(owner, text.c_str(), kTitle, MB_OK | MB_ICONSTOP);
}

namespace {

int ScreenDpi(int index) {
    static int dpi[2] = {0, 0};
    int& slot = dpi[index == LOGPIXELSX ? 0 : 1];
    if (slot == 0) {
        HDC dc = GetDC(nullptr);
        slot = dc ? GetDeviceCaps(dc, index) : 96;
        if (dc) ReleaseDC(nullptr, dc);
        if (slot <= 0) slot = 96;
    }
    return slot;
}

HFONT MakeVerdana(int weight) {
    // 8.25 pt = 825 / 100 pt; the height is negative so it names the character height.
    int height = -MulDiv(825, ScreenDpi(LOGPIXELSY), 7200);
    HFONT font = CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_SWISS, "Verdana");
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace

int TwipsX(int twips) { return MulDiv(twips, ScreenDpi(LOGPIXELSX), 1440); }
int TwipsY(int twips) { return MulDiv(twips, ScreenDpi(LOGPIXELSY), 1440); }

HFONT DialogFont() {
    static HFONT font = MakeVerdana(FW_NORMAL);
    return font;
}

HFONT DialogBoldFont() {
    static HFONT font = MakeVerdana(FW_BOLD);
    return font;
}

HWND CreateControl(HWND parent, const ControlSpec& s) {
    // Text boxes get the sunken frame of the system's dialogs.
    DWORD exStyle = lstrcmpiA(s.className, "EDIT") == 0 ? WS_EX_CLIENTEDGE : 0;
    HWND control = CreateWindowExA(exStyle, s.className, s.text, WS_CHILD | WS_VISIBLE | s.style,
                                   TwipsX(s.left), TwipsY(s.top), TwipsX(s.width),
                                   TwipsY(s.height), parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(s.id)),
                                   GetModuleHandleA(nullptr), nullptr);
    if (control) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(DialogFont()), FALSE);
    return control;
}

void CreateControls(HWND parent, const ControlSpec* specs, size_t count) {
    for (size_t i = 0; i < count; ++i) CreateControl(parent, specs[i]);
}

std::string GetText(HWND control) {
    int length = GetWindowTextLengthA(control);
    if (length <= 0) return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    int got = GetWindowTextA(control, buffer.data(), length + 1);
    return std::string(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

void SetTextIfDifferent(HWND control, const std::string& text) {
    if (control && GetText(control) != text) SetWindowTextA(control, text.c_str());
}

void SetEnabledIfDifferent(HWND control, bool enabled) {
    if (control && (IsWindowEnabled(control) != FALSE) != enabled) EnableWindow(control, enabled);
}

namespace {

bool IsPushButton(HWND control) {
    char cls[16] = {};
    if (!control || !GetClassNameA(control, cls, sizeof cls) || lstrcmpiA(cls, "Button") != 0)
        return false;
    LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

void SetButtonDefault(HWND button, bool isDefault) {
    if (!IsPushButton(button)) return;
    LONG type = GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK;
    LONG wanted = isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if (type != wanted) SendMessageA(button, BM_SETSTYLE, static_cast<WPARAM>(wanted), TRUE);
}

}  // namespace

void NextDialogControl(HWND dialog, WPARAM wp, LPARAM lp) {
    HWND target;
    if (LOWORD(lp)) {
        target = reinterpret_cast<HWND>(wp);
    } else {
        HWND focus = GetFocus();
        if (!focus || !IsChild(dialog, focus)) focus = nullptr;
        target = GetNextDlgTabItem(dialog, focus, wp != 0);
    }
    if (target) {
        SetFocus(target);
        char cls[8] = {};
        if (GetClassNameA(target, cls, sizeof cls) && lstrcmpiA(cls, "Edit") == 0)
            SendMessageA(target, EM_SETSEL, 0, -1);
    }
}

void DialogKeys::SetDefaultId(HWND dialog, int id) {
    defaultId_ = id;
    UpdateDefaultLook(dialog);
}

// Like the dialog manager: a focused push button is the default; otherwise the chosen one.
void DialogKeys::UpdateDefaultLook(HWND dialog) {
    HWND focus = GetFocus();
    bool focusIsButton = focus && IsChild(dialog, focus) && IsPushButton(focus);
    HWND chosen = focusIsButton ? focus : (defaultId_ ? GetDlgItem(dialog, defaultId_) : nullptr);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        SetButtonDefault(child, child == chosen);
}

bool DialogKeys::Handle(HWND dialog, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    switch (msg) {
    case DM_GETDEFID: {
        HWND focus = GetFocus();
        int id = (focus && IsChild(dialog, focus) && IsPushButton(focus)) ? GetDlgCtrlID(focus)
                                                                          : defaultId_;
        *result = id ? MAKELRESULT(id, DC_HASDEFID) : 0;
        return true;
    }
    case WM_NEXTDLGCTL: {
        NextDialogControl(dialog, wp, lp);
        UpdateDefaultLook(dialog);
        *result = 0;
        return true;
    }
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(dialog, focus)) savedFocus_ = focus;
        } else {
            HWND target = (savedFocus_ && IsWindow(savedFocus_) && IsChild(dialog, savedFocus_))
                              ? savedFocus_
                              : GetNextDlgTabItem(dialog, nullptr, FALSE);
            if (target) SetFocus(target);
        }
        *result = 0;
        return true;
    default:
        return false;
    }
}

namespace {

std::vector<HWND>& ModelessWindows() {
    static std::vector<HWND> windows;
    return windows;
}

}  // namespace

void AddModeless(HWND window) {
    if (window) ModelessWindows().push_back(window);
}

void RemoveModeless(HWND window) {
    std::vector<HWND>& windows = ModelessWindows();
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
}

bool ModelessDialogMessage(MSG* msg) {
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return false;
    // By index: a key can close its window, which then leaves the list.
    const std::vector<HWND>& windows = ModelessWindows();
    for (size_t i = 0; i < windows.size(); ++i)
        if (IsDialogMessageA(windows[i], msg)) return true;
    return false;
}

void RunModalLoop(HWND owner, HWND dialog, const bool* done) {
    if (owner) EnableWindow(owner, FALSE);
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    bool quit = false;
    int quitCode = 0;
    MSG msg;
    while (!*done && IsWindow(dialog)) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            quitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (got == -1) break;
        if (!IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    // Enable the owner before the dialog goes, so the owner is activated, not another program.
    if (owner) {
        EnableWindow(owner, TRUE);
        SetActiveWindow(owner);
    }
    if (quit) PostQuitMessage(quitCode);
}

void CentreOver(HWND window, HWND over) {
    RECT w, o;
    GetWindowRect(window, &w);
    if (over) {
        GetWindowRect(over, &o);
    } else {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &o, 0);
    }
    int x = o.left + ((o.right - o.left) - (w.right - w.left)) / 2;
    int y = o.top + ((o.bottom - o.top) - (w.bottom - w.top)) / 2;
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool LoadCommonControls() {
    // By name, so that on XP the manifest's request for version 6 applies.
    HMODULE comctl = LoadLibraryA("comctl32.dll");
    if (comctl == nullptr) return false;
    using InitFn = void(WINAPI*)();
    const auto init = reinterpret_cast<InitFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(comctl, "InitCommonControls")));
    if (init != nullptr) init();
    return true;
}

}  // namespace hzwk::win
