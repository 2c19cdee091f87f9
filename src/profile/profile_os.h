// Os answered from a machine profile: file versions, display modes and folders come
// from machine.ini, debug.txt is written into the profile's folder, and what would
// reach the user's desktop (beeps, opened addresses, help) is recorded instead.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "profile/machine_profile.h"
#include "os/os.h"

namespace hzwk {

class ProfileOs final : public Os {
public:
    explicit ProfileOs(MachineProfile profile);

    std::string SystemDirectory() override;
    bool ReadFileVersion(const std::string& path, FixedFileVersion& out) override;
    std::vector<DisplayMode> DisplayModes() override;
    std::string ProgramFolder() override;
    // The host's clock, as strftime's %x and %X write it in the C locale (03/15/25, 14:05:09),
    // unless fixed texts were set.
    std::string LocalDateText() override;
    std::string LocalTimeText() override;
    bool WriteDebugFile(const std::string& contents) override;
    bool AppendDebugFile(const std::string& contents) override;
    void Beep() override;
    void OpenAddress(const std::string& address) override;
    bool ShowHelp(const std::string& path) override;  // no viewer here: always false
    uint32_t TickCount() override;
    // Files: the program folder is the profile's folder on this computer; no other folder,
    // and no application-data folder, exists here.
    ClockTime LocalClock() override;  // the host's
    bool CreateNewFile(const std::string& folder, const std::string& name, const std::string& bytes) override;
    std::vector<std::string> FileNames(const std::string& folder, const std::string& prefix) override;
    bool ReadSmallFile(const std::string& folder, const std::string& name, size_t maxBytes,
                       std::string* bytes) override;
    bool RemoveFile(const std::string& folder, const std::string& name) override;
    std::string AppDataFolder() override { return std::string(); }
    std::string TempFolder() override { return std::string(); }
    bool MakeFolder(const std::string&) override { return false; }
    std::vector<DisplayAdapter> DisplayAdapters() override { return profile_.adapters; }

    // Fixed date and time texts, for output that must not change from run to run.
    void SetClockTexts(const std::string& date, const std::string& time);

    // What reached the desktop, in order: "Beep", "OpenAddress <address>", "ShowHelp <path>".
    const std::vector<std::string>& Events() const { return events_; }

    const MachineProfile& Profile() const { return profile_; }
    MachineProfile& Profile() { return profile_; }
    std::string DebugFilePath() const;
    // The host path of `name` in `folder`; empty unless `folder` is the program folder.
    std::string HostPath(const std::string& folder, const std::string& name) const;

private:
    MachineProfile profile_;
    bool fixedClock_ = false;
    std::string date_, time_;
    std::vector<std::string> events_;
    std::chrono::steady_clock::time_point started_;
};

}  // namespace hzwk
