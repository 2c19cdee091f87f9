// The console tool on the shipped machine profiles: its report matches what each profile
// should detect, compose agrees with apply, and bad arguments change nothing.
#include "fakes.h"

#include <sys/wait.h>

#include <cstdlib>

#include "app/detect.h"
#include "catalogue/catalogue.h"
#include "modelist/backup.h"
#include "profile/machine_profile.h"

namespace hzwk {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

struct CtlRun { int status; std::string out, err; };

CtlRun Ctl(const std::string& args) {
    const std::string out = (fs::temp_directory_path() / ("hzwkctl-" + std::to_string(::getpid()))).string(), err = out + ".err";
    const int st = std::system((HZWKCTL_PATH " " + args + " >'" + out + "' 2>'" + err + "'").c_str());
    const CtlRun r{WIFEXITED(st) ? WEXITSTATUS(st) : -1, test::FileText(out), test::FileText(err)};
    return fs::remove(out), fs::remove(err), r;
}

const fs::path kProfiles = fs::path(HZWK_SOURCE_DIR) / "tests/e2e/profiles";

// A scratch copy of a shipped profile, removed afterwards.
struct ScratchProfile {
    fs::path dir;
    std::string machine;  // the --machine argument
    explicit ScratchProfile(const std::string& name)
        : dir(fs::temp_directory_path() / ("hzwk-profile-" + name + "-" + std::to_string(::getpid()))),
          machine(" --machine '" + dir.string() + "'") {
        fs::remove_all(dir);
        fs::copy(kProfiles / name, dir, fs::copy_options::recursive);
    }
    ~ScratchProfile() { fs::remove_all(dir); }
    std::string Value(const std::string& name) {
        MemoryRegistry reg;
        MachineProfile profile;
        std::string error;
        EXPECT_TRUE(LoadMachineProfile(dir.string(), reg, profile, &error)) << error;
        ApiRegistry api(reg);
        return test::Str(reg.GetRaw(DriverKeyPathFor(api, "5.1"), name));
    }
    std::string Registry() { return test::FileText(dir / "registry.reg"); }
};

TEST(Hzwkctl, DetectPrintsEachProfilesReport) {
    int seen = 0;
    for (const auto& entry : fs::directory_iterator(kProfiles)) {
        if (!entry.is_directory()) continue;
        SCOPED_TRACE(entry.path());
        ++seen;
        const std::string expected = test::FileText(entry.path() / "expected-report.txt");
        const CtlRun r = Ctl("detect --machine '" + entry.path().string() + "'");
        if (expected.empty()) {  // the program ends before its report on this machine
            EXPECT_TRUE(r.status == 1 && r.out.empty() && r.err.find("No compatible") != std::string::npos) << r.err;
        } else {
            ASSERT_EQ(r.status, 0) << r.err;
            EXPECT_EQ(r.out.substr(r.out.find('\n') + 1), expected);  // after the "[date][time]" line
        }
    }
    EXPECT_GE(seen, 5);
    // Two monitors on one adapter: both names, the narrower of each range.
    const CtlRun monitor = Ctl("monitor --machine '" + (kProfiles / "win2000-ti4200").string() + "'");
    EXPECT_EQ(std::to_string(monitor.status) + monitor.out,
              "0Monitor: COMPAQ P1220 + SAM 1057\nHorizontal: 30-70 kHz\nVertical: 50-160 Hz\n");
}

std::set<std::string> Backups(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().filename().string().rfind("hzwk-backup-", 0) == 0) names.insert(e.path().string());
    return names;
}

// Each layout: compose prints what apply writes and logs, reset writes the default, and the
// backups the two writes left put each earlier state back byte for byte (on 3090: absent).
TEST(Hzwkctl, ComposeAgreesWithApplyResetAndRestore) {
    const struct { const char *profile, *valueName; std::string defaultHead; } cases[] = {
        {"xp-ti4600-3090", "NV25_Modes", NormalDefaultTable()},
        {"xp-ti4600-4109", "NV_Modes", StarDefaultList()},
        {"xp-ti4600-4012-compressed", "NV25_Modes_Delta", "S 1600,900,-16,120;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.profile);
        ScratchProfile p(c.profile);
        const std::string original = p.Value(c.valueName), rates = " 640x480=100 1024x768=N/A 1360x768=72 2048x1536=60";
        const CtlRun composed = Ctl("compose" + p.machine + rates);
        ASSERT_EQ(composed.status + Ctl("apply" + p.machine + rates).status, 0) << composed.err;
        const std::string applied = p.Value(c.valueName), log = test::FileText(p.dir / "debug.txt");
        EXPECT_EQ(applied + "\n", composed.out);
        EXPECT_TRUE(log.rfind("Added registry value: ", 0) == 0 && log.substr(log.size() - 2) == "\r\n") << log;
        const std::string first = *Backups(p.dir).begin();

        ASSERT_EQ(Ctl("reset" + p.machine).out, "Default values reset successfully\n");
        EXPECT_EQ(p.Value(c.valueName).rfind(c.defaultHead, 0), 0u);
        std::set<std::string> second = Backups(p.dir);
        ASSERT_TRUE(second.erase(first) == 1 && second.size() == 1);
        const CtlRun r = Ctl("restore '" + *second.begin() + "'" + p.machine);
        EXPECT_EQ(r.out, std::string("Restored ") + c.valueName + " from " + *second.begin() + "\n");
        EXPECT_EQ(p.Value(c.valueName), applied);
        ASSERT_EQ(Ctl("restore '" + first + "'" + p.machine).status, 0);
        EXPECT_EQ(p.Value(c.valueName), original);
    }
}

// Without a machine: the value name a version and adapter give; only the second TV-out
// resolution stored, from 4000 on: one blank, then the item with its own.
TEST(Hzwkctl, ComposeFromAVersionAlone) {
    EXPECT_EQ(Ctl("compose --version 6.14.10.4109 --value-name 'NVIDIA GeForce3'").out, "NV_Modes\n");
    EXPECT_EQ(Ctl("compose --version 6.14.10.3090 --compressed --value-name 'NVIDIA GeForce3'").out, "NV20_Modes_Delta\n");
    const std::string out = Ctl("compose --version 6.14.10.4012 --compressed --tv '' --tv 640x480").out;
    EXPECT_EQ(out.substr(out.size() - 30), ";2048,1536,-,-  640x480=803C;\n");
}

// Refused commands change neither registry.reg nor debug.txt and print nothing: bad arguments,
// rates beyond the monitor (unless forced) and files no backup holds say why on one line (a file
// too large for one before it is read); a write that cannot be saved is neither logged nor reported.
TEST(Hzwkctl, RefusedCommandsWriteNothing) {
    ScratchProfile p("xp-ti4600-3090");
    const std::string before = p.Registry(), crafted = (p.dir / "crafted.reg").string();
    const std::string apply = "apply" + p.machine + " ", restore = "restore '" + crafted + "'" + p.machine;
    const std::string key =
        "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Video\\"
        "{8F3A5C21-6B7D-4E90-A1C4-2D5E7F903B16}\\0000]\n\"NV25_Modes\"=";
    // file: the crafted backup's text, or the folder put in the way; size: the crafted file's (sparse)
    struct Case { std::string args; int status; std::string says, file; uintmax_t size; };
    std::vector<Case> cases;
    for (const std::string& args : {apply + "641x480=60", apply + "640x480", apply + "640x480=18446744073709551620",
                                    apply + "640x480=-60", apply + "640x480=+60", apply + "'640x480=6\r\n0'",
                                    "compose 640x480=60"s, "compose --version"s, "frobnicate"s, "'a\nb'"s,
                                    "compose --version 6.14.10.3090 --tv 800x600x2"s,
                                    "compose --version 6.14.10.3090 --tv 1x1 --tv 1x1 --tv 1x1"s,
                                    "compose" + p.machine + " --version 6.14.10.3090", "compose" + p.machine + " --tv 800x600"})
        cases.push_back({args, 2, "", "", 0});
    const std::string tooLarge = crafted + " is larger than 65536 bytes", writeError = "Error writing to the registry";
    cases.insert(cases.end(), {
        {restore, 2, tooLarge, key + "\"" + std::string(kMaxBackupBytes, '6') + "\"\n", 0},
        {restore, 2, tooLarge, "REGEDIT4\n", uintmax_t(1) << 32},
        {restore, 2, crafted + ": the file is for key SOFTWARE",
         "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\n\"NV25_Modes\"=\"x\"\n", 0},
        {apply + "640x400=121 1600x1200=82", 2, "hzwkctl: the monitor SONY CPD-G400 cannot show 640x400=121 (at most 120); "
                                                "nothing written (--force writes anyway)\n", "", 0},
        {apply + "640x480=100", 1, writeError, "registry.reg.tmp", 0},
        {"reset" + p.machine, 1, writeError, "registry.reg.tmp", 0},
        {apply + "640x480=100", 1, writeError, "debug.txt", 0},
    });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        if (c.status == 2 && !c.file.empty()) std::ofstream(crafted, std::ios::binary) << c.file;
        if (c.size) fs::resize_file(crafted, c.size);
        if (c.status == 1) fs::create_directories(p.dir / c.file / "kept");
        const CtlRun r = Ctl(c.args);
        EXPECT_TRUE(r.status == c.status && r.out.empty() && r.err.find(c.says) != std::string::npos) << r.err;
        EXPECT_TRUE(c.status == 1 || (std::count(r.err.begin(), r.err.end(), '\n') == 1 && Backups(p.dir).empty()));
        EXPECT_EQ(p.Registry(), before);
        EXPECT_FALSE(fs::is_regular_file(p.dir / "debug.txt"));
        if (c.status == 1) fs::remove_all(p.dir / c.file);
    }
    ASSERT_EQ(Ctl(apply + "--force 640x400=121").status, 0);  // beyond the monitor, as told
    EXPECT_NE(p.Registry(), before);
    // A quoted text goes back with the one NUL regedit gives it.
    std::ofstream(crafted, std::ios::binary) << key + "\"old\"\n";
    ASSERT_EQ(Ctl(restore).status, 0);
    EXPECT_EQ(p.Value("NV25_Modes"), "old\0"s);
}

}  // namespace
}  // namespace hzwk
