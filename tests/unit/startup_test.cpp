// Start-up: the four ways to end before the window, detection, thresholds, the report.
#include <gtest/gtest.h>

#include <deque>
#include <random>

#include "app/detect.h"
#include "app/report.h"
#include "catalogue/catalogue.h"
#include "fakes.h"
#include "app/main_form.h"

namespace hzwk::test {
namespace {

struct Machine {
    MemoryRegistry reg;
    ApiRegistry rules{reg};
    FakeOs os;
    ScriptedPrompt prompt;
    MainForm form{rules, os, prompt};
    Machine(const std::string& description, unsigned build, bool compressed, const std::string& osVersion = "5.1") {
        MakeXpMachine(reg, os, description, build, compressed, osVersion);
    }
};

std::string Last(Machine& m) { return Str(m.reg.GetRaw("SOFTWARE\\HZWK", "LastDetVersion")); }

TEST(Startup, XpGeForce4NormalFormatShowsWindowAndWritesReport) {
    Machine m("NVIDIA GeForce4 Ti 4600", 3090, false);
    m.os.modes = {{1024, 768, 32, 60}, {1024, 768, 32, 85}, {640, 480, 32, 75}};
    ASSERT_EQ(m.form.Load(""), StartupOutcome::ShowWindow);
    EXPECT_EQ(m.form.lblOS, "Windows XP");
    EXPECT_EQ(m.form.lblDetVersion, "6.14.10.3090");
    EXPECT_EQ(m.form.lblAdapters, "GeForce4 Ti 4600");
    EXPECT_EQ(m.form.label50, "Added Resolutions: None");
    const DriverContext& c = m.form.Context();
    EXPECT_EQ(c.ModeValueName, "NV25_Modes");
    EXPECT_EQ(c.DefaultModeList, NormalDefaultTable());
    EXPECT_FALSE(c.AnyRate);
    EXPECT_FALSE(m.form.cmdCalcEnabled || m.form.cmdCalcDefEnabled || m.form.text1Enabled ||
                 m.form.upDown24Enabled);
    EXPECT_EQ(m.form.grid.Row(kR1024x768).caption, "85");
    EXPECT_EQ(m.form.grid.Row(kR640x480).caption, "75");
    EXPECT_EQ(m.form.grid.Row(kR800x600).caption, "N/A");
    EXPECT_EQ(Last(m), "6.14.10.3090");  // stored without a NUL
    EXPECT_TRUE(m.prompt.shown.empty());
    // The report's lines are pinned per machine profile by hzwkctl detect; here its head.
    EXPECT_EQ(m.os.debugFile.rfind("[06.12.2026][19:40:07]\r\nWindows version: 5.1\r\n", 0), 0u);
}

TEST(Startup, Windows2000UsesTheFixedDriverKey) {
    Machine m("NVIDIA GeForce4 Ti 4200", 3090, false, "5.0");
    const std::string w2k = "SYSTEM\\CurrentControlSet\\Services\\nv\\Device0";
    m.reg.SetRaw(w2k, "Device Description", kRegSz, "NVIDIA GeForce2 Integrated GPU");
    m.reg.SetRaw(w2k, "InstalledDisplayDrivers", kRegMultiSz, std::string("nv4\0\0", 5));
    m.os.versions[m.os.systemDir + "\\nv4.dll"] = Version(5, 13, 1, 2840);
    ASSERT_EQ(m.form.Load(""), StartupOutcome::ShowWindow);
    EXPECT_EQ(m.form.lblOS, "Windows 2000");
    EXPECT_EQ(m.form.Context().DriverKeyPath, w2k);
    EXPECT_EQ(m.form.Context().DriverDll, "nv4");
    EXPECT_EQ(m.form.Context().ModeValueName, "NV11M_Modes");
    EXPECT_EQ(m.form.Context().DefaultModeList, IntegratedDefaultTable());
}

TEST(Startup, UnsupportedOperatingSystemsEndAfterTheirMessage) {
    for (const std::string v : {"6.0", "", "5.3", "5.1 "}) {
        Machine m("NVIDIA GeForce4 Ti 4600", 3090, false, v);
        if (v.empty()) m.reg.DeleteRaw("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "CurrentVersion");
        EXPECT_EQ(m.form.Load(""), StartupOutcome::UnsupportedOs) << v;
        ASSERT_EQ(m.prompt.shown.size(), 1u);
        EXPECT_EQ(m.prompt.shown[0].text, "No compatible Operating System found");
        EXPECT_EQ(m.prompt.shown[0].icon, Icon::Critical);
        EXPECT_EQ(m.form.lblOS, "");
        EXPECT_EQ(Last(m), "<absent>");
        EXPECT_EQ(m.os.debugFile, "");
    }
    EXPECT_EQ(OsCaption("5.2"), "Windows Server 2003");
}

TEST(Startup, OnlyASingleNvidiaDriverEntryIsAccepted) {
    struct Case {
        const char* what;
        uint32_t type;
        std::string data;
        bool accepted;
    };
    const Case cases[] = {
        {"nv4_disp", kRegMultiSz, std::string("nv4_disp\0\0", 10), true},
        {"nv4", kRegMultiSz, std::string("nv4\0\0", 5), true},
        {"two entries", kRegMultiSz, std::string("nv4_disp\0vga\0\0", 14), false},
        {"plain string", kRegSz, std::string("nv4_disp\0", 9), false},
        {"other vendor", kRegMultiSz, std::string("ati2dvag\0\0", 10), false},
        {"case differs", kRegMultiSz, std::string("NV4_DISP\0\0", 10), false},
        {"empty", kRegMultiSz, std::string(), false},
        {"larger than the buffer", kRegMultiSz, std::string(300, 'n') + std::string("\0\0", 2), false},
        {"exactly the buffer", kRegMultiSz, std::string(253, 'n') + std::string("\0\0", 2), false},
    };
    for (const Case& c : cases) {
        Machine m("NVIDIA GeForce4 Ti 4600", 3090, false);
        m.reg.SetRaw(kXpDeviceKey, "InstalledDisplayDrivers", c.type, c.data);
        m.os.versions[m.os.systemDir + "\\nv4.dll"] = Version(6, 14, 10, 3090);
        const StartupOutcome out = m.form.Load("");
        EXPECT_EQ(out == StartupOutcome::ShowWindow, c.accepted) << c.what;
        if (!c.accepted) {
            EXPECT_EQ(m.prompt.Texts(), std::vector<std::string>{"No compatible Detonator version found"}) << c.what;
            // The version is remembered even for a driver we do not support.
            EXPECT_EQ(Last(m), m.form.Context().DetonatorVersion) << c.what;
            EXPECT_EQ(m.os.debugFile, "") << c.what;
        }
    }
}

TEST(Startup, MissingValueAndMissingKeyAreNotNvidia) {
    Machine m("NVIDIA GeForce4 Ti 4600", 3090, false);
    m.reg.DeleteRaw(kXpDeviceKey, "InstalledDisplayDrivers");
    EXPECT_EQ(m.form.Load(""), StartupOutcome::UnsupportedDriver);
    EXPECT_EQ(m.form.Context().DetonatorVersion, "N/A");
    EXPECT_EQ(Last(m), "N/A");

    // \Device\Video0 too short to name a key: no key, no driver, no crash.
    Machine k("NVIDIA GeForce4 Ti 4600", 3090, false);
    k.reg.SetRaw("HARDWARE\\DEVICEMAP\\VIDEO", "\\Device\\Video0", kRegSz, "\\Registry\\Machine\\");
    EXPECT_EQ(k.form.Load(""), StartupOutcome::UnsupportedDriver);
    EXPECT_EQ(k.form.Context().DriverKeyPath, "");
}

TEST(Startup, VersionThresholdsCompareAsText) {
    struct Case {
        unsigned build;  // 0: no readable version
        bool compressed;
        bool anyRate;
        bool calculator;
    };
    const Case cases[] = {
        {4109, false, true, false}, {4109, true, true, true},  {4045, false, false, false},
        {4045, true, true, true},   {4041, true, true, true},  {4040, true, false, false},
        {930, false, false, false},  {930, true, false, false}, {0, false, true, false},
        {4100, false, true, false}, {4099, false, false, false},
    };
    for (const Case& c : cases) {
        Machine m("NVIDIA GeForce4 Ti 4600", c.build, c.compressed);
        if (c.build == 0) m.os.versions.clear();
        ASSERT_EQ(m.form.Load(""), StartupOutcome::ShowWindow);
        EXPECT_EQ(m.form.Context().AnyRate, c.anyRate) << c.build << " " << c.compressed;
        EXPECT_EQ(m.form.grid.AnyRate(), c.anyRate);
        EXPECT_EQ(m.form.cmdCalcEnabled, c.calculator) << c.build << " " << c.compressed;
        EXPECT_EQ(m.form.upDown24Enabled, c.calculator);
    }
}

TEST(Startup, StartupSwitchRunsOnlyForANewDriverTheUserAccepts) {
    const char* kQuestion = "New Detonator drivers found, do you want to run the program and re-apply your settings?";
    const struct {
        unsigned build;
        const char* stored;  // LastDetVersion before; nullptr: never stored (counts as unchanged)
        const char* args;
        std::deque<Answer> answers;
        StartupOutcome outcome;
        const char* storedAfter;
    } cases[] = {
        {3090, "6.14.10.3090", "/startup", {}, StartupOutcome::NoNewVersion, "6.14.10.3090"},
        {3090, nullptr, "/startup", {}, StartupOutcome::NoNewVersion, "<absent>"},
        {4109, "6.14.10.3090", "/startup", {Answer::No}, StartupOutcome::Declined, "6.14.10.3090"},
        {4109, "6.14.10.3090", "/startup", {Answer::Yes}, StartupOutcome::ShowWindow, "6.14.10.4109"},
        {3090, nullptr, "/Startup", {}, StartupOutcome::ShowWindow, "6.14.10.3090"},  // the switch is exact
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.build) + " " + c.args + " " + (c.stored ? c.stored : "-"));
        Machine m("NVIDIA GeForce4 Ti 4600", c.build, false);
        if (c.stored) m.rules.SaveStringValue("SOFTWARE\\HZWK", "LastDetVersion", c.stored);
        m.prompt.answers = c.answers;
        EXPECT_EQ(m.form.Load(c.args), c.outcome);
        EXPECT_EQ(Last(m), c.storedAfter);
        const bool asked = !c.answers.empty();
        EXPECT_EQ(m.os.beeps, asked ? 1 : 0);
        EXPECT_EQ(m.prompt.Texts(), asked ? std::vector<std::string>{kQuestion} : std::vector<std::string>{});
        if (asked) {
            EXPECT_EQ(m.prompt.shown[0].icon, Icon::None);
        }
        EXPECT_EQ(m.os.debugFile.empty(), c.outcome != StartupOutcome::ShowWindow);
        if (c.outcome == StartupOutcome::ShowWindow) {
            EXPECT_EQ(m.form.Context().StartupRun, asked);
            EXPECT_EQ(m.os.debugFile.find("Program mode: Startup Mode\r\n") != std::string::npos, asked);
        }
    }
}

TEST(Startup, OddDescriptionsAndAnUnwritableReportDoNotStopTheStart) {
    Machine m("NVIDIA", 3090, false);
    m.os.debugWritable = false;
    ASSERT_EQ(m.form.Load(""), StartupOutcome::ShowWindow);
    EXPECT_EQ(m.form.lblAdapters, "");
    EXPECT_EQ(m.form.Context().ModeValueName, "");

    Machine n("Generic VGA adapter", 3090, false);  // the cut does not look for the vendor's name
    ASSERT_EQ(n.form.Load(""), StartupOutcome::ShowWindow);
    EXPECT_EQ(n.form.lblAdapters, " VGA adapter");
}

TEST(Report, TvLineShowsWhatStartupRead) {
    DriverContext c;
    TvResolutions tv{" 800", " 600", "", ""};
    auto lines = DiagnosticReportLines(c, tv, "d", "t");
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[9], "TV Resolutions: 1.  800x 600 2. ");
    lines = DiagnosticReportLines(c, TvResolutions{"800", "", "640", "480"}, "d", "t");
    EXPECT_EQ(lines[9], "TV Resolutions: 1.  2. 640x480");
}

TEST(Startup, StoredTvOutReachesReportAndCaption) {
    Machine m("NVIDIA GeForce4 Ti 4600", 3090, false);
    m.rules.SaveStringValue("SOFTWARE\\HZWK", "ResW1", "800");
    m.rules.SaveStringValue("SOFTWARE\\HZWK", "ResH1", "600");
    ASSERT_EQ(m.form.Load(""), StartupOutcome::ShowWindow);
    EXPECT_EQ(m.form.label50, "Added Resolutions: 800x600");
    EXPECT_NE(m.os.debugFile.find("TV Resolutions: 1.  800x 600 2. \r\n"), std::string::npos);
}

// Whatever another program left in the values start-up reads, the program neither crashes
// nor lets stray text into the driver's mode list.
TEST(Startup, ArbitraryRegistryContentsNeverCrashOrLeakIntoTheModeList) {
    std::mt19937 rng(20261206);
    const uint32_t types[] = {kRegSz, kRegExpandSz, kRegMultiSz, kRegDword, kRegBinary, kRegNone};
    auto randomBytes = [&](size_t maxLen) {
        std::string s(rng() % (maxLen + 1), '\0');
        const char alphabet[] = "0123456789.x ,;=\\\"{}NVIDIA nv4_disp\0\xff";
        for (char& c : s) c = alphabet[rng() % (sizeof alphabet - 1)];
        return s;
    };
    const std::string hzwk = "SOFTWARE\\HZWK";
    const std::pair<std::string, std::string> values[] = {
        {"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "CurrentVersion"},
        {"HARDWARE\\DEVICEMAP\\VIDEO", "\\Device\\Video0"}, {kXpDeviceKey, "Device Description"},
        {kXpDeviceKey, "InstalledDisplayDrivers"}, {kXpDeviceKey, "UseCompressedModeFormat"},
        {hzwk, "LastDetVersion"}, {hzwk, "LoadOnStartup"}, {hzwk, "ResW1"}, {hzwk, "ResH1"}, {hzwk, "ResW2"},
        {hzwk, "ResH2"},
    };
    int shown = 0;
    for (int round = 0; round < 400; ++round) {
        MemoryRegistry reg;
        ApiRegistry rules(reg);
        FakeOs os;
        ScriptedPrompt prompt;
        MakeXpMachine(reg, os, "NVIDIA GeForce4 Ti 4600", 3000 + rng() % 1200, rng() % 2);
        for (const auto& [key, name] : values)
            if (rng() % 3 == 0) reg.SetRaw(key, name, types[rng() % 6], randomBytes(300));
        os.modes = {{640, 480, 32, static_cast<uint32_t>(rng())}, {1024, 768, 16, static_cast<uint32_t>(rng() % 300)}};
        prompt.answers = {Answer::Yes, Answer::Yes, Answer::Yes};
        MainForm form(rules, os, prompt);
        if (form.Load(rng() % 2 ? "/startup" : "") != StartupOutcome::ShowWindow) continue;
        ++shown;
        prompt.answers = {Answer::Yes};
        if (form.CmdApplyClick() != WriteOutcome::Written) continue;
        const auto value = reg.GetRaw(form.Context().DriverKeyPath, form.Context().ModeValueName);
        ASSERT_TRUE(value.has_value());
        for (char c : value->bytes)
            ASSERT_NE(std::string("0123456789ABCDEFSHVAx=;,-{}* ").find(c), std::string::npos)
                << "round " << round << ": " << value->bytes;
    }
    EXPECT_GT(shown, 40);  // enough runs get past the checks to reach Apply
}

}  // namespace
}  // namespace hzwk::test
