#include "ui/about_window_win32.h"

#include <iterator>

#include "os/win32_os.h"
#include "app/about_form.h"
#include "ui/control_ids.h"
#include "ui/resource.h"
#include "win/window_kit_win32.h"

namespace hzwk::win {

namespace {

constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kLine = SS_LEFT | SS_NOPREFIX | SS_NOTIFY;
constexpr int kLineTop = 510, kLinePitch = 285;

// Two columns, positions in twips. Creation order is the tab order: Close, the page
// buttons, then the labels.
const ControlSpec kControls[] = {
    {"BUTTON", "Close", kButton, IDC_ABOUT_CLOSE, 3840, 1950, 1215, 345},
    {"BUTTON", "Contact", kButton, IDC_ABOUT_PAGE + 0, 3840, 120, 1215, 345},
    {"BUTTON", "Links", kButton, IDC_ABOUT_PAGE + 1, 3840, 525, 1215, 345},
    {"BUTTON", "Credits", kButton, IDC_ABOUT_PAGE + 2, 3840, 930, 1215, 345},
    {"BUTTON", "Donate", kButton, IDC_ABOUT_PAGE + 3, 3840, 1335, 1215, 345},
    {"STATIC", "", SS_LEFT | SS_NOPREFIX, IDC_ABOUT_HEADING, 120, 120, 3480, 240},
    {"STATIC", "", SS_ETCHEDHORZ, IDC_ABOUT_RULE, 120, 390, 3480, 30},
    {"STATIC", "", kLine, IDC_ABOUT_LINE + 0, 120, kLineTop + 0 * kLinePitch, 3480, 240},
    {"STATIC", "", kLine, IDC_ABOUT_LINE + 1, 120, kLineTop + 1 * kLinePitch, 3480, 240},
    {"STATIC", "", kLine, IDC_ABOUT_LINE + 2, 120, kLineTop + 2 * kLinePitch, 3480, 240},
    {"STATIC", "", kLine, IDC_ABOUT_LINE + 3, 120, kLineTop + 3 * kLinePitch, 3480, 240},
    {"STATIC", "", kLine, IDC_ABOUT_LINE + 4, 120, kLineTop + 4 * kLinePitch, 3480, 240},
};
constexpr int kClientWidth = 5175, kClientHeight = 2415;

class AboutWindow : public Window {
public:
    explicit AboutWindow(Win32Os& os) : os_(os), form_(os) {}

    void Run(HWND owner) {
        form_.Load();
        const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
        if (!CreateTopLevel("HertzwerkAbout", HZWK_TITLE_ABOUT, IDI_HZWK, style,
                            WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, TwipsX(kClientWidth),
                            TwipsY(kClientHeight), owner, nullptr))
            return;
        CreateControls(hwnd_, kControls, std::size(kControls));
        SendMessageA(GetDlgItem(hwnd_, IDC_ABOUT_PAGE + 3), WM_SETFONT,
                     reinterpret_cast<WPARAM>(DialogBoldFont()), FALSE);
        SyncFromModel();
        CentreOver(hwnd_, owner);
        // Addresses opened from here belong to this window while it is open.
        os_.SetShellOwner(hwnd_);
        RunModalLoop(owner, hwnd_, &done_);
        os_.SetShellOwner(owner);
        if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        LRESULT result;
        if (keys_.Handle(hwnd_, msg, wp, lp, &result)) return result;
        switch (msg) {
        case WM_COMMAND:
            OnCommand(LOWORD(wp), HIWORD(wp));
            return 0;
        case WM_SETCURSOR:
            // The lines that open an address on this page show the hand, as links do.
            if (LOWORD(lp) == HTCLIENT && OpensAddress(reinterpret_cast<HWND>(wp))) {
                SetCursor(HandCursor());
                return TRUE;
            }
            return Default(msg, wp, lp);
        case WM_CLOSE:
            done_ = true;  // the close box works like Close: the main window comes back
            return 0;
        default:
            return Default(msg, wp, lp);
        }
    }

private:
    void OnCommand(int id, int code) {
        if (id == IDC_ABOUT_CLOSE || id == IDCANCEL) {
            done_ = true;
            return;
        }
        int page = id - IDC_ABOUT_PAGE;
        int line = id - IDC_ABOUT_LINE;
        if (page >= 0 && page < kAboutPageCount && code == BN_CLICKED) {
            form_.PageClick(page + 1);
            SyncFromModel();
        } else if (line >= 0 && line < kAboutLineCount && code == STN_CLICKED) {
            form_.LineClick(line);
        }
    }

    bool OpensAddress(HWND control) const {
        if (!control || GetParent(control) != hwnd_) return false;
        const int line = GetDlgCtrlID(control) - IDC_ABOUT_LINE;
        return line >= 0 && line < kAboutLineCount &&
               !AboutForm::AddressFor(form_.AboutPage(), line).empty();
    }

    static HCURSOR HandCursor() {
        static HCURSOR hand = [] {
            HCURSOR c = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND));
            return c ? c : LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        }();
        return hand;
    }

    void SyncFromModel() {
        SetTextIfDifferent(GetDlgItem(hwnd_, IDC_ABOUT_HEADING), form_.heading);
        for (int i = 0; i < kAboutLineCount; ++i)
            SetTextIfDifferent(GetDlgItem(hwnd_, IDC_ABOUT_LINE + i), form_.lines[static_cast<std::size_t>(i)]);
    }

    Win32Os& os_;
    AboutForm form_;
    DialogKeys keys_;
    bool done_ = false;
};

}  // namespace

void RunAboutWindow(HWND owner, Win32Os& os) {
    AboutWindow window(os);
    window.Run(owner);
}

}  // namespace hzwk::win
