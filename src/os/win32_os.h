// The operating-system services on Windows 2000 and later, through the ANSI calls.
// Optional parts (the HTML Help viewer) are loaded when first needed, never linked,
// so the program still starts where they are missing.
#pragma once

#include "os/os.h"

namespace hzwk {

class Win32Os : public Os {
public:
    Win32Os() = default;
    ~Win32Os() override = default;
    Win32Os(const Win32Os&) = delete;
    Win32Os& operator=(const Win32Os&) = delete;

    std::string SystemDirectory() override;
    bool ReadFileVersion(const std::string& path, FixedFileVersion& out) override;
    std::vector<DisplayMode> DisplayModes() override;
    // At a drive's root the folder is "C:\" with its backslash, as Windows names a root;
    // paths built on it (the help file's) then hold two backslashes in a row.
    std::string ProgramFolder() override;
    std::string LocalDateText() override;
    std::string LocalTimeText() override;
    bool WriteDebugFile(const std::string& contents) override;
    bool AppendDebugFile(const std::string& contents) override;
    void Beep() override;
    void OpenAddress(const std::string& address) override;
    bool ShowHelp(const std::string& path) override;
    uint32_t TickCount() override;
    ClockTime LocalClock() override;
    bool CreateNewFile(const std::string& folder, const std::string& name, const std::string& bytes) override;
    std::vector<std::string> FileNames(const std::string& folder, const std::string& prefix) override;
    bool ReadSmallFile(const std::string& folder, const std::string& name, size_t maxBytes,
                       std::string* bytes) override;
    bool RemoveFile(const std::string& folder, const std::string& name) override;
    std::string AppDataFolder() override;  // %APPDATA%
    std::string TempFolder() override;
    bool MakeFolder(const std::string& path) override;
    std::vector<DisplayAdapter> DisplayAdapters() override;  // EnumDisplayDevicesA

    // The window that owns what OpenAddress starts (an HWND; none by default).
    void SetShellOwner(void* window) { owner_ = window; }

    // Most modes taken from the driver: a driver that never says "no more" cannot hang us.
    static constexpr uint32_t kMaxDisplayModes = 10000;
    // Most adapters, and monitors on each, taken from the system.
    static constexpr uint32_t kMaxDisplayDevices = 64;

private:
    void* owner_ = nullptr;
    // hhctrl.ocx stays loaded once used: its viewer window runs inside our process.
    void* helpLibrary_ = nullptr;
    void (*htmlHelp_)() = nullptr;
    void (*shellExecute_)() = nullptr;  // ShellExecuteA, loaded when first needed  // HtmlHelpA, kept as a plain function pointer
};

}  // namespace hzwk
