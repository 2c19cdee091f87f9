// The set-up window frmD3D: shows D3DSetupForm, and on Go runs the test with the window
// disabled. One object for the program's life, so the test's carried-over state survives
// closing and reopening the window.
#include "ui/d3d_setup_window_win32.h"

#include <exception>
#include <iterator>
#include <string>

#include "d3dtest/d3d_runner_win32.h"
#include "d3dtest/d3d_setup_form.h"
#include "ui/control_ids.h"
#include "ui/resource.h"
#include "win/message_box_prompt_win32.h"
#include "win/window_kit_win32.h"

namespace hzwk {

namespace {

const char kSetupClass[] = "HertzwerkD3DSetup";
D3DRunObserver g_observer = nullptr;
Prompt* g_prompt = nullptr;

constexpr DWORD kCombo = CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;

// Positions in twips; creation order is the tab order.
const win::ControlSpec kControls[] = {
    {"STATIC", kD3DLabel1, SS_LEFT, IDC_D3D_LABEL1, 150, 150, 4500, 240},
    {"COMBOBOX", kResInitialText, kCombo, IDC_CMB_RES, 150, 510, 1650, 3300},
    {"COMBOBOX", kDepthInitialText, kCombo, IDC_CMB_BITRATES, 1920, 510, 1200, 1800},
    {"BUTTON", kGoCaption, BS_DEFPUSHBUTTON | WS_TABSTOP, IDC_CMD_GO, 3240, 495, 840, 345},
    {"BUTTON", kCancelCaption, BS_PUSHBUTTON | WS_TABSTOP, IDC_CMD_CANCEL, 4170, 495, 960, 345},
    {"BUTTON", kOptOnCaption, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, IDC_OPT_ON, 5310, 360,
     1350, 270},
    {"BUTTON", kOptOffCaption, BS_AUTORADIOBUTTON, IDC_OPT_OFF, 5310, 690, 1350, 270},
};
constexpr int kClientWidth = 6780, kClientHeight = 1080;

class D3DSetupWindow : public win::Window {
public:
    void Open(HINSTANCE instance, HWND mainWindow, const Captions& captions);

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void PushToControls();
    void OnGo();
    void OnCancel();
    HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
    Prompt& Messages() { return g_prompt != nullptr ? *g_prompt : prompt_; }

    D3DSetupForm form_;
    RunnerState runner_;
    win::MessageBoxPrompt prompt_;
    HINSTANCE instance_ = nullptr;
    HWND main_ = nullptr;
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
    form_.Load(captions);

    if (main_ != nullptr) EnableWindow(main_, FALSE);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    if (!CreateTopLevel(kSetupClass, HZWK_TITLE_D3D, IDI_HZWK, style, 0, win::TwipsX(kClientWidth),
                        win::TwipsY(kClientHeight), main_, nullptr)) {
        if (main_ != nullptr) EnableWindow(main_, TRUE);
        return;
    }
    win::CreateControls(hwnd_, kControls, std::size(kControls));
    PushToControls();
    win::CentreOver(hwnd_, main_);
    // Message boxes from here belong to this window (or to whichever of ours is active).
    prompt_.SetMainWindow(hwnd_);
    // Tab, Enter (Go is the default button) and arrow keys between the option buttons.
    win::AddModeless(hwnd_);
    ShowWindow(hwnd_, SW_SHOW);
    SetFocus(Item(IDC_CMB_RES));
}

void D3DSetupWindow::PushToControls() {
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
    const bool optOn = SendMessageA(Item(IDC_OPT_ON), BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (!form_.Go(win::GetText(Item(IDC_CMB_RES)), win::GetText(Item(IDC_CMB_BITRATES)), optOn,
                  Messages()))
        return;

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
    form_.RunEnded(outcome, Messages());
}

void D3DSetupWindow::OnCancel() {
    if (!form_.Cancel()) return;
    if (main_ != nullptr) EnableWindow(main_, TRUE);
    DestroyWindow(hwnd_);
}

LRESULT D3DSetupWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (HIWORD(wp) == BN_CLICKED) {
            if (LOWORD(wp) == IDC_CMD_GO) OnGo();
            if (LOWORD(wp) == IDC_CMD_CANCEL) OnCancel();
        }
        return 0;
    case DM_GETDEFID:
        return MAKELRESULT(IDC_CMD_GO, DC_HASDEFID);
    case WM_NEXTDLGCTL:  // Tab and Shift+Tab; Go stays the default button
        win::NextDialogControl(hwnd_, wp, lp);
        return 0;
    case WM_CLOSE:  // the close box works like Cancel
        OnCancel();
        return 0;
    case WM_DESTROY:
        win::RemoveModeless(hwnd_);
        return 0;
    default:
        return Default(msg, wp, lp);
    }
}

}  // namespace

void OpenD3DSetupWindow(HINSTANCE instance, HWND mainWindow, const Captions& captions) {
    try {
        TheWindow().Open(instance, mainWindow, captions);
    } catch (const std::exception& e) {
        win::ReportException(mainWindow, e.what());
    } catch (...) {
        win::ReportException(mainWindow, "Unknown error");
    }
}

void SetD3DRunObserver(D3DRunObserver observer) { g_observer = observer; }
void SetD3DPrompt(Prompt* prompt) { g_prompt = prompt; }

}  // namespace hzwk
