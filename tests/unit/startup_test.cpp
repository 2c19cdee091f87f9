// Start-up: the ways to end before the window, detection, the version thresholds, the report.
#include <gtest/gtest.h>

#include <deque>

#include "app/detect.h"
#include "fakes.h"

namespace hzwk::test {
namespace {

TEST(Startup, XpGeForce4NormalFormatShowsWindowAndWritesReport) {
    Machine m("NVIDIA GeForce4 Ti 4600", 3090, false);
    m.os.modes = {{1024, 768, 32, 60}, {1024, 768, 32, 85}, {640, 480, 32, 75}};
    ASSERT_EQ(m.form.Load(""), StartupOutcome::ShowWindow);
    EXPECT_EQ(m.form.lblOS + "|" + m.form.lblDetVersion + "|" + m.form.lblAdapters + "|" + m.form.label50,
              "Windows XP|6.14.10.3090|GeForce4 Ti 4600|Added Resolutions: None");
    EXPECT_EQ(m.form.Context().ModeValueName, "NV25_Modes");
    EXPECT_EQ(m.form.grid.Row(kR1024x768).caption + m.form.grid.Row(kR640x480).caption, "8575");
    EXPECT_EQ(m.Setting("LastDetVersion"), "6.14.10.3090");  // stored without a NUL
    EXPECT_TRUE(m.prompt.shown.empty());
    // The report's lines are pinned per machine profile by hzwkctl detect; here its head.
    EXPECT_EQ(m.os.debugFile.rfind("[06.12.2026][19:40:07]\r\nWindows version: 5.1\r\n", 0), 0u);
    // Odd descriptions and a report that cannot be written do not stop the start; the cut
    // takes the first seven characters without looking for the vendor's name.
    for (const auto& [description, caption] : {std::pair{"NVIDIA", ""}, {"Generic VGA adapter", " VGA adapter"}}) {
        Machine odd(description, 3090, false);
        odd.os.debugWritable = false;
        ASSERT_EQ(odd.form.Load(""), StartupOutcome::ShowWindow);
        EXPECT_EQ(odd.form.lblAdapters + "|" + odd.form.Context().ModeValueName, caption + std::string("|"));
    }
}

// The OS, the driver key from the kernel path (cut by count: a value no longer than the prefix
// names no key), and a single NVIDIA driver entry, or the start ends after its message.
TEST(Startup, DetectionRefusesWhatItDoesNotKnow) {
    for (const std::string v : {"6.0", "", "5.3", "5.1 "}) {
        Machine m("NVIDIA GeForce4 Ti 4600", 3090, false, v);
        if (v.empty()) m.reg.DeleteRaw("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "CurrentVersion");
        EXPECT_EQ(m.form.Load(""), StartupOutcome::UnsupportedOs) << v;
        EXPECT_EQ(m.prompt.shown, (Boxes{{"No compatible Operating System found", Icon::Critical}}));
        EXPECT_EQ(m.Setting("LastDetVersion") + m.os.debugFile, "<absent>");
    }
    EXPECT_EQ(OsCaption("5.0") + ", " + OsCaption("5.2"), "Windows 2000, Windows Server 2003");
    for (const auto& [video0, key] : {std::pair{"\\Registry\\Machine\\", ""}, {"\\Registry\\Machine\\S", "S"}, {"", ""}}) {
        MemoryRegistry reg;
        ApiRegistry rules(reg);
        reg.SetRaw("HARDWARE\\DEVICEMAP\\VIDEO", "\\Device\\Video0", kRegSz, video0 + std::string(1, '\0'));
        EXPECT_EQ(DriverKeyPathFor(rules, "5.1"), key) << video0;
    }
    const std::pair<uint32_t, std::string> drivers[] = {
        {kRegMultiSz, std::string("nv4_disp\0\0", 10)}, {kRegMultiSz, std::string("nv4\0\0", 5)},
        {kRegMultiSz, std::string("nv4_disp\0vga\0\0", 14)}, {kRegSz, std::string("nv4_disp\0", 9)},
        {kRegMultiSz, std::string("ati2dvag\0\0", 10)}, {kRegMultiSz, std::string("NV4_DISP\0\0", 10)},
        {kRegMultiSz, std::string()}, {kRegMultiSz, std::string("\0", 1)},
        {kRegMultiSz, std::string(300, 'n') + std::string("\0\0", 2)}};
    for (const auto& [type, data] : drivers) {
        Machine m("NVIDIA GeForce4 Ti 4600", 3090, false);
        m.reg.SetRaw(kXpDeviceKey, "InstalledDisplayDrivers", type, data);
        m.os.versions[m.os.systemDir + "\\nv4.dll"] = Version(6, 14, 10, 3090);
        const bool accepted = &data == &drivers[0].second || &data == &drivers[1].second;
        EXPECT_EQ(m.form.Load("") == StartupOutcome::ShowWindow, accepted) << data;
        if (accepted) continue;
        EXPECT_EQ(m.prompt.shown, (Boxes{{"No compatible Detonator version found", Icon::Critical}})) << data;
        EXPECT_EQ(m.Setting("LastDetVersion") + m.os.debugFile, m.form.Context().DetonatorVersion) << data;
    }
}

// Versions compare as text: any rate from 4041 with the compressed format or from 4100; the
// calculator only with any rate and the compressed format.
TEST(Startup, VersionThresholdsCompareAsText) {
    const struct { unsigned build; /* 0: no readable version */ bool compressed, anyRate, calculator; } cases[] = {{4109, false, true, false}, {4109, true, true, true},   {4045, false, false, false},
                 {4041, true, true, true},   {4040, true, false, false}, {930, true, false, false},
                 {0, false, true, false},    {4100, false, true, false}, {4099, false, false, false}};
    for (const auto& c : cases) {
        Machine m("NVIDIA GeForce4 Ti 4600", c.build, c.compressed);
        if (c.build == 0) m.os.versions.clear();
        ASSERT_EQ(m.form.Load(""), StartupOutcome::ShowWindow);
        EXPECT_EQ(std::to_string(m.form.Context().AnyRate && m.form.grid.AnyRate()) + std::to_string(m.form.cmdCalcEnabled &&
                  m.form.upDown24Enabled), std::to_string(c.anyRate) + std::to_string(c.calculator)) << c.build << " " << c.compressed;
    }
}

TEST(Startup, StartupSwitchRunsOnlyForANewDriverTheUserAccepts) {
    const char* kQuestion = "New Detonator drivers found, do you want to run the program and re-apply your settings?";
    const struct {  // stored: LastDetVersion before; nullptr: never stored (counts as unchanged)
        unsigned build;
        const char *stored, *args;
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
        EXPECT_EQ(m.Setting("LastDetVersion"), c.storedAfter);
        const bool asked = !c.answers.empty();
        EXPECT_EQ(m.os.beeps + m.prompt.shown.size(), asked ? 2u : 0u);
        EXPECT_EQ(m.prompt.shown, (asked ? Boxes{{kQuestion, Icon::None}} : Boxes{}));
        EXPECT_EQ(m.os.debugFile.empty(), c.outcome != StartupOutcome::ShowWindow);
        const bool mode = m.os.debugFile.find("Program mode: Startup Mode\r\n") != std::string::npos;
        EXPECT_EQ(mode && m.form.Context().StartupRun, asked && c.outcome == StartupOutcome::ShowWindow);
    }
}

}  // namespace
}  // namespace hzwk::test
