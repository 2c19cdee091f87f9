// The main window's events driven one by one: Apply, Set Defaults, advanced mode, the
// calculator, auto-start and Help; start-up; the About and TV-out windows.
#include "fakes.h"

#include <cstring>
#include <stdexcept>

#include "app/about_form.h"
#include "app/detect.h"
#include "app/tvout_form.h"
#include "catalogue/catalogue.h"
#include "modelist/backup.h"
#include "modelist/compose.h"
#include "tvout/tv_entries.h"

namespace hzwk::test {
namespace {

constexpr const char kConfirmApply[] = "Are you sure you want to apply these values to the registry?";
constexpr const char kConfirmReset[] = "Are you sure you wish to set the Nvidia driver default values?";
constexpr const char kError[] = "Error writing to the registry";

// The registry as it is, but once armed a text write throws, as a failed allocation would.
struct ThrowingTextWrites final : ApiRegistry {
    using ApiRegistry::ApiRegistry;
    bool armed = false;
    bool SaveStringValue(const std::string& k, const std::string& n, const std::string& t) override {
        return armed ? throw std::bad_alloc() : ApiRegistry::SaveStringValue(k, n, t);
    }
};

// Yes: the old value is saved beside the program, else in AppData\Hertzwerk, then Apply writes
// and logs the composed value (no NUL counted), Set Defaults the default list unlogged, and
// each reports. Without a backup nothing is logged or written. A log line that cannot be
// written stops before the registry; a refused or throwing registry write comes after its log
// line: all end in the one error, the old value kept, the grid as it was. An adapter the
// catalogue does not know is refused before any question, one without a default list after it.
TEST(Apply, BacksUpWritesAndReportsAndAnyFailureWritesNothing) {
    const std::string appData = "C:\\Documents and Settings\\u\\Application Data", program = "C:\\Program Files\\Hertzwerk";
    const std::string ours = appData + "\\Hertzwerk";
    enum Fault { kNone, kLog, kWrite, kThrow };
    const std::string ti = "NVIDIA GeForce4 Ti 4600", fx = "NVIDIA GeForce FX 5900", mx = "NVIDIA GeForce4 MX 440 with AGP8X";
    // backupFolder empty: no backup, nothing written; clockBack: the ten kept are all newer than
    // the new one; the MX adapter has the compressed format
    const struct { bool reset; std::set<std::string> locked; std::string appData, backupFolder; bool clockBack;
                   Fault fault = kNone; std::string adapter = "NVIDIA GeForce4 Ti 4600"; } cases[] = {{false, {}, appData, program, false}, {true, {program}, appData, ours, false},
                 {false, {program}, "", "", false},    {true, {program, ours}, appData, "", false},
                 {false, {}, appData, program, true},  {false, {}, appData, program, false, kLog},
                 {false, {}, appData, program, false, kWrite}, {false, {}, appData, program, false, kThrow},
                 {true, {}, appData, program, false, kWrite},  {true, {}, appData, program, false, kThrow},
                 {false, {}, appData, program, false, kNone, fx}, {true, {}, appData, program, false, kNone, fx},
                 {true, {}, appData, program, false, kNone, mx}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.adapter + " " + c.backupFolder + (c.reset ? " reset" : " apply") + (c.clockBack ? " clock back " : " ") + "abcd"[c.fault]);
        Machine m(c.adapter, 3090, c.adapter == mx);
        ThrowingTextWrites throwing(m.reg);
        MainForm form(throwing, m.os, m.prompt);
        ASSERT_EQ(form.Load(""), StartupOutcome::ShowWindow);
        form.StepperChanged(kR640x480, 7);
        const std::string old(5000, 'x');  // longer than a first read takes
        m.reg.SetRaw(kXpDeviceKey, "NV25_Modes", kRegSz, old);
        m.os.locked = c.locked, m.os.appData = c.appData, m.os.debugFile = "report\r\n", m.prompt.shown.clear();
        // Nine older backups and one from this very second: the new one is -2.
        auto& files = m.os.files[c.backupFolder];
        for (int i = 0; i < 9; ++i)
            files[(c.clockBack ? "hzwk-backup-2027110" : "hzwk-backup-2026110") + std::to_string(i % 6) +
                  "-000000-" + std::to_string(i + 2) + ".reg"];
        files[c.clockBack ? "hzwk-backup-20271206-194007.reg" : "hzwk-backup-20261206-194007.reg"];
        m.os.debugWritable = c.fault != kLog;
        m.reg.FailWrites(c.fault == kWrite);
        throwing.armed = c.fault == kThrow;
        m.prompt.answers = {Answer::Yes};
        const WriteOutcome out = c.reset ? form.CmdResetClick() : form.CmdApplyClick();
        const bool refused = c.adapter != ti, fails = refused || c.backupFolder.empty() || c.fault;
        const std::string ask = c.reset ? kConfirmReset : kConfirmApply, written = c.reset ? NormalDefaultTable()
            : ComposeModeList(form.CaptionsNow(), {"3090", false, false}, form.TvPartsNow());
        EXPECT_EQ(out, refused ? WriteOutcome::Refused : fails ? WriteOutcome::Failed : WriteOutcome::Written);
        EXPECT_EQ(m.Value("NV25_Modes"), fails ? old : written);
        EXPECT_EQ(m.os.debugFile, c.reset || refused || c.backupFolder.empty() || c.fault == kLog
                                      ? "report\r\n" : "report\r\nAdded registry value: " + written + "\r\n");
        EXPECT_EQ(m.reg.ValueNames(kXpDeviceKey).size(), c.adapter == mx ? 4u : 3u);  // no other value written
        if (refused) {  // no answer is asked for an unknown adapter
            EXPECT_EQ(m.prompt.shown,
                      (c.adapter == fx ? Boxes{{"Your graphics adapter was not recognised, so no mode list was written.", Icon::Critical}}
                                       : Boxes{{kConfirmReset, Icon::None},
                                               {"No default mode list is known for this graphics adapter.", Icon::Critical}}));
        } else if (c.fault) {
            EXPECT_EQ(m.prompt.shown, (Boxes{{ask, Icon::None}, {kError, Icon::Critical}}));
            EXPECT_EQ(form.grid.Row(kR640x480).caption, "120");
        } else if (c.backupFolder.empty()) {
            EXPECT_EQ(m.prompt.shown[1].second, Icon::Critical);
            EXPECT_EQ(m.prompt.shown[1].first.rfind("Could not save a backup of the current mode list in \"" + program, 0), 0u);
        } else {
            EXPECT_EQ(m.prompt.shown, (Boxes{{ask, Icon::None}, c.reset ? Boxes::value_type{"Default values reset successfully", Icon::None}
                : Boxes::value_type{"Values added succesfully. Please remember to REBOOT your computer for changes to take effect",
                                    Icon::Information}}));
            EXPECT_EQ(files.size(), 11u);  // which old ones go is the backup tests' own
            BackupValue saved;
            std::string error, name = c.clockBack ? "hzwk-backup-20261206-194007.reg" : "hzwk-backup-20261206-194007-2.reg";
            ASSERT_TRUE(ReadBackupText(files[name], kXpDeviceKey, &saved, &error)) << error;
            EXPECT_EQ(saved.data->bytes, old);
        }
    }
}

// On: the warning, steppers synced to their captions and enabled, the TV-out line cleared, the
// calculator from 4000 on, the check mark re-read. Off: steppers locked, rates re-read.
TEST(AdvancedMode, OnSyncsAndEnablesOffLocksAndRereads) {
    for (const unsigned build : {4012u, 3999u}) {
        Machine m("NVIDIA GeForce4 Ti 4600", build, false);
        m.rules.SaveDwordValue("SOFTWARE\\HZWK", "LoadOnStartup", 1);
        for (const char* name : {"ResW1", "ResH1"}) m.rules.SaveStringValue("SOFTWARE\\HZWK", name, name[3] == 'W' ? "800" : "600");
        m.Start();
        EXPECT_EQ(m.form.label50, "Added Resolutions: 800x600");
        m.rules.SaveDwordValue("SOFTWARE\\HZWK", "LoadOnStartup", 2);  // changed behind our back
        m.form.Check1Click();
        EXPECT_EQ(m.prompt.shown, (Boxes{{"This program is not magic, and it will not allow you to display higher "
                                          "refresh rates than what your monitor supports. Use with caution.", Icon::Information}}));
        EXPECT_EQ(m.form.grid.Row(kR640x480).position * 10 + m.form.grid.Row(kR800x600).position, 54);  // "85", "75"
        for (const auto& r : m.form.grid.Rows()) EXPECT_TRUE(r.enabled);
        EXPECT_EQ(m.form.cmdCalcEnabled && m.form.text1Enabled && m.form.cmdCalcDefEnabled && m.form.upDown24Enabled, build == 4012);
        EXPECT_TRUE(m.form.label50 == "Added Resolutions: None" && m.form.advancedMode && !m.form.mnuLoadChecked);
        m.form.Text1Changed("96");
        m.form.CmdCalcClick();  // ladder mode: calculated rates off the ladder stay in the captions
        EXPECT_EQ(m.form.grid.Row(kR640x480).caption, "188");
        m.rules.SaveDwordValue("SOFTWARE\\HZWK", "LoadOnStartup", 1);
        m.form.Check1Click();
        for (const auto& r : m.form.grid.Rows()) EXPECT_FALSE(r.enabled);
        // The check mark re-read again; no warning when switching off.
        EXPECT_TRUE(m.form.grid.Row(kR640x480).caption == "85" && m.form.mnuLoadChecked && m.prompt.shown.size() == 1);
        EXPECT_FALSE(m.form.advancedMode || m.form.cmdCalcEnabled || m.form.text1Enabled || m.form.cmdCalcDefEnabled);
    }
}

// Typing makes Set the default button until it runs; the stepper holds at 150. Start-up fills
// the box from the monitor's highest line rate (whole kHz, at most 150) without taking the default.
TEST(Calculator, TypingMakesSetTheDefaultButtonUntilItRuns) {
    Machine m("NVIDIA GeForce4 Ti 4600", 4109, true);
    m.Start();
    EXPECT_TRUE(m.form.cmdCalcEnabled && !m.form.cmdCalcIsDefault);
    for (const auto& [position, text] : {std::pair{500, "150"}, {150, "150"}, {-3, "0"}, {96, "96"}}) {
        m.form.UpDown24Changed(position);
        EXPECT_EQ(m.form.text1 + "/" + std::to_string(m.form.upDown24Position), text + std::string("/") + text);
    }
    EXPECT_TRUE(m.form.cmdCalcIsDefault);
    m.form.CmdCalcClick();
    EXPECT_EQ(m.form.grid.Row(kR848x480).caption + std::to_string(m.form.cmdCalcIsDefault), "1880");
    m.form.CmdCalcDefClick();
    EXPECT_EQ(m.form.grid.Row(kR848x480).caption + m.form.grid.Row(kR640x480).caption, "N/A85");
    for (const auto& [file, text1] : {std::pair{"SNY0290-FB6A64.bin", "107"}, {"SAM72C0-960104.bin", "150"},
                                      {"IQT0703-2C05FD.bin", ""}}) {  // 372 kHz; no range limits
        Machine mon("NVIDIA GeForce4 Ti 4600", 4109, true);
        AddMonitor(mon.reg, "MON0001", EdidFile(file));
        mon.Start();
        EXPECT_EQ(mon.form.text1 + "/" + std::to_string(mon.form.upDown24Position), text1 + std::string("/") + (*text1 ? text1 : "0"));
        EXPECT_TRUE(!mon.form.cmdCalcIsDefault && mon.form.cmdCalcEnabled) << file;
    }
}

// Load on Windows Start: the check mark shows what is stored, the Run value is quoted, any
// refused write is an error. Help > Topics: the program's folder, a backslash, the file name
// (after a drive root's own backslash too); a viewer that cannot open it is the one message.
TEST(Menu, AutoStartStoresAQuotedCommandAndHelpOpensTheFileBesideTheProgram) {
    Machine m("NVIDIA GeForce4 Ti 4600", 3090, false);
    m.Start();
    const std::string run = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    m.form.MnuLoadClick();
    EXPECT_EQ(Str(m.reg.GetRaw(run, "HZWK")) + "|" + m.Setting("LoadOnStartup") + "|" + std::to_string(m.form.mnuLoadChecked),
              "\"C:\\Program Files\\Hertzwerk\\hzwk.exe\" /startup|" + std::string("\1\0\0\0", 4) + "|1");
    m.form.MnuLoadClick();
    EXPECT_EQ(Str(m.reg.GetRaw(run, "HZWK")) + m.Setting("LoadOnStartup") + std::to_string(m.form.mnuLoadChecked),
              "<absent><absent>0");
    m.reg.FailWrites(true), m.form.MnuLoadClick();
    EXPECT_FALSE(m.form.mnuLoadChecked);
    m.reg.FailWrites(false), m.reg.DenyKey(run, true);  // only the Run key refused: checked, but still an error
    m.form.MnuLoadClick();
    EXPECT_TRUE(m.form.mnuLoadChecked);
    EXPECT_EQ(m.prompt.shown, (Boxes{{kError, Icon::Critical}, {kError, Icon::Critical}}));
    for (const bool opens : {true, false}) {
        m.os.folder = opens ? "C:\\" : "D:\\Tools", m.os.helpOpens = opens, m.os.help.clear(), m.prompt.shown.clear();
        m.form.MnuTopicsClick();
        EXPECT_EQ(m.os.help, std::vector<std::string>{opens ? "C:\\\\hzwkhelp.chm" : "D:\\Tools\\hzwkhelp.chm"});
        EXPECT_EQ(m.prompt.shown, (opens ? Boxes{} : Boxes{{"Help file (hzwkhelp.chm) not found", Icon::Critical}}));
    }
}

// The OS, the driver key from the kernel path (cut by count: a value no longer than the prefix
// names no key), and a single NVIDIA driver entry, or the start ends after its message.
TEST(Startup, DetectionRefusesWhatItDoesNotKnow) {
    EXPECT_EQ(OsCaption("5.0") + ", " + OsCaption("5.2"), "Windows 2000, Windows Server 2003");
    for (const auto& [video0, key] : {std::pair{"\\Registry\\Machine\\", ""}, {"\\Registry\\Machine\\S", "S"}, {"", ""}}) {
        MemoryRegistry reg;
        ApiRegistry rules(reg);
        reg.SetRaw("HARDWARE\\DEVICEMAP\\VIDEO", "\\Device\\Video0", kRegSz, video0 + std::string(1, '\0'));
        EXPECT_EQ(DriverKeyPathFor(rules, "5.1"), key) << video0;
    }
    const std::string nv4 = std::string("nv4_disp\0\0", 10);  // "" below: the version value deleted
    const struct { std::string os; uint32_t type; std::string drivers; } cases[] = {
        {"5.1", kRegMultiSz, nv4}, {"5.1", kRegMultiSz, std::string("nv4\0\0", 5)}, {"6.0", kRegMultiSz, nv4},
        {"", kRegMultiSz, nv4}, {"5.3", kRegMultiSz, nv4}, {"5.1 ", kRegMultiSz, nv4},
        {"5.1", kRegMultiSz, std::string("nv4_disp\0vga\0\0", 14)}, {"5.1", kRegSz, std::string("nv4_disp\0\0", 10)},
        {"5.1", kRegMultiSz, std::string("ati2dvag\0\0", 10)}, {"5.1", kRegMultiSz, std::string("NV4_DISP\0\0", 10)},
        {"5.1", kRegMultiSz, std::string()}, {"5.1", kRegMultiSz, std::string("\0", 1)},
        {"5.1", kRegMultiSz, std::string(300, 'n') + std::string("\0\0", 2)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.os + " " + c.drivers);
        Machine m("NVIDIA GeForce4 Ti 4600", 3090, false, c.os);
        if (c.os.empty()) m.reg.DeleteRaw("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "CurrentVersion");
        m.reg.SetRaw(kXpDeviceKey, "InstalledDisplayDrivers", c.type, c.drivers);
        m.os.versions[m.os.systemDir + "\\nv4.dll"] = Version(6, 14, 10, 3090);
        const bool os = c.os == "5.1", accepted = &c < &cases[2];
        EXPECT_EQ(m.form.Load(""), accepted ? StartupOutcome::ShowWindow
                                   : os     ? StartupOutcome::UnsupportedDriver : StartupOutcome::UnsupportedOs);
        if (accepted) {  // the cut takes the first seven characters without looking for the vendor's name
            EXPECT_EQ(m.form.lblOS + "|" + m.form.lblAdapters + "|" + m.Setting("LastDetVersion") + "|" + m.os.debugFile.substr(0, 24),
                      "Windows XP|GeForce4 Ti 4600|6.14.10.3090|[06.12.2026][19:40:07]\r\n");
            continue;
        }
        EXPECT_EQ(m.prompt.shown, (Boxes{{os ? "No compatible Detonator version found" : "No compatible Operating System found",
                                          Icon::Critical}}));
        EXPECT_EQ(m.Setting("LastDetVersion") + m.os.debugFile, os ? m.form.Context().DetonatorVersion : "<absent>");
    }
    // Odd descriptions and a report that cannot be written do not stop the start.
    for (const auto& [description, caption] : {std::pair{"NVIDIA", ""}, {"Generic VGA adapter", " VGA adapter"}}) {
        Machine odd(description, 3090, false);
        odd.os.debugWritable = false;
        ASSERT_EQ(odd.form.Load(""), StartupOutcome::ShowWindow);
        EXPECT_EQ(odd.form.lblAdapters + "|" + odd.form.Context().ModeValueName, caption + std::string("|"));
    }
}

// Versions compare as text: any rate from 4041 with the compressed format or from 4100; the
// calculator only with any rate and the compressed format.
TEST(Startup, VersionThresholdsCompareAsText) {
    const struct { unsigned build; /* 0: no readable version */ bool compressed, anyRate, calculator; } cases[] = {
        {4109, false, true, false}, {4109, true, true, true}, {4045, false, false, false}, {4041, true, true, true},
        {4040, true, false, false}, {930, true, false, false}, {0, false, true, false}, {4100, false, true, false},
        {4099, false, false, false}};
    for (const auto& c : cases) {
        Machine m("NVIDIA GeForce4 Ti 4600", c.build, c.compressed);
        if (c.build == 0) m.os.versions.clear();
        ASSERT_EQ(m.form.Load(""), StartupOutcome::ShowWindow);
        EXPECT_EQ(std::to_string(m.form.Context().AnyRate && m.form.grid.AnyRate()) + std::to_string(m.form.cmdCalcEnabled &&
                  m.form.upDown24Enabled), std::to_string(c.anyRate) + std::to_string(c.calculator)) << c.build << " " << c.compressed;
    }
}

// /startup runs the window only for a new driver the user accepts, and then in Startup Mode.
TEST(Startup, StartupSwitchRunsOnlyForANewDriverTheUserAccepts) {
    const char* kQuestion = "New Detonator drivers found, do you want to run the program and re-apply your settings?";
    // stored: LastDetVersion before; nullptr: never stored (counts as unchanged)
    const struct { unsigned build; const char *stored, *args; std::deque<Answer> answers; StartupOutcome outcome;
                   const char* storedAfter; } cases[] = {
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
        EXPECT_EQ(m.prompt.shown, (asked ? Boxes{{kQuestion, Icon::None}} : Boxes{}));
        EXPECT_EQ(m.os.beeps, asked ? 1 : 0);
        EXPECT_EQ(m.os.debugFile.empty(), c.outcome != StartupOutcome::ShowWindow);
        const bool mode = m.os.debugFile.find("Program mode: Startup Mode\r\n") != std::string::npos;
        EXPECT_EQ(mode && m.form.Context().StartupRun, asked && c.outcome == StartupOutcome::ShowWindow);
    }
}

// Every page shows its whole text, overwriting the last page's (empty lines included); a line
// naming a mail address or a site opens it, the donation line the donation address, no other.
TEST(AboutForm, EachPageShowsItsTextAndItsNamedAddressesOpen) {
    const AboutPeople& p = kAboutPeople;
    const std::string texts[] = {
        std::string("Contact Info:|Bug Reports - ") + p.bugMail + "|" + p.author1Name + " - " + p.author1Mail + "|" +
            p.author2Name + " - " + p.author2Mail + "||",
        std::string("Links:|Hertzwerk - ") + p.siteHost + "|NVidia - " + p.nvidiaHost + "|||",
        std::string("Credits:|") + p.credit1 + "|" + p.credit2 + "|||",
        std::string("Donation Info:|If you would like to support|Hertzwerk, please do so by|") + p.donationService +
            " donations. Your help is|appreciated.|Click here to donate",
    };
    FakeOs os;
    AboutForm form(os);
    form.Load();
    for (int page : {1, 4, 3, 2, 1, 0, 5, -1}) {
        form.PageClick(page);
        const int shown = page >= 1 && page <= 4 ? page : 1;  // outside 1 to 4 nothing changes
        std::string text = std::to_string(form.AboutPage()) + form.heading;
        for (const auto& line : form.lines) text += "|" + line;
        EXPECT_EQ(text, std::to_string(shown) + texts[shown - 1]);
        for (int line = -1; line <= kAboutLineCount; ++line) {
            os.opened.clear();
            form.LineClick(line);
            std::vector<std::string> expected;
            const std::string said = line >= 0 && line < kAboutLineCount ? form.lines[size_t(line)] : "";
            const std::string named = said.size() > 3 ? said.substr(said.find(" - ") + 3) : "";
            for (const char* mail : {p.bugMail, p.author1Mail, p.author2Mail, p.siteHost, p.nvidiaHost})
                if (named == mail) expected = {(std::strchr(mail, '@') ? "mailto:" : "http://") + std::string(mail)};
            if (said == "Click here to donate") expected = {p.donationAddress};
            EXPECT_EQ(os.opened, expected) << "page " << shown << " line " << line;
        }
    }
}

// OK refuses two equal pairs, and a pair that counts (neither text empty or "0") unless both are
// whole numbers from 1 to 9999; otherwise it stores each pair that counts and empties the other.
// The three buttons fill and clear the boxes; stored values that are no numbers stay out of the
// driver's value and the Added Resolutions line.
TEST(TvOutForm, OkStoresWhatCountsOverRandomInput) {
    const char* texts[] = {"", "0", "640", "480", "800", "600", "1", "9999", "12345", "0480", "6x", "-1"};
    const auto number = [](const std::string& t) {  // one to four digits, not all zeros
        return t.size() - 1 < 4 && t.find_first_not_of("0123456789") == t.npos && t.find_first_not_of('0') != t.npos;
    };
    std::mt19937 rng(1904);
    for (int run = 0; run < 300; ++run) {
        Machine m("NVIDIA GeForce4 Ti 4600", 3090, false);
        for (const char* name : {"ResW1", "ResH1", "ResW2", "ResH2"}) m.rules.SaveStringValue("SOFTWARE\\HZWK", name, name + 3);
        TvOutForm f(m.rules, m.prompt);
        f.Load();
        EXPECT_EQ(f.txtW1 + f.txtH1 + f.txtW2 + f.txtH2, "W1H1W2H2");
        const std::string w1 = texts[rng() % 12], h1 = texts[rng() % 12], w2 = texts[rng() % 12], h2 = texts[rng() % 12];
        f.txtW1 = w1, f.txtH1 = h1, f.txtW2 = w2, f.txtH2 = h2;
        const bool counts1 = !w1.empty() && w1 != "0" && !h1.empty() && h1 != "0";
        const bool counts2 = !w2.empty() && w2 != "0" && !h2.empty() && h2 != "0";
        const char* refusal = w1 == w2 && h1 == h2 ? "Please add 2 different resolutions"
                              : (counts1 && !(number(w1) && number(h1))) || (counts2 && !(number(w2) && number(h2)))
                                  ? "Widths and heights must be whole numbers from 1 to 9999."
                                  : nullptr;
        const std::string stored = refusal ? "W1H1W2H2"
                                           : (counts1 ? w1 + h1 : "") + (counts2 ? w2 + h2 : "");
        SCOPED_TRACE(w1 + "x" + h1 + ", " + w2 + "x" + h2);
        EXPECT_EQ(f.CmdDoneClick(), refusal == nullptr);
        EXPECT_EQ(m.prompt.shown, (refusal ? Boxes{{refusal, Icon::Information}} : Boxes{}));
        EXPECT_EQ(m.Setting("ResW1") + m.Setting("ResH1") + m.Setting("ResW2") + m.Setting("ResH2"), stored);
        if (HasFailure()) break;
    }
    Machine m("NVIDIA GeForce4 Ti 4600", 3090, false);
    TvOutForm f(m.rules, m.prompt);
    f.Command3Click();  // fills the boxes only
    EXPECT_EQ(f.txtW1 + "x" + f.txtH1 + " " + f.txtW2 + "x" + f.txtH2 + m.Setting("ResW1"), "800x600 640x480<absent>");
    f.Command1Click();
    EXPECT_EQ(f.txtW1 + f.txtH1 + f.txtW2, "640");
    f.Command2Click();
    EXPECT_EQ(f.txtW2 + f.txtH2, "");
    // Only what the window could store reaches the driver's value.
    for (const auto& [name, text] : {std::pair{"ResW1", "800"}, {"ResH1", "600;A 1,1"}, {"ResH2", "0480"}})
        m.rules.SaveStringValue("SOFTWARE\\HZWK", name, text);
    m.reg.SetRaw("SOFTWARE\\HZWK", "ResW2", kRegDword, std::string("\x80\x02\0\0", 4));
    const TvResolutions read = ReadTvResolutions(m.rules);
    EXPECT_EQ(read.w1 + "," + read.h1 + "," + read.w2 + "," + read.h2, "800,,,0480");
    for (const char* no : {"0", "0000", "10000", "-800", "8e2", " 800"}) EXPECT_FALSE(IsTvNumber(no)) << no;
    EXPECT_EQ(BuildTVEntries({"800", "600", "", "480"}, "3999").used.w1, " 800");  // as the report shows it
    const std::pair<TvResolutions, const char*> lines[] = {{{"800", "600", "640", "480"}, "Added Resolutions: 800x600; 640x480"},
        {{"", "", "640", "480"}, "Added Resolutions: ; 640x480"}, {{"", "600", "", "480"}, "Added Resolutions: x600x480"},
        {{"abc", "0", "", "-1"}, "Added Resolutions: None"}};
    for (const auto& [stored, line] : lines) EXPECT_EQ(Label50Caption(stored), line);
}

}  // namespace
}  // namespace hzwk::test
