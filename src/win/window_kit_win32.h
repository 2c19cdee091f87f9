// win/: the one Win32 window kit every window is built on. Knows no window of the program.
// Small pieces every window of the program shares: the window-procedure trampoline,
// twips at the screen's DPI, the Verdana fonts, control creation from tables, the
// dialog-style keyboard (Tab, Enter) for plain and modeless windows, and local modal loops.
// Windows-only: included by *_win32.cpp files alone.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace hzwk::win {

// A top-level window whose messages go to a C++ object. The object is stored in
// GWLP_USERDATA at WM_NCCREATE; no exception leaves the window procedure.
class Window {
public:
    virtual ~Window() = default;
    HWND Handle() const { return hwnd_; }

protected:
    // Registers the class once (on first use), with the icon resource `iconId` of the
    // executable, and creates the window.
    HWND CreateTopLevel(const char* className, const char* title, int iconId, DWORD style, DWORD exStyle,
                        int clientWidth, int clientHeight, HWND owner, HMENU menu);
    virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) = 0;
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcA(hwnd_, msg, wp, lp); }

    HWND hwnd_ = nullptr;

private:
    static LRESULT CALLBACK Trampoline(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};

// Shows what escaped an event handler; never silent.
void ReportException(HWND owner, const char* what);

// Loads comctl32 and registers its classes. Loaded, not linked, so that a /startup run that
// ends before any window never loads the common controls.
bool LoadCommonControls();

// Twips (1/1440 inch) to pixels at the screen's DPI.
int TwipsX(int twips);
int TwipsY(int twips);

// Verdana 8.25 pt, plain and bold, created once and kept for the run.
HFONT DialogFont();
HFONT DialogBoldFont();

// One child control, positioned in twips (left, top, width, height).
struct ControlSpec {
    const char* className;  // "STATIC", "BUTTON", "EDIT", UPDOWN_CLASSA
    const char* text;
    DWORD style;            // WS_CHILD | WS_VISIBLE are added
    int id;
    int left, top, width, height;
};
HWND CreateControl(HWND parent, const ControlSpec& spec);
void CreateControls(HWND parent, const ControlSpec* specs, size_t count);

std::string GetText(HWND control);
// Sets a control's text only when it differs, so no needless change notifications.
void SetTextIfDifferent(HWND control, const std::string& text);
void SetEnabledIfDifferent(HWND control, bool enabled);

// WM_NEXTDLGCTL for a plain window: Windows' dialog keys move the focus by sending it, and
// only a dialog's own procedure would carry it out.
void NextDialogControl(HWND dialog, WPARAM wp, LPARAM lp);

// Dialog-style keyboard for a plain window whose message loop calls IsDialogMessage:
// the window procedure passes DM_GETDEFID, WM_NEXTDLGCTL and WM_ACTIVATE here.
class DialogKeys {
public:
    // The button that Enter presses when the focus is not on a push button (0: none).
    void SetDefaultId(HWND dialog, int id);
    // Handles the message when it is one of the three; returns true then with *result set.
    bool Handle(HWND dialog, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);

private:
    void UpdateDefaultLook(HWND dialog);
    int defaultId_ = 0;
    HWND savedFocus_ = nullptr;
};

// Dialog keys for modeless windows: the program's loop hands every message here before its
// own IsDialogMessage, and a modeless window registers itself while it is open.
void AddModeless(HWND window);
void RemoveModeless(HWND window);
// True when msg was a key for a registered window and has been handled there.
bool ModelessDialogMessage(MSG* msg);

// Runs a local message loop until *done is set: the owner is disabled meanwhile and
// enabled again before the loop returns. A WM_QUIT met on the way is posted again.
void RunModalLoop(HWND owner, HWND dialog, const bool* done);

// Centres a window over another (or over the screen when `over` is null).
void CentreOver(HWND window, HWND over);

}  // namespace hzwk::win
