// The main window's events driven one by one: Apply, Set Defaults, advanced mode,
// the calculator's default button, auto-start, the TV-out window and Help.
#include <gtest/gtest.h>

#include <stdexcept>

#include "catalogue/catalogue.h"
#include "fakes.h"
#include "modelist/compose.h"
#include "modelist/backup.h"
#include "app/tvout_form.h"

namespace hzwk::test {
namespace {

constexpr const char kConfirmApply[] = "Are you sure you want to apply these values to the registry?";
constexpr const char kConfirmReset[] = "Are you sure you wish to set the Nvidia driver default values?";
constexpr const char kError[] = "Error writing to the registry";

TEST(Apply, NoChangesNothingYesWritesTheComposedTableLogsItAndReports) {
    Machine m("NVIDIA GeForce4 Ti 4600", 3090, false);
    m.Start();
    m.form.StepperChanged(kR1280x1024, 6);
    m.prompt.answers = {Answer::No};
    m.form.CmdApplyClick();
    EXPECT_EQ(m.prompt.shown, (Boxes{{kConfirmApply, Icon::None}}));
    EXPECT_EQ(m.Value("NV25_Modes"), "<absent>");
    EXPECT_EQ(m.os.debugFile, "");
    EXPECT_TRUE(m.os.files.empty());  // no backup either

    m.prompt.shown.clear();
    m.prompt.answers = {Answer::Yes};
    m.form.CmdApplyClick();
    const std::string expected =
        ComposeModeList(m.form.CaptionsNow(), ComposeFlags{"3090", false, false}, m.form.TvPartsNow());
    EXPECT_EQ(expected.substr(0, 16), "8    640  480   ");
    EXPECT_EQ(m.Value("NV25_Modes"), expected);  // no NUL counted
    EXPECT_EQ(m.os.debugFile, "Added registry value: " + expected + "\r\n");
    EXPECT_EQ(m.prompt.shown,
              (Boxes{{kConfirmApply, Icon::None},
                     {"Values added succesfully. Please remember to REBOOT your computer for changes to take effect",
                      Icon::Information}}));

    m.prompt.answers = {Answer::Yes};  // twice: same value, TV-out entries once
    m.form.CmdApplyClick();
    EXPECT_EQ(m.Value("NV25_Modes"), expected);
}

// Before Apply or Set Defaults writes, the old value is saved: beside the program, else in
// AppData\Hertzwerk, and without a backup nothing is logged or written.
TEST(Apply, BacksUpTheOldValueFirstOrWritesNothing) {
    const std::string appData = "C:\\Documents and Settings\\u\\Application Data";
    const std::string ours = appData + "\\Hertzwerk";
    const std::string program = "C:\\Program Files\\Hertzwerk";
    const struct {
        bool reset;
        std::set<std::string> locked;
        std::string appData;
        std::string backupFolder;  // empty: no backup, nothing written
        bool clockBack;            // the ten kept are all newer than the new one
    } cases[] = {
        {false, {}, appData, program, false},        {true, {}, appData, program, false},
        {false, {program}, appData, ours, false},    {false, {program}, "", "", false},
        {true, {program, ours}, appData, "", false}, {false, {}, appData, program, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.backupFolder + (c.reset ? " reset" : " apply") + (c.clockBack ? " clock back" : ""));
        Machine m("NVIDIA GeForce4 Ti 4600", 3090, false);
        m.Start();
        const std::string old(5000, 'x');  // longer than a first read takes
        m.reg.SetRaw(kXpDeviceKey, "NV25_Modes", kRegSz, old);
        m.os.locked = c.locked;
        m.os.appData = c.appData;
        // Nine older backups and one from this very second: the new one is -2.
        auto& files = m.os.files[c.backupFolder];
        for (int i = 0; i < 9; ++i)
            files[(c.clockBack ? "hzwk-backup-2027110" : "hzwk-backup-2026110") + std::to_string(i % 6) +
                  "-000000-" + std::to_string(i + 2) + ".reg"];
        files[c.clockBack ? "hzwk-backup-20271206-194007.reg" : "hzwk-backup-20261206-194007.reg"];
        m.prompt.answers = {Answer::Yes};
        const WriteOutcome out = c.reset ? m.form.CmdResetClick() : m.form.CmdApplyClick();
        if (c.backupFolder.empty()) {
            EXPECT_EQ(out, WriteOutcome::Failed);
            EXPECT_EQ(m.prompt.shown[1].second, Icon::Critical);
            EXPECT_EQ(m.prompt.shown[1].first.rfind("Could not save a backup of the current mode list in \"" + program, 0), 0u);
            EXPECT_EQ(m.Value("NV25_Modes"), old);
            EXPECT_EQ(m.os.debugFile, "");
            continue;
        }
        EXPECT_EQ(out, WriteOutcome::Written);
        EXPECT_NE(m.Value("NV25_Modes"), old);
        EXPECT_EQ(files.size(), 11u);  // which old ones go is the backup tests' own
        BackupValue saved;
        std::string error;
        const std::string name = c.clockBack ? "hzwk-backup-20261206-194007.reg" : "hzwk-backup-20261206-194007-2.reg";
        ASSERT_TRUE(ReadBackupText(files[name], kXpDeviceKey, &saved, &error)) << error;
        EXPECT_EQ(saved.data->bytes, old);
    }
}

TEST(Apply, AnUnknownAdapterIsRefusedBeforeAnyQuestion) {
    Machine m("NVIDIA GeForce FX 5900", 3090, false);
    m.Start();
    const size_t before = m.reg.ValueNames(kXpDeviceKey).size();
    m.form.CmdApplyClick();  // no answer scripted: a question would fail the test
    m.form.CmdResetClick();
    const std::pair<std::string, Icon> unknown = {
        "Your graphics adapter was not recognised, so no mode list was written.", Icon::Critical};
    EXPECT_EQ(m.prompt.shown, (Boxes{unknown, unknown}));
    EXPECT_EQ(m.reg.ValueNames(kXpDeviceKey).size(), before);
    EXPECT_EQ(m.os.debugFile, "");
}

// The registry as it is, but once armed a text write throws, as a failed allocation would.
class ThrowingTextWrites final : public RegistryAccess {
public:
    explicit ThrowingTextWrites(RegistryAccess& r) : r_(r) {}
    bool armed = false;
    std::string GetStringValue(const std::string& k, const std::string& n, const std::string& d) override {
        return r_.GetStringValue(k, n, d);
    }
    bool SaveStringValue(const std::string& k, const std::string& n, const std::string& t) override {
        if (armed) throw std::bad_alloc();
        return r_.SaveStringValue(k, n, t);
    }
    int32_t GetDwordValue(const std::string& k, const std::string& n, int32_t d) override { return r_.GetDwordValue(k, n, d); }
    bool SaveDwordValue(const std::string& k, const std::string& n, int32_t v) override { return r_.SaveDwordValue(k, n, v); }
    bool DeleteRegValue(const std::string& k, const std::string& n) override { return r_.DeleteRegValue(k, n); }
    RawQuery QueryRaw(const std::string& k, const std::string& n, uint32_t s) override { return r_.QueryRaw(k, n, s); }
    std::vector<std::string> SubkeyNames(const std::string& k) override { return r_.SubkeyNames(k); }
    bool SaveRawValue(const std::string& k, const std::string& n, const RegData& d) override { return r_.SaveRawValue(k, n, d); }

private:
    RegistryAccess& r_;
};

// A log line that cannot be written stops before the registry; a refused or throwing
// registry write comes after its log line. All end in the one error, the value unwritten
// and the grid as it was.
TEST(WriteErrors, EveryFailureOfApplyOrSetDefaultsEndsInTheOneMessage) {
    const struct {
        bool reset, logFails, writeFails, writeThrows;
    } cases[] = {
        {false, true, false, false}, {false, false, true, false}, {false, false, false, true},
        {true, false, true, false},  {true, false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.reset << c.logFails << c.writeFails << c.writeThrows);
        Machine m("NVIDIA GeForce4 Ti 4600", 3090, false);
        ThrowingTextWrites throwing(m.rules);
        MainForm form(throwing, m.os, m.prompt);
        ASSERT_EQ(form.Load(""), StartupOutcome::ShowWindow);
        form.StepperChanged(kR640x480, 7);
        m.os.debugFile.clear();
        m.os.debugWritable = !c.logFails;
        m.reg.FailWrites(c.writeFails);
        throwing.armed = c.writeThrows;
        m.prompt.answers = {Answer::Yes};
        EXPECT_EQ(c.reset ? form.CmdResetClick() : form.CmdApplyClick(), WriteOutcome::Failed);
        EXPECT_EQ(m.prompt.shown, (Boxes{{c.reset ? kConfirmReset : kConfirmApply, Icon::None}, {kError, Icon::Critical}}));
        EXPECT_EQ(m.os.debugFile.rfind("Added registry value: ", 0), c.reset || c.logFails ? std::string::npos : 0u);
        EXPECT_EQ(m.Value("NV25_Modes"), "<absent>");
        EXPECT_EQ(form.grid.Row(kR640x480).caption, "120");
    }
}

TEST(Reset, WritesTheDefaultUnchangedAndRereadsTheGrid) {
    Machine m("NVIDIA GeForce4 Ti 4600", 3090, false);
    m.Start();
    m.form.StepperChanged(kR640x480, 7);
    m.prompt.answers = {Answer::No};
    m.form.CmdResetClick();
    EXPECT_EQ(m.Value("NV25_Modes"), "<absent>");
    EXPECT_EQ(m.form.grid.Row(kR640x480).caption, "85");  // re-read even after No

    m.prompt.shown.clear();
    m.prompt.answers = {Answer::Yes};
    m.form.CmdResetClick();
    EXPECT_EQ(m.Value("NV25_Modes"), NormalDefaultTable());
    EXPECT_EQ(m.prompt.shown,
              (Boxes{{kConfirmReset, Icon::None}, {"Default values reset successfully", Icon::None}}));
    EXPECT_EQ(m.os.debugFile, "");  // nothing logged
}

// An adapter with no default list known: refused after the question, nothing written.
TEST(Reset, NoDefaultListIsRefused) {
    Machine m("NVIDIA GeForce4 MX 440 with AGP8X", 3090, true);
    m.Start();
    const size_t before = m.reg.ValueNames(kXpDeviceKey).size();
    m.prompt.answers = {Answer::Yes};
    EXPECT_EQ(m.form.CmdResetClick(), WriteOutcome::Refused);
    EXPECT_EQ(m.prompt.shown, (Boxes{{kConfirmReset, Icon::None},
                                     {"No default mode list is known for this graphics adapter.", Icon::Critical}}));
    EXPECT_EQ(m.reg.ValueNames(kXpDeviceKey).size(), before);
}

TEST(AdvancedMode, OnSyncsAndEnablesOffLocksAndRereads) {
    Machine m("NVIDIA GeForce4 Ti 4600", 4012, false);
    m.rules.SaveDwordValue("SOFTWARE\\HZWK", "LoadOnStartup", 1);
    m.Start();
    m.rules.SaveDwordValue("SOFTWARE\\HZWK", "LoadOnStartup", 2);  // changed behind our back
    EXPECT_FALSE(m.form.cmdCalcEnabled);
    m.form.Check1Click();
    EXPECT_TRUE(m.form.advancedMode);
    EXPECT_EQ(m.prompt.shown, (Boxes{{"This program is not magic, and it will not allow you to display higher "
                                      "refresh rates than what your monitor supports. Use with caution.",
                                      Icon::Information}}));
    EXPECT_EQ(m.form.grid.Row(kR640x480).position, 5);  // "85"
    EXPECT_EQ(m.form.grid.Row(kR800x600).position, 4);
    for (const auto& r : m.form.grid.Rows()) EXPECT_TRUE(r.enabled);
    EXPECT_TRUE(m.form.cmdCalcEnabled && m.form.text1Enabled && m.form.cmdCalcDefEnabled && m.form.upDown24Enabled);
    EXPECT_FALSE(m.form.mnuLoadChecked);

    m.form.Text1Changed("96");
    m.form.CmdCalcClick();  // ladder mode: calculated rates off the ladder stay in the captions
    EXPECT_EQ(m.form.grid.Row(kR640x480).caption, "188");
    m.form.Check1Click();
    EXPECT_FALSE(m.form.advancedMode);
    for (const auto& r : m.form.grid.Rows()) EXPECT_FALSE(r.enabled);
    EXPECT_EQ(m.form.grid.Row(kR640x480).caption, "85");
    EXPECT_FALSE(m.form.cmdCalcEnabled || m.form.text1Enabled || m.form.cmdCalcDefEnabled || m.form.upDown24Enabled);
    EXPECT_EQ(m.prompt.shown.size(), 1u);  // no warning when switching off
}

TEST(AdvancedMode, OldDriversKeepTheCalculatorOff) {
    Machine m("NVIDIA GeForce4 Ti 4600", 3090, false);
    m.Start();
    m.form.Check1Click();
    EXPECT_FALSE(m.form.cmdCalcEnabled);
}

TEST(Calculator, TypingMakesSetTheDefaultButtonUntilItRuns) {
    Machine m("NVIDIA GeForce4 Ti 4600", 4109, true);
    m.Start();
    EXPECT_TRUE(m.form.cmdCalcEnabled);
    EXPECT_FALSE(m.form.cmdCalcIsDefault);
    m.form.UpDown24Changed(500);  // held at the stepper's top
    EXPECT_EQ(m.form.text1, "150");
    m.form.UpDown24Changed(96);
    EXPECT_EQ(m.form.text1, "96");
    EXPECT_TRUE(m.form.cmdCalcIsDefault);
    m.form.CmdCalcClick();
    EXPECT_FALSE(m.form.cmdCalcIsDefault);
    EXPECT_EQ(m.form.grid.Row(kR848x480).caption, "188");
    m.form.CmdCalcDefClick();
    EXPECT_EQ(m.form.grid.Row(kR848x480).caption, "N/A");
    EXPECT_EQ(m.form.grid.Row(kR640x480).caption, "85");
}

// Start-up fills the calculator from the monitor's highest line rate (whole kHz, at most the
// stepper's 150) as the program's own text: Set is not made the default button.
TEST(Calculator, StartsFromTheMonitorsLineRateWithoutTakingTheDefault) {
    const struct {
        const char* file;
        const char* text1;
    } cases[] = {
        {"SNY0290-FB6A64.bin", "107"},
        {"SAM72C0-960104.bin", "150"},  // 372 kHz
        {"IQT0703-2C05FD.bin", ""},     // no range limits: as without a monitor
    };
    for (const auto& c : cases) {
        Machine m("NVIDIA GeForce4 Ti 4600", 4109, true);
        AddMonitor(m.reg, "MON0001", EdidFile(c.file));
        m.Start();
        EXPECT_EQ(m.form.text1, c.text1) << c.file;
        EXPECT_EQ(std::to_string(m.form.upDown24Position), *c.text1 ? c.text1 : "0") << c.file;
        EXPECT_FALSE(m.form.cmdCalcIsDefault) << c.file;
        EXPECT_TRUE(m.form.cmdCalcEnabled) << c.file;
    }
}

TEST(AutoStart, OnStoresAQuotedCommandOffDeletesBoth) {
    Machine m("NVIDIA GeForce4 Ti 4600", 3090, false);
    m.Start();
    const std::string run = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    m.form.MnuLoadClick();
    EXPECT_TRUE(m.form.mnuLoadChecked);
    EXPECT_EQ(Str(m.reg.GetRaw(run, "HZWK")), "\"C:\\Program Files\\Hertzwerk\\hzwk.exe\" /startup");
    EXPECT_EQ(m.Setting("LoadOnStartup"), std::string("\1\0\0\0", 4));
    m.form.MnuLoadClick();
    EXPECT_FALSE(m.form.mnuLoadChecked);
    EXPECT_EQ(Str(m.reg.GetRaw(run, "HZWK")), "<absent>");
    EXPECT_EQ(m.Setting("LoadOnStartup"), "<absent>");
    EXPECT_TRUE(m.prompt.shown.empty());

    m.reg.FailWrites(true);  // the check mark shows what is stored
    m.form.MnuLoadClick();
    EXPECT_FALSE(m.form.mnuLoadChecked);
    EXPECT_EQ(m.prompt.shown, (Boxes{{kError, Icon::Critical}}));

    m.reg.FailWrites(false);  // only the Run key refused: checked, but still an error
    m.reg.DenyKey(run, true);
    m.form.MnuLoadClick();
    EXPECT_TRUE(m.form.mnuLoadChecked);
    EXPECT_EQ(m.prompt.shown, (Boxes{{kError, Icon::Critical}, {kError, Icon::Critical}}));
}

TEST(TvOut, OkStoresValidPairsAndRefusesEqualOrNonNumericOnes) {
    Machine m("NVIDIA GeForce4 Ti 4600", 3090, false);
    TvOutForm f(m.rules, m.prompt);
    f.Load();
    EXPECT_FALSE(f.CmdDoneClick());  // two empty pairs are equal
    EXPECT_EQ(m.prompt.shown, (Boxes{{"Please add 2 different resolutions", Icon::Information}}));
    EXPECT_FALSE(m.reg.KeyExists("SOFTWARE\\HZWK"));

    f.txtW1 = "0", f.txtH1 = "480", f.txtW2 = "640", f.txtH2 = "480";
    EXPECT_TRUE(f.CmdDoneClick());
    EXPECT_EQ(m.Setting("ResW1") + m.Setting("ResH1"), "");
    EXPECT_EQ(m.Setting("ResW2") + m.Setting("ResH2"), "640480");

    m.prompt.shown.clear();
    f.txtW1 = "12345", f.txtH1 = "600";  // a whole number, but too wide for the driver's table
    EXPECT_FALSE(f.CmdDoneClick());
    EXPECT_EQ(m.prompt.shown[0].first, "Widths and heights must be whole numbers from 1 to 9999.");
    EXPECT_EQ(m.Setting("ResW1"), "");

    f.Command3Click();  // fills the boxes only
    EXPECT_EQ(m.Setting("ResW1"), "");
    EXPECT_TRUE(f.CmdDoneClick());
    f.Command1Click();
    f.Command2Click();
    EXPECT_EQ(f.txtW1 + f.txtH1 + f.txtW2 + f.txtH2, "");
    f.Load();
    EXPECT_EQ(f.txtW1 + "x" + f.txtH1 + " " + f.txtW2 + "x" + f.txtH2, "800x600 640x480");

    m.rules.SaveStringValue("SOFTWARE\\HZWK", "ResW1", "");
    m.rules.SaveStringValue("SOFTWARE\\HZWK", "ResH1", "");
    m.form.TvOutStored();
    EXPECT_EQ(m.form.label50, "Added Resolutions: ; 640x480");
}

// Help > Topics: the program's folder, a backslash, the file name (after a drive root's own
// backslash too); a viewer that cannot open it is the one critical message.
TEST(HelpTopics, PathAlwaysAddsTheSeparatorAndFailureIsReported) {
    for (const bool opens : {true, false}) {
        Machine m("NVIDIA GeForce4 Ti 4600", 3090, false);
        m.os.folder = opens ? "C:\\" : "D:\\Tools";
        m.os.helpOpens = opens;
        m.form.MnuTopicsClick();
        EXPECT_EQ(m.os.help, std::vector<std::string>{opens ? "C:\\\\hzwkhelp.chm" : "D:\\Tools\\hzwkhelp.chm"});
        EXPECT_EQ(m.prompt.shown, (opens ? Boxes{} : Boxes{{"Help file (hzwkhelp.chm) not found", Icon::Critical}}));
    }
}

}  // namespace
}  // namespace hzwk::test
