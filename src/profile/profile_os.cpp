#include "profile/profile_os.h"

#include <ctime>
#include <utility>

#include "profile/reg_file.h"

namespace hzwk {

namespace {

std::string NowText(const char* format) {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char buffer[64] = {};
    if (local == nullptr || std::strftime(buffer, sizeof buffer, format, local) == 0)
        return std::string();
    return buffer;
}

}  // namespace

ProfileOs::ProfileOs(MachineProfile profile)
    : profile_(std::move(profile)), started_(std::chrono::steady_clock::now()) {}

std::string ProfileOs::SystemDirectory() { return profile_.systemDirectory; }

bool ProfileOs::ReadFileVersion(const std::string& path, FixedFileVersion& out) {
    const ProfileFile* file = profile_.FindFile(path);
    if (file == nullptr || !file->hasVersion) return false;
    out = file->version;
    return true;
}

std::vector<DisplayMode> ProfileOs::DisplayModes() { return profile_.modes; }

std::string ProfileOs::ProgramFolder() { return profile_.programFolder; }

std::string ProfileOs::LocalDateText() { return fixedClock_ ? date_ : NowText("%x"); }

std::string ProfileOs::LocalTimeText() { return fixedClock_ ? time_ : NowText("%X"); }

void ProfileOs::SetClockTexts(const std::string& date, const std::string& time) {
    fixedClock_ = true;
    date_ = date;
    time_ = time;
}

std::string ProfileOs::DebugFilePath() const { return ProfilePath(profile_.directory, "debug.txt"); }

bool ProfileOs::WriteDebugFile(const std::string& contents) {
    return WriteWholeFile(DebugFilePath(), contents, false);
}

bool ProfileOs::AppendDebugFile(const std::string& contents) {
    return WriteWholeFile(DebugFilePath(), contents, true);
}

void ProfileOs::Beep() { events_.push_back("Beep"); }

void ProfileOs::OpenAddress(const std::string& address) {
    events_.push_back("OpenAddress " + address);
}

bool ProfileOs::ShowHelp(const std::string& path) {
    events_.push_back("ShowHelp " + path);
    return false;
}

uint32_t ProfileOs::TickCount() {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started_);
    // Wraps like GetTickCount after 49.7 days.
    return static_cast<uint32_t>(elapsed.count());
}

}  // namespace hzwk
