// The console tool on the shipped machine profiles: its report matches what each profile
// should detect, compose agrees with apply, and bad arguments change nothing.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "catalogue/catalogue.h"
#include "profile/machine_profile.h"
#include "profile/memory_registry.h"
#include "registry/api_registry.h"

namespace hzwk {
namespace {

namespace fs = std::filesystem;

struct CtlRun {
    int status;
    std::string out, err;
};

CtlRun Ctl(const std::string& args) {
    const fs::path errFile = fs::temp_directory_path() / ("hzwkctl-err-" + std::to_string(::getpid()));
    const std::string cmd = std::string(HZWKCTL_PATH) + " " + args + " 2>" + errFile.string();
    CtlRun r{};
    FILE* p = ::popen(cmd.c_str(), "r");
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    std::ifstream e(errFile);
    r.err.assign(std::istreambuf_iterator<char>(e), {});
    fs::remove(errFile);
    return r;
}

std::string ReadFile(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

const fs::path kProfiles = fs::path(HZWK_SOURCE_DIR) / "tests/e2e/profiles";

// A scratch copy of a shipped profile, removed afterwards.
struct ScratchProfile {
    fs::path dir;
    explicit ScratchProfile(const std::string& name) {
        dir = fs::temp_directory_path() / ("hzwk-profile-" + name + "-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::copy(kProfiles / name, dir, fs::copy_options::recursive);
    }
    ~ScratchProfile() { fs::remove_all(dir); }
    std::string Value(const std::string& name) {
        MemoryRegistry reg;
        ApiRegistry rules(reg);
        MachineProfile profile;
        std::string error;
        EXPECT_TRUE(LoadMachineProfile(dir.string(), reg, profile, &error)) << error;
        const std::string key = rules.GetStringValue("HARDWARE\\DEVICEMAP\\VIDEO", "\\Device\\Video0", "").substr(18);
        auto v = reg.GetRaw(key, name);
        return v ? v->bytes : "<absent>";
    }
};

TEST(Hzwkctl, DetectPrintsEachProfilesReport) {
    int seen = 0;
    for (const auto& entry : fs::directory_iterator(kProfiles)) {
        if (!entry.is_directory()) continue;
        ++seen;
        const std::string expected = ReadFile(entry.path() / "expected-report.txt");
        const CtlRun r = Ctl("detect --machine '" + entry.path().string() + "'");
        if (expected.empty()) {  // the program ends before its report on this machine
            EXPECT_EQ(r.status, 1) << entry.path();
            EXPECT_EQ(r.out, "") << entry.path();
            EXPECT_NE(r.err.find("No compatible"), std::string::npos) << entry.path();
            continue;
        }
        ASSERT_EQ(r.status, 0) << entry.path() << r.err;
        const size_t firstLine = r.out.find('\n');
        ASSERT_NE(firstLine, std::string::npos);
        EXPECT_EQ(r.out[0], '[');
        EXPECT_NE(r.out.substr(0, firstLine).find("]["), std::string::npos);
        EXPECT_EQ(r.out.substr(firstLine + 1), expected) << entry.path();
    }
    EXPECT_GE(seen, 5);
}

TEST(Hzwkctl, ComposeAgreesWithApplyAndResetRestoresTheDefault) {
    for (const std::string name : {"xp-ti4600-3090", "xp-ti4600-4109", "xp-ti4600-4012-compressed"}) {
        ScratchProfile p(name);
        const std::string rates = " 640x480=100 1024x768=N/A 1360x768=72 2048x1536=60";
        const CtlRun composed = Ctl("compose --machine '" + p.dir.string() + "'" + rates);
        ASSERT_EQ(composed.status, 0) << composed.err;
        ASSERT_EQ(composed.out.back(), '\n');
        const std::string value = composed.out.substr(0, composed.out.size() - 1);

        const std::string before = ReadFile(p.dir / "registry.reg");
        const CtlRun applied = Ctl("apply --machine '" + p.dir.string() + "'" + rates);
        ASSERT_EQ(applied.status, 0) << applied.err;
        EXPECT_NE(ReadFile(p.dir / "registry.reg"), before);
        const std::string valueName = name == "xp-ti4600-4109" ? "NV_Modes"
                                      : name == "xp-ti4600-3090" ? "NV25_Modes"
                                                                 : "NV25_Modes_Delta";
        EXPECT_EQ(p.Value(valueName), value) << name;
        const std::string log = ReadFile(p.dir / "debug.txt");
        EXPECT_EQ(log.rfind("Added registry value: ", 0), 0u) << name;
        EXPECT_EQ(log.substr(log.size() - 2), "\r\n");

        ASSERT_EQ(Ctl("reset --machine '" + p.dir.string() + "'").status, 0);
        const std::string def = p.Value(valueName);
        if (name == "xp-ti4600-4109") { EXPECT_EQ(def, StarDefaultList()); }
        if (name == "xp-ti4600-3090") { EXPECT_EQ(def, NormalDefaultTable()); }
        if (name == "xp-ti4600-4012-compressed") { EXPECT_EQ(def.rfind("S 1600,900,-16,120;", 0), 0u); }
    }
}

TEST(Hzwkctl, BadArgumentsSayWhyOnOneLineAndWriteNothing) {
    ScratchProfile p("xp-ti4600-3090");
    const std::string before = ReadFile(p.dir / "registry.reg");
    const std::string bad[] = {
        "apply --machine '" + p.dir.string() + "' 641x480=60",
        "apply --machine '" + p.dir.string() + "' 640x480",
        "apply --machine '" + p.dir.string() + "' 640x480=fast",
        "apply --machine '" + p.dir.string() + "' =60",
        "apply --machine '" + p.dir.string() + "' 640x480=18446744073709551620",
        "compose 640x480=60",
        "compose --version",
        "compose --version 6.14.10.3090 --tv 800",
        "compose --version 6.14.10.3090 --tv 800x600x2",
        "frobnicate",
        "'two\nlines'",
        "apply --machine '" + p.dir.string() + "' '640x480=6\r\n0'",
    };
    for (const std::string& args : bad) {
        const CtlRun r = Ctl(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << args << ": " << r.err;
    }
    EXPECT_EQ(ReadFile(p.dir / "registry.reg"), before);
    EXPECT_FALSE(fs::exists(p.dir / "debug.txt"));
}

TEST(Hzwkctl, DetectEndsLinesWithLfInOnePass) {
    ScratchProfile p("xp-ti4600-3090");
    // A description of 200,000 line breaks: one pass over the report per line break takes a minute.
    // The first is CR CR LF, which ends as one LF as well.
    const int breaks = 200000;
    std::string hex = "\"Device Description\"=hex(1):0d,";
    for (int i = 0; i < breaks; ++i) hex += "0d,0a,";
    std::string reg = ReadFile(p.dir / "registry.reg");
    const std::string plain = "\"Device Description\"=\"NVIDIA GeForce4 Ti 4600\"";
    reg.replace(reg.find(plain), plain.size(), hex + "00");
    std::ofstream(p.dir / "registry.reg", std::ios::binary) << reg;

    const auto start = std::chrono::steady_clock::now();
    const CtlRun r = Ctl("detect --machine '" + p.dir.string() + "'");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\nCard Description: " + std::string(breaks + 1, '\n') + "Adapter"), std::string::npos);
}

// A profile whose registry.reg cannot be saved, or whose debug.txt cannot take the log line.
TEST(Hzwkctl, AWriteThatCannotBeSavedIsNeitherLoggedNorReported) {
    const struct {
        const char* blocker;  // a folder in the way
        const char* args;
    } cases[] = {
        {"registry.reg.tmp", "apply 640x480=100"},
        {"registry.reg.tmp", "reset"},
        {"debug.txt", "apply 640x480=100"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.blocker) + " " + c.args);
        ScratchProfile p("xp-ti4600-3090");
        fs::create_directories(p.dir / c.blocker / "kept");
        const std::string before = ReadFile(p.dir / "registry.reg");
        const std::string args = c.args;
        const size_t space = args.find(' ');
        const CtlRun r = Ctl(args.substr(0, space) + " --machine '" + p.dir.string() + "'" +
                             (space == std::string::npos ? "" : args.substr(space)));
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("Error writing to the registry"), std::string::npos) << r.err;
        EXPECT_EQ(ReadFile(p.dir / "registry.reg"), before);
        EXPECT_FALSE(fs::is_regular_file(p.dir / "debug.txt"));
    }
}

// The backups apply leaves in the profile put each earlier state back; a file for any other
// key is refused before anything is written.
TEST(Hzwkctl, RestorePutsBackWhatApplyBackedUpAndNothingElse) {
    ScratchProfile p("xp-ti4600-3090");
    const std::string machine = " --machine '" + p.dir.string() + "'";
    auto backups = [&] {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(p.dir))
            if (e.path().filename().string().rfind("hzwk-backup-", 0) == 0) names.insert(e.path().string());
        return names;
    };
    ASSERT_EQ(Ctl("apply" + machine + " 640x480=100").status, 0);
    const std::set<std::string> first = backups();  // NV25_Modes absent
    const std::string applied = p.Value("NV25_Modes");
    ASSERT_EQ(Ctl("apply" + machine + " 640x480=60").status, 0);
    std::set<std::string> second = backups();
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 2u);
    second.erase(*first.begin());  // the first Apply's value

    CtlRun r = Ctl("restore '" + *second.begin() + "'" + machine);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Restored NV25_Modes from " + *second.begin() + "\n");
    EXPECT_EQ(p.Value("NV25_Modes"), applied);
    ASSERT_EQ(Ctl("restore '" + *first.begin() + "'" + machine).status, 0);
    EXPECT_EQ(p.Value("NV25_Modes"), "<absent>");

    const std::string before = ReadFile(p.dir / "registry.reg");
    const fs::path crafted = p.dir / "crafted.reg";
    std::ofstream(crafted) << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\n"
                              "\"NV25_Modes\"=\"evil.exe\"\n";
    r = Ctl("restore '" + crafted.string() + "'" + machine);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("hzwkctl: " + crafted.string() + ": the file is for key SOFTWARE", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
    EXPECT_EQ(ReadFile(p.dir / "registry.reg"), before);
    EXPECT_EQ(backups().size(), 4u);  // each restore was backed up first; the refusal wrote none
}

TEST(Hzwkctl, ComposeFromAVersionAlone) {
    CtlRun r = Ctl("compose --version 6.14.10.4109 --value-name 'NVIDIA GeForce3'");
    EXPECT_EQ(r.out, "NV_Modes\n");
    r = Ctl("compose --version 6.14.10.3090 --compressed --value-name 'NVIDIA GeForce3'");
    EXPECT_EQ(r.out, "NV20_Modes_Delta\n");
    r = Ctl("compose --version 6.14.10.3090 --value-name 'NVIDIA GeForce FX'");
    EXPECT_EQ(r.status, 1);
    // Only the second TV-out resolution stored, from 4000 on: one blank, then the item with its own.
    r = Ctl("compose --version 6.14.10.4012 --compressed --tv '' --tv 640x480");
    ASSERT_EQ(r.status, 0);
    const std::string tail = ";2048,1536,-,-  640x480=803C;\n";
    ASSERT_GT(r.out.size(), tail.size());
    EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail);
}

// The monitor needs no supported driver: the machine without an NVIDIA card has none.
TEST(Hzwkctl, MonitorPrintsTheConnectedOneOrNoneFound) {
    CtlRun r = Ctl("monitor --machine '" + (kProfiles / "xp-ti4600-3090").string() + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Monitor: SONY CPD-G400\nHorizontal: 30-107 kHz\nVertical: 48-120 Hz\n");
    r = Ctl("monitor --machine '" + (kProfiles / "non-nvidia").string() + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Monitor: none found\n");
}

}  // namespace
}  // namespace hzwk
