// hzwkctl: the program's detection and mode-list writing from a console, on a machine
// profile (any system) or, on Windows, on the real registry.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "console_ports.h"
#include "modelist/apply.h"
#include "modelist/backup.h"
#include "modelist/compose.h"
#include "app/detect.h"
#include "app/main_form.h"
#include "core/text.h"
#include "monitor/find_monitor.h"
#include "profile/file_io.h"
#include "profile/machine_profile.h"
#include "profile/memory_registry.h"
#include "profile/profile_os.h"
#include "profile/reg_file.h"
#include "registry/registry_rules.h"
#include "registry/settings.h"

#ifdef _WIN32
#include "os/win32_os.h"
#include "registry/win32_registry_backend.h"
#endif

namespace hzwk::ctl {
namespace {

constexpr const char kUsage[] =
    "usage: hzwkctl detect [--machine DIR]\n"
    "       hzwkctl compose --version V [--compressed] [--tv WxH]... [WxH=CAPTION]...\n"
    "       hzwkctl compose --version V [--compressed] --value-name DESCRIPTION\n"
    "       hzwkctl compose --machine DIR [WxH=CAPTION]...\n"
    "       hzwkctl apply [--machine DIR] [--force] [WxH=CAPTION]...\n"
    "       hzwkctl reset [--machine DIR]\n"
    "       hzwkctl monitor [--machine DIR]\n"
    "       hzwkctl restore FILE [--machine DIR]\n";

struct UsageError {
    std::string message;
};

struct Args {
    std::string command;
    std::string machine;
    bool hasVersion = false;
    std::string version;
    bool compressed = false;
    std::vector<std::string> tv;
    bool valueName = false;
    std::string description;
    std::vector<std::pair<int, std::string>> captions;
    bool hasFile = false;
    std::string file;  // restore: the backup
    bool force = false;  // apply: write rates beyond the monitor too
};

int RowOf(const std::string& resolution) {
    for (int r = 0; r < kRowCount; ++r)
        if (resolution == std::to_string(kRows[RowIndex(r)].width) + "x" + std::to_string(kRows[RowIndex(r)].height)) return r;
    return -1;
}

// A caption the grid can hold: "N/A" or a whole number of Hz.
bool IsCaption(const std::string& text) {
    long long hz = 0;
    return text == "N/A" || (!text.empty() && text[0] != '-' && text[0] != '+' && ParseWholeNumber(text, hz));
}

Args Parse(int argc, char** argv) {
    if (argc < 2) throw UsageError{"missing command"};
    Args a;
    a.command = argv[1];
    if (a.command != "detect" && a.command != "compose" && a.command != "apply" && a.command != "reset" &&
        a.command != "monitor" && a.command != "restore")
        throw UsageError{"unknown command: " + a.command};
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const char* what) {
            if (i + 1 >= argc) throw UsageError{std::string(what) + " needs a value"};
            return std::string(argv[++i]);
        };
        if (arg == "--machine") {
            a.machine = value("--machine");
        } else if (arg == "--version" && a.command == "compose") {
            a.hasVersion = true;
            a.version = value("--version");
        } else if (arg == "--compressed" && a.command == "compose") {
            a.compressed = true;
        } else if (arg == "--tv" && a.command == "compose") {
            a.tv.push_back(value("--tv"));
            if (a.tv.size() > 2) throw UsageError{"--tv may be given twice at most"};
        } else if (arg == "--force" && a.command == "apply") {
            a.force = true;
        } else if (arg == "--value-name" && a.command == "compose") {
            a.valueName = true;
            a.description = value("--value-name");
        } else if (arg.rfind("--", 0) == 0) {
            throw UsageError{"unknown option: " + arg};
        } else if ((a.command == "compose" || a.command == "apply") && arg.find('=') != std::string::npos) {
            const size_t eq = arg.find('=');
            const int row = RowOf(arg.substr(0, eq));
            if (row < 0) throw UsageError{"unknown resolution: " + arg.substr(0, eq)};
            const std::string caption = arg.substr(eq + 1);
            if (!IsCaption(caption)) throw UsageError{"not a rate or N/A: " + arg};
            a.captions.emplace_back(row, caption);
        } else if (a.command == "restore" && !a.hasFile) {
            a.hasFile = true;
            a.file = arg;
        } else {
            throw UsageError{"unexpected argument: " + arg};
        }
    }
    if (a.command == "restore" && !a.hasFile) throw UsageError{"restore needs the backup file"};
    if (a.command == "compose") {
        if (a.machine.empty() && !a.hasVersion) throw UsageError{"compose needs --version or --machine"};
        if (!a.machine.empty() && (a.hasVersion || a.compressed || !a.tv.empty() || a.valueName))
            throw UsageError{"--machine takes the driver and TV-out from the profile"};
        if (a.valueName && (!a.tv.empty() || !a.captions.empty()))
            throw UsageError{"--value-name takes no rates"};
    }
    return a;
}

// CR LF line ends as LF, in one pass. Every CR right before a line feed goes, as replacing
// CR LF until none is left would do ("\r\r\n" gives "\n").
std::string LfLines(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '\n')
            while (!out.empty() && out.back() == '\r') out.pop_back();
        out.push_back(c);
    }
    return out;
}

// The value Apply writes, after its final touches, as one line.
std::string WrittenLine(const Captions& captions, const ComposeFlags& flags, const TvParts& tv) {
    return FinishModeList(ComposeModeList(captions, flags, tv), flags.versionKey, tv) + "\n";
}

TvResolutions TvFromArgs(const std::vector<std::string>& tv) {
    TvResolutions r;
    std::string* slots[2][2] = {{&r.w1, &r.h1}, {&r.w2, &r.h2}};
    for (size_t i = 0; i < tv.size(); ++i) {
        if (tv[i].empty()) continue;
        const size_t x = tv[i].find('x');
        if (x == std::string::npos) throw UsageError{"--tv takes WIDTHxHEIGHT or \"\": " + tv[i]};
        // Stored values that are not plain numbers are ignored, as the program ignores them.
        const std::string w = tv[i].substr(0, x), h = tv[i].substr(x + 1);
        if (!IsTvNumber(w) || !IsTvNumber(h)) throw UsageError{"--tv takes whole numbers from 1 to 9999: " + tv[i]};
        *slots[i][0] = w;
        *slots[i][1] = h;
    }
    return r;
}

int ComposeFromVersion(const Args& a) {
    const std::string key = VersionKeyOf(a.version);
    const bool anyRate = AnyRateFor(key, a.compressed);
    if (a.valueName) {
        std::string ignored;
        const std::string name = a.compressed ? LookupCompressedAdapter(a.description, anyRate, ignored)
                                              : LookupNormalAdapter(a.description, key, ignored);
        const std::string written = ModeValueNameFor(name, key);
        if (written.empty()) {
            Err("hzwkctl: adapter not in the catalogue: " + a.description + "\n");
            return 1;
        }
        Out(written + "\n");
        return 0;
    }
    Captions captions;
    captions.fill("N/A");
    for (const auto& [row, caption] : a.captions) captions[RowIndex(row)] = caption;
    const TvParts tv = BuildTVEntries(TvFromArgs(a.tv), key);
    Out(WrittenLine(captions, ComposeFlags{key, a.compressed, anyRate}, tv));
    return 0;
}

// The registry and system the command works on: a profile, or this Windows machine.
struct Machine {
    MemoryRegistry memory;
    std::unique_ptr<RegistryBackend> real;
    std::unique_ptr<Os> os;
    std::string profileDir;
    std::unique_ptr<ApiRegistry> registry;
    RegistryAccess& Registry() {
        if (!registry)
            registry = std::make_unique<ApiRegistry>(real ? *real : static_cast<RegistryBackend&>(memory));
        return *registry;
    }
};

bool OpenMachine(const std::string& dir, Machine& m) {
    if (dir.empty()) {
#ifdef _WIN32
        m.real = std::make_unique<Win32RegistryBackend>();
        m.os = std::make_unique<Win32Os>();
        return true;
#else
        throw UsageError{"--machine DIR is needed on this system"};
#endif
    }
    MachineProfile profile;
    std::string error;
    if (!LoadMachineProfile(dir, m.memory, profile, &error)) {
        Err(std::string("hzwkctl: ") + error + "\n");
        return false;
    }
    m.os = std::make_unique<ProfileOs>(profile);
    m.profileDir = dir;
    return true;
}

// On a profile a write is done once registry.reg is saved: only then is it logged and
// reported, and a failure leaves registry.reg and debug.txt as they were.
int SaveWrite(const std::string& dir, const MemoryRegistry& memory, ReportCapturingOs& os,
              ConsolePrompt& prompt) {
    const std::string path = ProfilePath(dir, kProfileRegistryFile);
    std::string before, error;
    if (!ReadWholeFile(path, &before, &error) || !SaveProfileRegistry(dir, memory, &error)) {
        Err("hzwkctl: " + error + "\n" + kWriteError + "\n");
        return 1;
    }
    if (!os.AppendHeld()) {
        // Without its log line the value is not written.
        if (!ReplaceFileAtomically(path, before, &error)) Err("hzwkctl: " + error + "\n");
        Err("hzwkctl: cannot append to " + ProfilePath(dir, "debug.txt") + "\n" + kWriteError + "\n");
        return 1;
    }
    prompt.Release();
    return 0;
}

// Control characters as '?', so that a message stays one line whatever a name holds.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    return text;
}

// Puts a backup's value back into the driver key the machine's start-up detects. A file
// that is not a backup of this machine is refused (exit 2) before anything is written.
int Restore(Machine& m, GuardedRegistry& registry, Os& os, const std::string& keyPath,
            const std::string& file) {
    std::string text, error;
    if (!ReadWholeFile(file, &text, &error, kMaxBackupBytes)) {
        Err(OneLine("hzwkctl: " + error) + "\n");  // a file too large for a backup is not read
        return 2;
    }
    registry.AllowWrites();
    BackupValue value;
    switch (RestoreBackup(registry, os, keyPath, text, &value, &error)) {
        case RestoreOutcome::Refused:
            Err(OneLine("hzwkctl: " + file + ": " + error) + "\n");
            return 2;
        case RestoreOutcome::NotBackedUp:
            Err(OneLine(error) + "\n");
            return 1;
        case RestoreOutcome::NotWritten:
            Err(OneLine("hzwkctl: " + error) + "\n" + kWriteError + "\n");
            return 1;
        case RestoreOutcome::Restored:
            break;
    }
    if (!m.profileDir.empty() && !SaveProfileRegistry(m.profileDir, m.memory, &error)) {
        Err(OneLine("hzwkctl: " + error) + "\n" + kWriteError + "\n");
        return 1;
    }
    Out(OneLine("Restored " + value.name + " from " + file) + "\n");
    return 0;
}

int RunOnMachine(const Args& a) {
    Machine m;
    if (!OpenMachine(a.machine, m)) return 1;
    if (a.command == "monitor") {
        // Needs no driver: the monitor is looked up whatever start-up would decide.
        RegistryAccess& r = m.Registry();
        const std::string keyPath =
            DriverKeyPathFor(r, r.GetStringValue(reg::kWindowsVersionKey, reg::kCurrentVersion, ""));
        const MonitorInfo monitor = FindMonitor(r, MonitorsOnAdapter(m.os->DisplayAdapters(), keyPath));
        Out(MonitorText(monitor));
        return monitor.valid ? 0 : 1;
    }
    GuardedRegistry registry(m.Registry());
    ReportCapturingOs os(*m.os);
    ConsolePrompt prompt;
    MainForm form(registry, os, prompt);
    if (form.Load("") != StartupOutcome::ShowWindow) return 1;
    for (const auto& [row, caption] : a.captions) form.SetCaption(row, caption);

    if (a.command == "detect") {
        Out(LfLines(os.Report()));
        return 0;
    }
    if (a.command == "restore") return Restore(m, registry, os, form.Context().DriverKeyPath, a.file);
    if (a.command == "compose") {
        const DriverContext& c = form.Context();
        const std::string key = c.VersionKey();
        const TvParts tv = BuildTVEntries(ReadTvResolutions(registry), key);
        Out(WrittenLine(form.CaptionsNow(), ComposeFlags{key, c.CompressedFormat, c.AnyRate}, tv));
        return 0;
    }
    registry.AllowWrites();
    const bool onProfile = !m.profileDir.empty();
    if (onProfile) {
        os.HoldAppends();
        prompt.Hold();
    }
    if (a.force) prompt.Force();
    const WriteOutcome out = a.command == "apply" ? form.CmdApplyClick() : form.CmdResetClick();
    // The only question left unanswered: rates the monitor cannot show.
    if (out == WriteOutcome::Declined) {
        std::string rows;
        for (const RowBeyond& r : form.RowsBeyondMonitor()) {
            const RowInfo& row = kRows[static_cast<std::size_t>(r.row)];
            rows += (rows.empty() ? "" : ", ") + std::to_string(row.width) + "x" + std::to_string(row.height) + "=" +
                    std::to_string(r.rate) + " (at most " + std::to_string(r.atMost) + ")";
        }
        Err(OneLine("hzwkctl: the monitor " + form.Monitor().name + " cannot show " + rows +
                    "; nothing written (--force writes anyway)") + "\n");
        return 2;
    }
    if (out != WriteOutcome::Written) return 1;
    return onProfile ? SaveWrite(m.profileDir, m.memory, os, prompt) : 0;
}

}  // namespace
}  // namespace hzwk::ctl

int main(int argc, char** argv) {
    using namespace hzwk::ctl;
    try {
        const Args a = Parse(argc, argv);
        if (a.command == "compose" && a.machine.empty()) return ComposeFromVersion(a);
        return RunOnMachine(a);
    } catch (const UsageError& e) {
        // One line, so scripts can show it as it is; the usage only when nothing was asked.
        // An echoed argument may hold a line break or other control character of its own.
        Err("hzwkctl: " + OneLine(e.message) + "\n");
        if (argc < 2) Err(kUsage);
        return 2;
    } catch (const std::exception& e) {
        Err(std::string("hzwkctl: ") + e.what() + "\n");
        return 1;
    }
}
