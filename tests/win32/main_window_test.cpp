// The main window over MainForm: controls wired to their events, its keyboard, the steppers,
// what Apply and Set Defaults write, the menu.
#include <algorithm>
#include <random>

#include "fixture.h"
#include "modelist/apply.h"
#include "modelist/compose.h"

namespace hzwk::test {
namespace {

// Every control shows the model in either mode; an arrow key steps a stepper as a click does, up
// to its range's ends; Tab goes row by row, then to the buttons; typing in the kHz box makes Set
// the default button.
TEST_F(MainFixture, ControlsFollowTheModelAndTheKeyboard) {
    EXPECT_EQ(Text(Item(IDC_LBL_DETVERSION)) + " " + Text(Item(IDC_LBL_OS)), "6.14.10.4109 Windows 2000");  // file version
    auto checkControls = [&](bool advanced) {
        SCOPED_TRACE(advanced);
        EXPECT_EQ(form.advancedMode, advanced);
        const std::pair<int, bool MainForm::*> flags[] = {{IDC_CMD_CALC, &MainForm::cmdCalcEnabled},
            {IDC_TEXT1, &MainForm::text1Enabled}, {IDC_CMD_CALCDEF, &MainForm::cmdCalcDefEnabled},
            {IDC_UPDOWN24, &MainForm::upDown24Enabled}};
        for (auto [id, enabled] : flags) EXPECT_EQ(IsWindowEnabled(Item(id)) != FALSE, form.*enabled) << id;
        for (int row = 0; row < kRowCount; ++row) {
            EXPECT_EQ(Caption(row), form.grid.Row(row).caption) << row;
            EXPECT_EQ(IsWindowEnabled(Item(IDC_ROW_STEPPER + row)) != FALSE, form.grid.Row(row).enabled);
        }
    };
    checkControls(false);
    AdvancedOn();  // every stepper enabled
    checkControls(true);
    std::mt19937 random(17);
    for (int row = 0; row < kRowCount; ++row) {
        HWND stepper = Item(IDC_ROW_STEPPER + row);
        const int top = kRows[row].stepperMax;
        for (int from : {0, 1, top - 1, top, int(random() % top)}) {
            SendMessageA(stepper, UDM_SETPOS, 0, MAKELPARAM(from, 0));
            SetFocus(stepper);
            for (auto [key, step] : {std::pair{VK_RIGHT, 1}, {VK_LEFT, -1}, {VK_UP, 1}, {VK_DOWN, -1}}) {
                const int want = std::clamp(LOWORD(SendMessageA(stepper, UDM_GETPOS, 0, 0)) + step, 0, top);
                Key(main, stepper, key);
                ASSERT_TRUE(LOWORD(SendMessageA(stepper, UDM_GETPOS, 0, 0)) == want && form.grid.Row(row).position == want &&
                            Caption(row) == form.grid.Row(row).caption) << "row " << row << " from " << from << " key " << key;
            }
        }
    }
    std::vector<int> order;
    for (int row : kDisplayOrder) order.push_back(IDC_ROW_STEPPER + row);
    order.insert(order.end(), {IDC_CMD_APPLY, IDC_CMD_RESET, IDC_CHECK1, IDC_TEXT1, IDC_CMD_CALC, IDC_CMD_CALCDEF, order[0]});
    SetFocus(Item(order.front()));
    for (size_t i = 1; i < order.size(); ++i) ASSERT_EQ((Key(main, GetFocus(), VK_TAB), GetDlgCtrlID(GetFocus())), order[i]) << i;
    // The up-down beside the kHz box types into it; Enter then runs Set, which leaves no default.
    SetWindowTextA(Item(IDC_TEXT1), "63");
    Key(main, Item(IDC_TEXT1), VK_UP);
    EXPECT_EQ(Text(Item(IDC_TEXT1)) + " " + form.text1, "64 64");
    EXPECT_EQ(SendMessageA(main, DM_GETDEFID, 0, 0), MAKELRESULT(IDC_CMD_CALC, DC_HASDEFID));
    const std::string before = Caption(kR1024x768);
    Key(main, Item(IDC_TEXT1), VK_RETURN);
    EXPECT_NE(Caption(kR1024x768), before);
    EXPECT_EQ(SendMessageA(main, DM_GETDEFID, 0, 0), 0);
    Click(main, IDC_CMD_CALCDEF);  // the rates the display offers now
    EXPECT_EQ(Caption(kR1024x768), "70");
    Click(main, IDC_CHECK1);
    checkControls(false);
}

// Set Defaults writes the driver's list, Apply the captions on show; both only after Yes. Load on
// Windows start stores its tick; Help > Topics takes only a plain file; Exit closes.
TEST_F(MainFixture, ButtonsAndMenuWriteThroughTheRegistry) {
    const DriverContext& ctx = form.Context();
    const std::string name = ModeValueNameFor(ctx.ModeValueName, ctx.VersionKey());
    prompt.Expect({{kAskReset, Answer::Yes}, {kResetDone, Answer::Ok}});
    Click(main, IDC_CMD_RESET);
    EXPECT_EQ(Raw(kDriverKey, name), (RegData{kRegSz, ctx.DefaultModeList}));
    AdvancedOn();
    Key(main, Item(IDC_ROW_STEPPER + kR800x600), VK_RIGHT);
    prompt.Expect({{kAskApply, Answer::No}, {kAskApply, Answer::Yes}, {kApplied, Answer::Ok}});
    Click(main, IDC_CMD_APPLY);
    EXPECT_EQ(Raw(kDriverKey, name).bytes, ctx.DefaultModeList);
    Click(main, IDC_CMD_APPLY);
    Captions shown;
    for (int row = 0; row < kRowCount; ++row) shown[row] = Caption(row);
    EXPECT_EQ(shown[kR800x600], "76");
    const TvParts& tv = form.TvPartsNow();
    const std::string composed = ComposeModeList(shown, {ctx.VersionKey(), ctx.CompressedFormat, ctx.AnyRate}, tv);
    EXPECT_EQ(Raw(kDriverKey, name), (RegData{kRegSz, FinishModeList(composed, ctx.VersionKey(), tv)}));

    const std::string run = "\"" + os.ProgramFolder() + "\\hzwk.exe\" /startup";
    for (bool on : {true, false, true, false}) {
        Command(main, IDM_LOAD);
        EXPECT_EQ((GetMenuState(GetMenu(main), IDM_LOAD, MF_BYCOMMAND) & MF_CHECKED) != 0, on);
        EXPECT_EQ(registry.GetDwordValue(reg::kSettingsKey, reg::kLoadOnStartup, 0), on ? 1 : 0);
        EXPECT_EQ(Raw(reg::kRunKey, reg::kRunValue), (on ? RegData{kRegSz, run} : RegData{}));
    }
    const std::string help = os.ProgramFolder() + "\\hzwkhelp.chm";  // a hidden one is as good as none
    ASSERT_TRUE(CopyFileA(HZWK_HELP_CHM, help.c_str(), FALSE) && SetFileAttributesA(help.c_str(), FILE_ATTRIBUTE_HIDDEN));
    prompt.Expect({{"Help file (hzwkhelp.chm) not found", Answer::Ok}});
    Command(main, IDM_TOPICS);
    DeleteFileA(help.c_str());
    EXPECT_FALSE((Command(main, IDM_EXIT), IsWindow(main)));
    // debug.txt: the report rewrites it whole, Apply's lines are added to it.
    ASSERT_TRUE(os.WriteDebugFile(std::string(3000, 'x')) && os.WriteDebugFile("report\r\n") && os.AppendDebugFile("added\r\n"));
    EXPECT_EQ(FileText(os.ProgramFolder() + "\\debug.txt"), "report\r\nadded\r\n");
}

// A SONY CPD-G400 (30-107 kHz, 48-120 Hz) connected, and the compressed format that turns the
// calculator on. Wine matches no monitor to the adapter: every connected one counts.
struct MonitorFixture : MainFixture {
    const std::string model = std::string(reg::kMonitorsKey) + "\\SNY0290", instance = model + "\\1";
    void SetUp() override {
        registry.SaveRawValue(instance + "\\" + reg::kDeviceParameters, reg::kEdid, {kRegBinary, FileText(HZWK_SONY_G400_EDID)});
        registry.SaveStringValue(instance + "\\" + reg::kPresentSubkey, "ActiveService", "monitor");
        registry.SaveDwordValue(kDriverKey, reg::kUseCompressedModeFormat, 1);
        MainFixture::SetUp();
    }
    void TearDown() override {
        MainFixture::TearDown();
        registry.DeleteRegValue(kDriverKey, reg::kUseCompressedModeFormat);
        for (std::string key : {instance + "\\Control", instance + "\\Device Parameters", instance, model})
            EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str()), ERROR_SUCCESS) << key;
    }
};

// The monitor read from the real registry reaches the window: the kHz box starts at 107, Set keeps
// the rows to 120 Hz. Rows stepped beyond it: Apply asks in a real box, with the warning icon and
// No the default (Win32 flags no other test sees); No writes, logs and backs up nothing.
TEST_F(MonitorFixture, SetKeepsToTheMonitorAndApplyWarnsOfRowsSteppedBeyondIt) {
    EXPECT_EQ(Text(Item(IDC_TEXT1)), "107");
    AdvancedOn();
    Click(main, IDC_CMD_CALC);
    EXPECT_EQ(Caption(kR640x480) + " " + Caption(kR1600x1200), "120 82");
    for (int row : {kR640x480, kR1600x1200}) Key(main, Item(IDC_ROW_STEPPER + row), VK_UP);

    const std::string name = ModeValueNameFor(form.Context().ModeValueName, form.Context().VersionKey());
    auto written = [&] {
        return Raw(kDriverKey, name).bytes + "|" + FileText(os.ProgramFolder() + "\\debug.txt") + "|" +
               std::to_string(os.FileNames(os.ProgramFolder(), "*").size());  // a backup file is one more
    };
    const std::string before = written();
    const std::string warning = "The monitor SONY CPD-G400 cannot show these rates:\n\n"
        "640 x 480 at 121 Hz (at most 120 Hz)\n1600 x 1200 at 83 Hz (at most 82 Hz)\n\n"
        "The screen may stay black in these modes after the restart. Write them anyway?";
    prompt.Expect({{warning, Answer::No, true}});
    UINT_PTR timer = During([&] {
        HWND box = GetActiveWindow(), icon = nullptr;
        EXPECT_EQ(Text(GetDlgItem(box, 0xFFFF)), warning);
        EXPECT_EQ(GetWindowLongA(GetDlgItem(box, IDNO), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
        for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if ((GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) icon = c;
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0)), LoadIcon(nullptr, IDI_WARNING));
        PostMessageA(GetDlgItem(box, IDNO), BM_CLICK, 0, 0);
    });
    Click(main, IDC_CMD_APPLY);
    EXPECT_TRUE(Ran(timer));
    EXPECT_EQ(written(), before);
    EXPECT_EQ(Caption(kR640x480), "121");
}

}  // namespace
}  // namespace hzwk::test
