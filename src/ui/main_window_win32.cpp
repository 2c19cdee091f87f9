#include "ui/main_window_win32.h"

#include <iterator>

#include "ui/d3d_setup_window_win32.h"
#include "grid/rows.h"
#include "ui/tvout_window_win32.h"
#include "ui/about_window_win32.h"
#include "ui/control_ids.h"
#include "ui/resource.h"

namespace hzwk::win {

namespace {

const char kClassName[] = "HertzwerkMain";

// Client area in twips: the layout's right edge (5415) and bottom (5445) plus a margin.
constexpr int kClientWidth = 5535;
constexpr int kClientHeight = 5565;

// Row geometry: the left half, then the right half 3000 twips further.
constexpr int kRowTop = 1320, kRowPitch = 240, kHalfOffset = 3000;
constexpr int kLabelHeight = 195, kStepperHeight = 255;

constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
// A label beside a taller control: same top, same height, text centred on the control's line.
constexpr DWORD kLineLabel = kLabel | SS_CENTERIMAGE;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;

// Everything but the rows and the calculator's up-down, in tab order where it matters.
const ControlSpec kFixedControls[] = {
    {"STATIC", "Device:", kLabel, IDC_LABEL1, 240, 120, 840, kLabelHeight},
    {"STATIC", "", kLabel, IDC_LBL_ADAPTERS, 1080, 120, 4095, kLabelHeight},
    {"STATIC", "OS:", kLabel, IDC_LABEL4, 240, 360, 480, kLabelHeight},
    {"STATIC", "", kLabel, IDC_LBL_OS, 720, 360, 4455, kLabelHeight},
    {"STATIC", "Detonators:", kLabel, IDC_LABEL5, 240, 600, 1080, kLabelHeight},
    {"STATIC", "", kLabel, IDC_LBL_DETVERSION, 1320, 600, 3855, kLabelHeight},
    {"STATIC", "Resolution", kLabel, IDC_HEADERS + 0, 120, 1080, 1215, kLabelHeight},
    {"STATIC", "Hz", kLabel, IDC_HEADERS + 1, 1320, 1080, 495, kLabelHeight},
    {"STATIC", "Resolution", kLabel, IDC_HEADERS + 2, 3120, 1080, 1215, kLabelHeight},
    {"STATIC", "Hz", kLabel, IDC_HEADERS + 3, 4320, 1080, 495, kLabelHeight},
    {"STATIC", "", SS_ETCHEDVERT, IDC_LINE1, 2760, 1080, 30, 3120},
    {"STATIC", "", kLabel, IDC_LABEL50, 120, 4320, 5295, 255},
    {"BUTTON", "Apply", kButton, IDC_CMD_APPLY, 120, 4680, 1815, 375},
    {"BUTTON", "Set Defaults", kButton, IDC_CMD_RESET, 2040, 4680, 1335, 375},
    {"BUTTON", "Advanced Mode", BS_AUTOCHECKBOX | WS_TABSTOP, IDC_CHECK1, 3480, 4680, 1935, 375},
    {"EDIT", "", ES_AUTOHSCROLL | WS_TABSTOP, IDC_TEXT1, 120, 5160, 720, 285},
    {UPDOWN_CLASSA, "", UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, IDC_UPDOWN24,
     840, 5160, 255, 285},
    {"STATIC", "kHz", kLineLabel, IDC_LABEL57, 1080, 5160, 375, 285},
    {"BUTTON", "Set", kButton, IDC_CMD_CALC, 1560, 5160, 2535, 285},
    {"BUTTON", "Reset", kButton, IDC_CMD_CALCDEF, 4200, 5160, 1215, 285},
};

struct MenuItem {
    int id;  // 0 opens a new pop-up menu
    const char* caption;
};

const MenuItem kMenu[] = {
    {0, "&File"},    {IDM_EXIT, "&Exit"},
    {0, "&Extras"},  {IDM_LOAD, "&Load on Windows Start"},
    {IDM_TVORES, "&TV-Out Resolutions..."}, {IDM_D3DTEST, "&Direct3D Testing..."},
    {0, "&Help"},    {IDM_TOPICS, "&Topics..."}, {IDM_ABOUT, "&About..."},
};

HMENU BuildMenu() {
    HMENU bar = CreateMenu();
    HMENU popup = nullptr;
    const char* popupCaption = nullptr;
    auto flush = [&] {
        if (popup) AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), popupCaption);
    };
    for (const MenuItem& item : kMenu) {
        if (item.id == 0) {
            flush();
            popup = CreatePopupMenu();
            popupCaption = item.caption;
        } else {
            AppendMenuA(popup, MF_STRING, static_cast<UINT_PTR>(item.id), item.caption);
        }
    }
    flush();
    return bar;
}

int StepperRow(int controlId) {
    int row = controlId - IDC_ROW_STEPPER;
    return row >= 0 && row < kRowCount ? row : -1;
}

// The rows' up-downs have no buddy, so on their own they neither handle the arrow keys nor
// show that they have the focus. Subclassed, they do both: an arrow key is reported to the
// window exactly as a click on that arrow is, so the row's change rule runs as for a click.
WNDPROC g_upDownProc = nullptr;  // every row's up-down has the same class procedure

void StepLikeAClick(HWND upDown, int delta) {
    const LRESULT range = SendMessageA(upDown, UDM_GETRANGE, 0, 0);
    const int a = static_cast<short>(LOWORD(range)), b = static_cast<short>(HIWORD(range));
    const int low = a < b ? a : b, high = a < b ? b : a;
    int position = static_cast<short>(LOWORD(SendMessageA(upDown, UDM_GETPOS, 0, 0))) + delta;
    // At either end a click reports the end again; so does the key.
    if (position < low) position = low;
    if (position > high) position = high;
    const UINT scroll = (GetWindowLongA(upDown, GWL_STYLE) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL;
    HWND parent = GetParent(upDown);
    const LPARAM from = reinterpret_cast<LPARAM>(upDown);
    SendMessageA(parent, scroll, MAKEWPARAM(SB_THUMBPOSITION, position), from);
    SendMessageA(parent, scroll, MAKEWPARAM(SB_ENDSCROLL, position), from);
}

// The dotted focus rectangle over the up-down, drawn after the control has painted itself
// and only where it painted, so the XOR rectangle never cancels itself out.
LRESULT PaintWithFocusCue(HWND upDown, WPARAM wp, LPARAM lp) {
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    if (update && wp == 0 && GetUpdateRgn(upDown, update, FALSE) == ERROR) {
        DeleteObject(update);
        update = nullptr;
    }
    const LRESULT result = CallWindowProcA(g_upDownProc, upDown, WM_PAINT, wp, lp);
    HDC dc = wp != 0 ? reinterpret_cast<HDC>(wp) : GetDC(upDown);
    if (dc) {
        if (wp == 0 && update) SelectClipRgn(dc, update);
        RECT r;
        GetClientRect(upDown, &r);
        InflateRect(&r, -2, -2);
        DrawFocusRect(dc, &r);
        if (wp == 0) ReleaseDC(upDown, dc);
    }
    if (update) DeleteObject(update);
    return result;
}

LRESULT CALLBACK StepperProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_GETDLGCODE:
        // The arrow keys are ours, not the dialog manager's moves between controls.
        return CallWindowProcA(g_upDownProc, hwnd, msg, wp, lp) | DLGC_WANTARROWS;
    case WM_KEYDOWN:
        if (wp == VK_RIGHT || wp == VK_UP || wp == VK_LEFT || wp == VK_DOWN) {
            if (IsWindowEnabled(hwnd)) StepLikeAClick(hwnd, (wp == VK_RIGHT || wp == VK_UP) ? 1 : -1);
            return 0;
        }
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE: {
        const LRESULT result = CallWindowProcA(g_upDownProc, hwnd, msg, wp, lp);
        InvalidateRect(hwnd, nullptr, TRUE);
        return result;
    }
    case WM_PAINT:
        // Like the buttons: no cue while Windows hides them for mouse users.
        if (GetFocus() == hwnd && !(SendMessageA(hwnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS))
            return PaintWithFocusCue(hwnd, wp, lp);
        break;
    default:
        break;
    }
    return CallWindowProcA(g_upDownProc, hwnd, msg, wp, lp);
}

void TakeKeys(HWND upDown) {
    if (!upDown) return;
    const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(upDown, GWLP_WNDPROC));
    if (!previous || previous == &StepperProc) return;
    if (!g_upDownProc) g_upDownProc = previous;
    if (previous != g_upDownProc) return;  // another class: leave it as it is
    SetWindowLongPtrA(upDown, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StepperProc));
}

}  // namespace

bool MainWindow::Create(int showCommand) {
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    if (!CreateTopLevel(kClassName, HZWK_TITLE_MAIN, IDI_HZWK, style, WS_EX_CONTROLPARENT,
                        TwipsX(kClientWidth), TwipsY(kClientHeight), nullptr, BuildMenu()))
        return false;
    prompt_.SetMainWindow(hwnd_);
    CreateChildren();
    SyncFromModel();
    CentreOver(hwnd_, nullptr);
    ShowWindow(hwnd_, showCommand);
    UpdateWindow(hwnd_);
    return true;
}

void MainWindow::CreateChildren() {
    // The rows first, in the window's order: resolution label, caption label, stepper. So
    // Tab goes through the steppers line by line, left half then right, before the buttons.
    for (int i = 0; i < kRowCount; ++i) {
        int row = kDisplayOrder[static_cast<std::size_t>(i)];
        bool right = i >= kLeftRows;
        int line = right ? i - kLeftRows : i;
        int top = kRowTop + kRowPitch * line;
        int dx = right ? kHalfOffset : 0;
        CreateControl(hwnd_, {"STATIC", kRows[RowIndex(row)].resolutionText, kLineLabel,
                              IDC_ROW_RESOLUTION + row, 120 + dx, top, 1215, kStepperHeight});
        CreateControl(hwnd_, {"STATIC", "", kLineLabel, IDC_ROW_CAPTION + row, 1320 + dx, top,
                              495, kStepperHeight});
        HWND stepper = CreateControl(hwnd_, {UPDOWN_CLASSA, "", UDS_HORZ | WS_TABSTOP,
                                             IDC_ROW_STEPPER + row, 1920 + dx, top, 375,
                                             kStepperHeight});
        TakeKeys(stepper);
        SendMessageA(stepper, UDM_SETRANGE, 0, MAKELPARAM(kRows[RowIndex(row)].stepperMax, 0));
        SendMessageA(stepper, UDM_SETPOS, 0, MAKELPARAM(0, 0));
    }
    CreateControls(hwnd_, kFixedControls, std::size(kFixedControls));

    HWND text1 = GetDlgItem(hwnd_, IDC_TEXT1);
    HWND upDown24 = GetDlgItem(hwnd_, IDC_UPDOWN24);
    SendMessageA(upDown24, UDM_SETBUDDY, reinterpret_cast<WPARAM>(text1), 0);
    SendMessageA(upDown24, UDM_SETRANGE, 0, MAKELPARAM(150, 0));
}

int MainWindow::Run() {
    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) break;
        // Tab and Enter as in a dialog, here and in a modeless window open over this one
        // (the Direct3D set-up window). The TV-out and About windows run loops of their own.
        if (ModelessDialogMessage(&msg) || IsDialogMessageA(hwnd_, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result;
    if (keys_.Handle(hwnd_, msg, wp, lp, &result)) return result;
    switch (msg) {
    case WM_COMMAND:
        OnCommand(LOWORD(wp), HIWORD(wp));
        return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (lp) OnStepper(reinterpret_cast<HWND>(lp), LOWORD(wp), static_cast<short>(HIWORD(wp)));
        return 0;
    case WM_CLOSE:
        // The close box ends the program like File > Exit.
        DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return Default(msg, wp, lp);
    }
}

void MainWindow::OnCommand(int id, int code) {
    if (syncing_) return;
    switch (id) {
    case IDM_EXIT: DestroyWindow(hwnd_); return;
    case IDM_LOAD: form_.MnuLoadClick(); break;
    case IDM_TVORES:
        if (RunTvOutWindow(hwnd_, registry_, prompt_)) form_.TvOutStored();
        break;
    case IDM_D3DTEST:
        // Modeless: the set-up window disables this one itself and returns at once.
        OpenD3DSetupWindow(GetModuleHandleA(nullptr), hwnd_, form_.CaptionsNow());
        return;
    case IDM_TOPICS: form_.MnuTopicsClick(); return;
    case IDM_ABOUT: RunAboutWindow(hwnd_, os_); return;
    case IDC_CMD_APPLY: if (code == BN_CLICKED) form_.CmdApplyClick(); break;
    case IDC_CMD_RESET: if (code == BN_CLICKED) form_.CmdResetClick(); break;
    case IDC_CHECK1: if (code == BN_CLICKED) form_.Check1Click(); break;
    case IDC_CMD_CALC: if (code == BN_CLICKED) form_.CmdCalcClick(); break;
    case IDC_CMD_CALCDEF: if (code == BN_CLICKED) form_.CmdCalcDefClick(); break;
    case IDC_TEXT1:
        if (code != EN_CHANGE) return;
        form_.Text1Changed(GetText(GetDlgItem(hwnd_, IDC_TEXT1)));
        break;
    default: return;
    }
    if (IsWindow(hwnd_)) SyncFromModel();
}

// An up-down reports its new position with SB_THUMBPOSITION; SB_ENDSCROLL follows.
void MainWindow::OnStepper(HWND stepper, int scrollCode, int position) {
    if (syncing_ || scrollCode != SB_THUMBPOSITION) return;
    int id = GetDlgCtrlID(stepper);
    if (id == IDC_UPDOWN24) {
        form_.UpDown24Changed(position);
        syncedUpDown24_ = form_.upDown24Position;
    } else if (int row = StepperRow(id); row >= 0) {
        form_.StepperChanged(row, position);
    } else {
        return;
    }
    SyncFromModel();
}

void MainWindow::SyncFromModel() {
    syncing_ = true;
    auto item = [this](int id) { return GetDlgItem(hwnd_, id); };
    SetTextIfDifferent(item(IDC_LBL_ADAPTERS), form_.lblAdapters);
    SetTextIfDifferent(item(IDC_LBL_OS), form_.lblOS);
    SetTextIfDifferent(item(IDC_LBL_DETVERSION), form_.lblDetVersion);
    SetTextIfDifferent(item(IDC_LABEL50), form_.label50);

    for (int row = 0; row < kRowCount; ++row) {
        const GridRow& model = form_.grid.Row(row);
        SetTextIfDifferent(item(IDC_ROW_CAPTION + row), model.caption);
        HWND stepper = item(IDC_ROW_STEPPER + row);
        SetEnabledIfDifferent(stepper, model.enabled);
        int position = model.position;
        if (position < 0) position = 0;
        if (position > kRows[RowIndex(row)].stepperMax) position = kRows[RowIndex(row)].stepperMax;
        if (static_cast<short>(LOWORD(SendMessageA(stepper, UDM_GETPOS, 0, 0))) != position)
            SendMessageA(stepper, UDM_SETPOS, 0, MAKELPARAM(position, 0));
    }

    SetEnabledIfDifferent(item(IDC_CMD_CALC), form_.cmdCalcEnabled);
    SetEnabledIfDifferent(item(IDC_TEXT1), form_.text1Enabled);
    SetEnabledIfDifferent(item(IDC_CMD_CALCDEF), form_.cmdCalcDefEnabled);
    SetEnabledIfDifferent(item(IDC_UPDOWN24), form_.upDown24Enabled);
    SetTextIfDifferent(item(IDC_TEXT1), form_.text1);
    // Setting the up-down rewrites Text1 (its buddy), so only when the model moved it.
    if (form_.upDown24Position != syncedUpDown24_) {
        syncedUpDown24_ = form_.upDown24Position;
        SendMessageA(item(IDC_UPDOWN24), UDM_SETPOS, 0, MAKELPARAM(syncedUpDown24_, 0));
        SetTextIfDifferent(item(IDC_TEXT1), form_.text1);
    }

    CheckMenuItem(GetMenu(hwnd_), IDM_LOAD,
                  static_cast<UINT>(MF_BYCOMMAND | (form_.mnuLoadChecked ? MF_CHECKED : MF_UNCHECKED)));
    keys_.SetDefaultId(hwnd_, form_.cmdCalcIsDefault ? IDC_CMD_CALC : 0);
    syncing_ = false;
}

}  // namespace hzwk::win
