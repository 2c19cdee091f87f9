#include "profile/profile_os.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <utility>

#include "core/text.h"
#include "profile/file_io.h"

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

// A plain file at `path` (a folder of the same name is not one).
bool PlainFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
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

ClockTime ProfileOs::LocalClock() {
    const std::time_t now = std::time(nullptr);
    const std::tm* t = std::localtime(&now);
    if (t == nullptr) return ClockTime{};
    return ClockTime{t->tm_year + 1900, t->tm_mon + 1, t->tm_mday, t->tm_hour, t->tm_min, t->tm_sec};
}

std::string ProfileOs::HostPath(const std::string& folder, const std::string& name) const {
    const bool plainName = !name.empty() && name.find_first_of("/\\") == std::string::npos && name != "." && name != "..";
    if (!plainName || profile_.programFolder.empty() || !SameNoCase(folder, profile_.programFolder)) return std::string();
    return ProfilePath(profile_.directory, name);
}

bool ProfileOs::CreateNewFile(const std::string& folder, const std::string& name, const std::string& bytes) {
    const std::string path = HostPath(folder, name);
    if (path.empty()) return false;
    // Only hzwkctl and the tests write here, one at a time: a look first is enough.
    if (std::FILE* existing = std::fopen(path.c_str(), "rb")) {
        std::fclose(existing);
        return false;
    }
    if (WriteWholeFile(path, bytes, false)) return true;
    std::remove(path.c_str());
    return false;
}

std::vector<std::string> ProfileOs::FileNames(const std::string& folder, const std::string& prefix) {
    std::vector<std::string> names;
    if (HostPath(folder, "x").empty()) return names;
    DIR* dir = opendir(profile_.directory.empty() ? "." : profile_.directory.c_str());
    if (dir == nullptr) return names;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (SameNoCase(name.substr(0, prefix.size()), prefix) && PlainFile(HostPath(folder, name)))
            names.push_back(name);
    }
    closedir(dir);
    return names;
}

bool ProfileOs::RemoveFile(const std::string& folder, const std::string& name) {
    const std::string path = HostPath(folder, name);
    return PlainFile(path) && std::remove(path.c_str()) == 0;
}

bool ProfileOs::ReadSmallFile(const std::string& folder, const std::string& name, size_t maxBytes,
                              std::string* bytes) {
    const std::string path = HostPath(folder, name);
    return PlainFile(path) && ReadWholeFile(path, bytes, nullptr, maxBytes);
}

}  // namespace hzwk
