#include "ui/tvout_window_win32.h"

#include <iterator>
#include <string>

#include "app/tvout_form.h"
#include "ui/control_ids.h"
#include "ui/resource.h"
#include "win/window_kit_win32.h"

namespace hzwk::win {

namespace {

constexpr DWORD kEdit = ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;

// Positions in twips; creation order is the tab order.
const ControlSpec kControls[] = {
    {"STATIC", "Select the TV-Out resolutions you want to add", kLabel, IDC_TV_LABEL3,
     120, 120, 4095, 195},
    {"EDIT", "", kEdit, IDC_TXT_W1, 120, 480, 735, 285},
    {"STATIC", "x", SS_CENTER, IDC_TV_X1, 855, 525, 225, 195},
    {"EDIT", "", kEdit, IDC_TXT_H1, 1080, 480, 735, 285},
    {"BUTTON", "Clear", kButton, IDC_TV_CLEAR1, 1980, 480, 975, 285},
    {"EDIT", "", kEdit, IDC_TXT_W2, 120, 885, 735, 285},
    {"STATIC", "x", SS_CENTER, IDC_TV_X2, 855, 930, 225, 195},
    {"EDIT", "", kEdit, IDC_TXT_H2, 1080, 885, 735, 285},
    {"BUTTON", "Clear", kButton, IDC_TV_CLEAR2, 1980, 885, 975, 285},
    {"BUTTON", "Set default TV-Out modes", kButton, IDC_TV_DEFAULTS, 120, 1365, 2835, 375},
    {"BUTTON", "&OK", kButton, IDC_TV_OK, 3120, 1365, 1095, 375},
};
constexpr int kClientWidth = 4335, kClientHeight = 1860;

class TvOutWindow : public Window {
public:
    TvOutWindow(RegistryAccess& registry, Prompt& prompt) : form_(registry, prompt) {}

    bool Run(HWND owner) {
        form_.Load();
        // A fixed tool-window frame without a control box: OK is the only way out.
        const DWORD style = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
        if (!CreateTopLevel("HertzwerkTvOut", HZWK_TITLE_TVOUT, IDI_HZWK, style,
                            WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT,
                            TwipsX(kClientWidth), TwipsY(kClientHeight), owner, nullptr))
            return false;
        CreateControls(hwnd_, kControls, std::size(kControls));
        keys_.SetDefaultId(hwnd_, IDC_TV_OK);  // Enter in a text box stores like OK
        PushToControls();
        CentreOver(hwnd_, owner);
        RunModalLoop(owner, hwnd_, &done_);
        if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
        return stored_;
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        LRESULT result;
        if (keys_.Handle(hwnd_, msg, wp, lp, &result)) return result;
        switch (msg) {
        case WM_COMMAND:
            if (HIWORD(wp) == BN_CLICKED) OnButton(LOWORD(wp));
            return 0;
        case WM_CLOSE:
            return 0;  // Alt+F4 and the like: only OK closes this window
        default:
            return Default(msg, wp, lp);
        }
    }

private:
    struct Box {
        int id;
        std::string TvOutForm::*field;
    };
    static constexpr Box kBoxes[] = {
        {IDC_TXT_W1, &TvOutForm::txtW1}, {IDC_TXT_H1, &TvOutForm::txtH1},
        {IDC_TXT_W2, &TvOutForm::txtW2}, {IDC_TXT_H2, &TvOutForm::txtH2},
    };

    void PullFromControls() {
        for (const Box& box : kBoxes) form_.*box.field = GetText(GetDlgItem(hwnd_, box.id));
    }
    void PushToControls() {
        for (const Box& box : kBoxes) SetTextIfDifferent(GetDlgItem(hwnd_, box.id), form_.*box.field);
    }

    void OnButton(int id) {
        PullFromControls();
        switch (id) {
        case IDC_TV_CLEAR1: form_.Command1Click(); break;
        case IDC_TV_CLEAR2: form_.Command2Click(); break;
        case IDC_TV_DEFAULTS: form_.Command3Click(); break;
        case IDC_TV_OK:
            if (form_.CmdDoneClick()) stored_ = done_ = true;
            break;
        default: return;
        }
        PushToControls();
    }

    TvOutForm form_;
    DialogKeys keys_;
    bool done_ = false;
    bool stored_ = false;
};

}  // namespace

bool RunTvOutWindow(HWND owner, RegistryAccess& registry, Prompt& prompt) {
    TvOutWindow window(registry, prompt);
    return window.Run(owner);
}

}  // namespace hzwk::win
