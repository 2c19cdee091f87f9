// Test doubles for the operating system and the message boxes, a machine with the main
// window over it, and small helpers; with the headers every unit test uses.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "core/prompt.h"
#include "core/text.h"
#include "grid/rows.h"
#include "os/os.h"
#include "profile/file_io.h"
#include "profile/memory_registry.h"
#include "profile/reg_file.h"
#include "registry/registry_rules.h"
#include "registry/settings.h"

namespace hzwk::test {

class FakeOs : public Os {
public:
    std::string systemDir = "C:\\WINDOWS\\system32", folder = "C:\\Program Files\\Hertzwerk";
    std::map<std::string, FixedFileVersion> versions;  // by full path
    std::vector<DisplayMode> modes;
    std::string debugFile, appData, temp = "C:\\Documents and Settings\\u\\Local Settings\\Temp";
    bool debugWritable = true, helpOpens = false;
    int beeps = 0;
    std::vector<std::string> opened, help;
    // Files by folder, then name. The program folder always exists, others once made;
    // nothing can be made in a locked folder, nor a locked folder itself.
    std::map<std::string, std::map<std::string, std::string>> files;
    std::set<std::string> locked;

    std::string SystemDirectory() override { return systemDir; }
    bool ReadFileVersion(const std::string& path, FixedFileVersion& out) override {
        return versions.count(path) && (out = versions[path], true);
    }
    std::vector<DisplayMode> DisplayModes() override { return modes; }
    std::string ProgramFolder() override { return folder; }
    std::string LocalDateText() override { return "06.12.2026"; }
    std::string LocalTimeText() override { return "19:40:07"; }
    bool WriteDebugFile(const std::string& text) override { return debugWritable && (debugFile = text, true); }
    bool AppendDebugFile(const std::string& text) override { return debugWritable && (debugFile += text, true); }
    void Beep() override { ++beeps; }
    void OpenAddress(const std::string& address) override { opened.push_back(address); }
    bool ShowHelp(const std::string& path) override { return help.push_back(path), helpOpens; }
    uint32_t TickCount() override { return 0; }
    ClockTime LocalClock() override { return {2026, 12, 6, 19, 40, 7}; }
    bool CreateNewFile(const std::string& f, const std::string& name, const std::string& bytes) override {
        return !locked.count(f) && (f == folder || files.count(f)) && files[f].emplace(name, bytes).second;
    }
    std::vector<std::string> FileNames(const std::string& f, const std::string& prefix) override {
        std::vector<std::string> names;
        for (const auto& [name, bytes] : files[f])
            if (SameNoCase(name.substr(0, prefix.size()), prefix)) names.push_back(name);
        return names;
    }
    bool ReadSmallFile(const std::string& f, const std::string& name, size_t maxBytes, std::string* bytes) override {
        const auto it = files[f].find(name);
        return it != files[f].end() && it->second.size() <= maxBytes && (*bytes = it->second, true);
    }
    std::string TempFolder() override { return temp; }
    bool RemoveFile(const std::string& f, const std::string& name) override { return files[f].erase(name) > 0; }
    std::string AppDataFolder() override { return appData; }
    bool MakeFolder(const std::string& path) override { return !locked.count(path) && (files[path], true); }
};

using Boxes = std::vector<std::pair<std::string, Icon>>;  // each box shown: its text and icon

// Answers Yes/No questions from a script; OK boxes need no answer. An unscripted
// question fails the test.
class ScriptedPrompt : public Prompt {
public:
    std::deque<Answer> answers;
    Boxes shown;

    Answer Show(const std::string& text, Icon icon, Buttons buttons) override {
        shown.emplace_back(text, icon);
        if (buttons == Buttons::Ok) return Answer::Ok;
        if (answers.empty()) return ADD_FAILURE() << "unexpected question: " << text, Answer::No;
        const Answer a = answers.front();
        return answers.pop_front(), a;
    }
};

inline constexpr const char kXpDeviceKey[] =
    "System\\CurrentControlSet\\Control\\Video\\{2D6A1C8E-5B7F-4E8A-9C1D-3F0E7A6B5C4D}\\0000";

inline FixedFileVersion Version(unsigned a, unsigned b, unsigned c, unsigned d) { return {a << 16 | b, c << 16 | d}; }
inline std::string Str(const std::optional<RegData>& d) { return d ? d->bytes : std::string("<absent>"); }

// An XP machine with an NVIDIA driver (description, 6.14.10.<build>, normal or compressed
// mode format), four display modes, and the main window over it, not loaded yet.
struct Machine {
    MemoryRegistry reg;
    ApiRegistry rules{reg};
    FakeOs os;
    ScriptedPrompt prompt;
    MainForm form{rules, os, prompt};

    Machine(const std::string& description, unsigned build, bool compressed, const std::string& osVersion = "5.1") {
        const std::string nul(1, '\0');
        reg.SetRaw("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "CurrentVersion", kRegSz, osVersion + nul);
        reg.SetRaw("HARDWARE\\DEVICEMAP\\VIDEO", "\\Device\\Video0", kRegSz,
                   std::string("\\Registry\\Machine\\") + kXpDeviceKey + nul);
        reg.SetRaw(kXpDeviceKey, "Device Description", kRegSz, description + nul);
        reg.SetRaw(kXpDeviceKey, "InstalledDisplayDrivers", kRegMultiSz, std::string("nv4_disp\0\0", 10));
        if (compressed) reg.SetRaw(kXpDeviceKey, "UseCompressedModeFormat", kRegDword, std::string("\1\0\0\0", 4));
        os.versions[os.systemDir + "\\nv4_disp.dll"] = Version(6, 14, 10, build);
        os.modes = {{640, 480, 32, 60}, {640, 480, 32, 85}, {800, 600, 32, 75}, {1024, 768, 32, 70}};
    }
    // Loads the window and forgets what loading logged and showed.
    void Start() { EXPECT_EQ(form.Load(""), StartupOutcome::ShowWindow); os.debugFile.clear(), prompt.shown.clear(); }
    std::string Value(const std::string& name) { return Str(reg.GetRaw(kXpDeviceKey, name)); }
    std::string Setting(const std::string& name) { return Str(reg.GetRaw("SOFTWARE\\HZWK", name)); }
};

// A whole file, or "" when it cannot be read.
inline std::string FileText(const std::filesystem::path& p) { std::string t; return ReadWholeFile(p.string(), &t, nullptr), t; }

// An EDID from tests/unit/data/edid/, all of its 128 bytes.
inline std::string EdidFile(const std::string& f) {
    const std::string bytes = FileText(HZWK_SOURCE_DIR "/tests/unit/data/edid/" + f);
    EXPECT_EQ(bytes.size(), 128u) << f;
    return bytes;
}

// A monitor instance as Windows records it; `present`: connected now (a Control subkey).
inline void AddMonitor(MemoryRegistry& reg, const std::string& model, const std::string& edid, bool present = true,
                       uint32_t type = kRegBinary) {
    const std::string instance = "SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\" + model + "\\5&1&0&1";
    reg.SetRaw(instance + "\\Device Parameters", "EDID", type, edid);
    if (present) reg.CreateKey(instance + "\\Control");
}

// FNV-1a: pins a long text to the byte in one number.
inline uint64_t Fnv1a(const std::string& text) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : text) hash = (hash ^ c) * 0x100000001b3ull;
    return hash;
}

}  // namespace hzwk::test
