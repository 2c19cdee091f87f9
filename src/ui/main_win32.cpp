// hzwk.exe: the start-up sequence first, windows only when it says so. A /startup run
// at logon that finds no new driver ends before any window or common control exists.
#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <string>

#include "app/main_form.h"
#include "os/win32_os.h"
#include "registry/registry_rules.h"
#include "registry/win32_registry_backend.h"
#include "ui/main_window_win32.h"
#include "win/message_box_prompt_win32.h"

namespace {

int RunProgram(const char* commandLine, int showCommand) {
    hzwk::Win32RegistryBackend api;
    hzwk::ApiRegistry registry(api);
    hzwk::Win32Os os;
    hzwk::win::MessageBoxPrompt prompt;
    hzwk::MainForm form(registry, os, prompt);

    if (form.Load(commandLine ? commandLine : "") != hzwk::StartupOutcome::ShowWindow) return 0;

    if (!hzwk::win::LoadCommonControls()) return 1;
    hzwk::win::MainWindow window(form, registry, os, prompt);
    if (!window.Create(showCommand)) return 1;
    os.SetShellOwner(window.Handle());
    return window.Run();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int showCommand) {
    try {
        return RunProgram(commandLine, showCommand);
    } catch (const std::exception& e) {
        hzwk::win::ReportException(nullptr, e.what());
    } catch (...) {
        hzwk::win::ReportException(nullptr, "Unknown error");
    }
    return 1;
}
