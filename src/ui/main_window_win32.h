// ui/: the windows and WinMain, on the window kit. hzwkctl never includes this folder.
// frmMain: the Win32 face of MainForm. Every control event goes to the form, then
// SyncFromModel() brings all controls into line with it.
#pragma once

#include "os/win32_os.h"
#include "registry/registry_port.h"
#include "app/main_form.h"
#include "win/message_box_prompt_win32.h"
#include "win/window_kit_win32.h"

namespace hzwk::win {

class MainWindow : public Window {
public:
    MainWindow(MainForm& form, RegistryAccess& registry, Win32Os& os, MessageBoxPrompt& prompt)
        : form_(form), registry_(registry), os_(os), prompt_(prompt) {}

    bool Create(int showCommand);
    // The program's message loop; returns the exit code.
    int Run();

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void CreateChildren();
    void OnCommand(int id, int code);
    void OnStepper(HWND stepper, int scrollCode, int position);
    void SyncFromModel();

    MainForm& form_;
    RegistryAccess& registry_;
    Win32Os& os_;
    MessageBoxPrompt& prompt_;
    DialogKeys keys_;
    bool syncing_ = false;          // our own writes must not come back as events
    int syncedUpDown24_ = -1;       // the UpDown24 position last set from the model
};

}  // namespace hzwk::win
