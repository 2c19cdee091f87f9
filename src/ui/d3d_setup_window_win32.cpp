// The set-up window frmD3D: shows D3DSetupForm, and on Go runs the test with the window
// disabled. One object for the program's life, so the test's carried-over state survives
// closing and reopening the window.
#include <windows.h>

#include <exception>
#include <string>

#include "d3dtest/d3d_runner_win32.h"
#include "d3dtest/d3d_setup_form.h"
#include "ui/d3d_setup_window_win32.h"
#include "win/control_ids.h"

namespace hzwk {

namespace {

const char kSetupClass[] = "HertzwerkD3DSetup";
D3DRunObserver g_observer = nullptr;

class MessageBoxPrompt : public Prompt {
public:
    explicit MessageBoxPrompt(HWND owner) : owner_(owner) {}
    Answer Show(const std::string& text, Icon icon, Buttons buttons) override {
        UINT type = buttons == Buttons::YesNo ? MB_YESNO : MB_OK;
        if (icon == Icon::Critical) type |= MB_ICONERROR;
        if (icon == Icon::Information) type |= MB_ICONINFORMATION;
        const int r = MessageBoxA(owner_, text.c_str(), kTitle, type);
        if (buttons == Buttons::YesNo) return r == IDYES ? Answer::Yes : Answer::No;
        return Answer::Ok;
    }

private:
    HWND owner_;
};

std::string WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthA(hwnd);
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(hwnd, &text[0], length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

// What escaped an event handler is shown, never dropped.
void ReportException(HWND owner, const char* what) {
    std::string text = "Unexpected error: ";
    text += what != nullptr ? what : "";
    MessageBoxA(owner, text.c_str(), kTitle, MB_OK | MB_ICONSTOP);
}

// Positions and sizes in pixels at 96 dots per inch, scaled to the screen's DPI like the
// Verdana font, so large-font settings do not clip the captions.
struct ControlSpec {
    int id;
    const char* cls;
    const char* text;
    DWORD style;
    int x, y, w, h;
};

// Tab order is creation order.
const ControlSpec kControls[] = {
    {IDC_D3D_LABEL1, "STATIC", kD3DLabel1, SS_LEFT, 10, 10, 300, 16},
    {IDC_CMB_RES, "COMBOBOX", kResInitialText, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 10, 34, 110, 220},
    {IDC_CMB_BITRATES, "COMBOBOX", kDepthInitialText, CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 128, 34, 80, 120},
    {IDC_CMD_GO, "BUTTON", kGoCaption, BS_DEFPUSHBUTTON | WS_TABSTOP, 216, 33, 56, 23},
    {IDC_CMD_CANCEL, "BUTTON", kCancelCaption, BS_PUSHBUTTON | WS_TABSTOP, 278, 33, 64, 23},
    {IDC_OPT_ON, "BUTTON", kOptOnCaption, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 354, 24, 90, 18},
    {IDC_OPT_OFF, "BUTTON", kOptOffCaption, BS_AUTORADIOBUTTON, 354, 46, 90, 18},
};
const int kClientWidth = 452;
const int kClientHeight = 72;

class D3DSetupWindow {
public:
    void Open(HINSTANCE instance, HWND mainWindow, const Captions& captions);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    void OnGo();
    void OnCancel();
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    int ScaleX(int px) const { return MulDiv(px, dpiX_, 96); }
    int ScaleY(int px) const { return MulDiv(px, dpiY_, 96); }

    D3DSetupForm form_;
    RunnerState runner_;
    HINSTANCE instance_ = nullptr;
    HWND hwnd_ = nullptr;
    HWND main_ = nullptr;
    HFONT uiFont_ = nullptr;
    int dpiX_ = 96, dpiY_ = 96;
    HHOOK hook_ = nullptr;
};

// Created at the first open and never destroyed: the runner's state carries over.
D3DSetupWindow& TheWindow() {
    static D3DSetupWindow* window = new D3DSetupWindow();
    return *window;
}

void D3DSetupWindow::Open(HINSTANCE instance, HWND mainWindow, const Captions& captions) {
    if (hwnd_ != nullptr) {
        SetForegroundWindow(hwnd_);
        return;
    }
    instance_ = instance;
    main_ = mainWindow;
    WNDCLASSA wc = {};
    if (!GetClassInfoA(instance, kSetupClass, &wc)) {
        wc.lpfnWndProc = Proc;
        wc.hInstance = instance;
        wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kSetupClass;
        if (RegisterClassA(&wc) == 0) return;
    }
    if (uiFont_ == nullptr) {
        HDC screen = GetDC(nullptr);
        if (screen != nullptr) {
            dpiX_ = GetDeviceCaps(screen, LOGPIXELSX);
            dpiY_ = GetDeviceCaps(screen, LOGPIXELSY);
            ReleaseDC(nullptr, screen);
        }
        if (dpiX_ <= 0) dpiX_ = 96;
        if (dpiY_ <= 0) dpiY_ = 96;
        uiFont_ = CreateFontA(-MulDiv(825, dpiY_, 7200), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                              DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH | FF_SWISS, "Verdana");
    }
    form_.Load(captions);

    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT r = {0, 0, ScaleX(kClientWidth), ScaleY(kClientHeight)};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    const int w = r.right - r.left, h = r.bottom - r.top;
    RECT anchor = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (main_ != nullptr) GetWindowRect(main_, &anchor);
    const int x = anchor.left + ((anchor.right - anchor.left) - w) / 2;
    const int y = anchor.top + ((anchor.bottom - anchor.top) - h) / 2;

    if (main_ != nullptr) EnableWindow(main_, FALSE);
    hwnd_ = CreateWindowExA(0, kSetupClass, HZWK_TITLE_D3D, style, x < 0 ? 0 : x, y < 0 ? 0 : y, w, h,
                            main_, nullptr, instance, this);
    if (hwnd_ == nullptr) {
        if (main_ != nullptr) EnableWindow(main_, TRUE);
        return;
    }
    CreateControls();
    // Tab, Enter (Go is the default button) and arrow keys between the option buttons.
    hook_ = SetWindowsHookExA(WH_GETMESSAGE, KeyboardHook, nullptr, GetCurrentThreadId());
    ShowWindow(hwnd_, SW_SHOW);
    SetFocus(Item(IDC_CMB_RES));
}

void D3DSetupWindow::CreateControls() {
    for (const ControlSpec& c : kControls) {
        HWND child = CreateWindowExA(0, c.cls, c.text, WS_CHILD | WS_VISIBLE | c.style, ScaleX(c.x),
                                     ScaleY(c.y), ScaleX(c.w), ScaleY(c.h),
                                     hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance_,
                                     nullptr);
        if (child != nullptr && uiFont_ != nullptr)
            SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(uiFont_), FALSE);
    }
    // Lists first, then the initial texts, so no entry is selected.
    for (const std::string& s : form_.ResolutionList())
        SendMessageA(Item(IDC_CMB_RES), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    for (const std::string& s : form_.DepthList())
        SendMessageA(Item(IDC_CMB_BITRATES), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    SetWindowTextA(Item(IDC_CMB_RES), kResInitialText);
    SetWindowTextA(Item(IDC_CMB_BITRATES), kDepthInitialText);
    SendMessageA(Item(IDC_OPT_ON), BM_SETCHECK, form_.OptOn() ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageA(Item(IDC_OPT_OFF), BM_SETCHECK, form_.OptOn() ? BST_UNCHECKED : BST_CHECKED, 0);
}

void D3DSetupWindow::OnGo() {
    const std::string res = WindowText(Item(IDC_CMB_RES));
    const std::string depth = WindowText(Item(IDC_CMB_BITRATES));
    const bool optOn = SendMessageA(Item(IDC_OPT_ON), BM_GETCHECK, 0, 0) == BST_CHECKED;
    MessageBoxPrompt prompt(hwnd_);
    if (!form_.Go(res, depth, optOn, prompt)) return;

    // Go and Cancel stay dead until the run is over.
    form_.BeginRun();
    EnableWindow(hwnd_, FALSE);
    D3DRunReport report = NewRunReport(form_.Mode());
    RunOutcome outcome = RunOutcome::Failed;
    HWND test = nullptr;
    if (!Direct3D8Available()) {
        report.noDirect3D = true;  // told before any full-screen window, so no black flash
        outcome = RunOutcome::NoDirect3D;
    } else {
        test = CreateTestWindow(instance_, hwnd_);
        if (test != nullptr) outcome = RunModeTest(test, form_.Mode(), runner_, report);
    }
    // Enabled before the test window goes, so activation comes back here.
    EnableWindow(hwnd_, TRUE);
    if (test != nullptr) DestroyWindow(test);
    SetForegroundWindow(hwnd_);
    if (g_observer != nullptr) g_observer(report);
    form_.RunEnded(outcome, prompt);
}

void D3DSetupWindow::OnCancel() {
    if (!form_.Cancel()) return;
    if (main_ != nullptr) EnableWindow(main_, TRUE);
    DestroyWindow(hwnd_);
}

LRESULT D3DSetupWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            if (LOWORD(wParam) == IDC_CMD_GO) OnGo();
            if (LOWORD(wParam) == IDC_CMD_CANCEL) OnCancel();
        }
        return 0;
    case DM_GETDEFID:
        return MAKELRESULT(IDC_CMD_GO, DC_HASDEFID);
    case WM_CLOSE:  // the close box works like Cancel
        OnCancel();
        return 0;
    case WM_DESTROY:
        if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
        hook_ = nullptr;
        hwnd_ = nullptr;
        return 0;
    default:
        return DefWindowProcA(hwnd_, msg, wParam, lParam);
    }
}

LRESULT CALLBACK D3DSetupWindow::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* self = static_cast<D3DSetupWindow*>(cs->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<D3DSetupWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self == nullptr || self->hwnd_ != hwnd) return DefWindowProcA(hwnd, msg, wParam, lParam);
    try {
        return self->Handle(msg, wParam, lParam);
    } catch (const std::exception& e) {
        ReportException(hwnd, e.what());
    } catch (...) {
        ReportException(hwnd, "Unknown error");
    }
    return 0;
}

LRESULT CALLBACK D3DSetupWindow::KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
    D3DSetupWindow& self = TheWindow();
    if (code == HC_ACTION && wParam == PM_REMOVE && self.hwnd_ != nullptr) {
        MSG* m = reinterpret_cast<MSG*>(lParam);
        if (m->message >= WM_KEYFIRST && m->message <= WM_KEYLAST &&
            (m->hwnd == self.hwnd_ || IsChild(self.hwnd_, m->hwnd)) && IsDialogMessageA(self.hwnd_, m)) {
            m->message = WM_NULL;  // handled: the program's loop sees nothing
            m->wParam = 0;
            m->lParam = 0;
        }
    }
    return CallNextHookEx(self.hook_, code, wParam, lParam);
}

}  // namespace

void OpenD3DSetupWindow(HINSTANCE instance, HWND mainWindow, const Captions& captions) {
    try {
        TheWindow().Open(instance, mainWindow, captions);
    } catch (const std::exception& e) {
        ReportException(mainWindow, e.what());
    } catch (...) {
        ReportException(mainWindow, "Unknown error");
    }
}

void SetD3DRunObserver(D3DRunObserver observer) { g_observer = observer; }

}  // namespace hzwk
