// The windows the main window opens: TV-out and About (modal, tested from inside their own
// loops) and the Direct3D set-up window with one real run of the test.
#include "app/about_form.h"
#include "app/tvout_form.h"
#include "d3dtest/d3d_runner_win32.h"
#include "fixture.h"
#include "tvout/tv_entries.h"
#include "ui/d3d_setup_window_win32.h"

namespace hzwk::test {
namespace {

constexpr int kTvBoxes[] = {IDC_TXT_W1, IDC_TXT_H1, IDC_TXT_W2, IDC_TXT_H2};
void FillTvBoxes(HWND tv, const std::array<const char*, 4>& texts) {
    for (int i = 0; i < 4; ++i) SetWindowTextA(GetDlgItem(tv, kTvBoxes[i]), texts[i]);
}
D3DRunReport g_report;

// TV-out: each button does to the boxes what its event does to the form; only OK or Enter closes
// and stores, refused texts in either pair store nothing. About: each page button shows its page,
// Escape closes. Direct3D set-up: Enter is Go; Cancel and the close box do nothing while a test
// runs; a click ends the run.
TEST_F(MainFixture, TvOutAboutAndDirect3DWindows) {
    UINT_PTR timer = During([&] {
        HWND tv = GetActiveWindow();
        ASSERT_EQ(Text(tv), HZWK_TITLE_TVOUT);
        EXPECT_FALSE(IsWindowEnabled(main));
        const std::pair<int, void (TvOutForm::*)()> buttons[] = {{IDC_TV_CLEAR1, &TvOutForm::Command1Click},
            {IDC_TV_CLEAR2, &TvOutForm::Command2Click}, {IDC_TV_DEFAULTS, &TvOutForm::Command3Click}};
        for (auto [id, event] : buttons) {
            TvOutForm model(registry, prompt);
            model.txtW1 = "1", model.txtH1 = "2", model.txtW2 = "3", model.txtH2 = "4";
            FillTvBoxes(tv, {"1", "2", "3", "4"}), (model.*event)(), Click(tv, id);
            const std::string want[] = {model.txtW1, model.txtH1, model.txtW2, model.txtH2};
            for (int i = 0; i < 4; ++i) EXPECT_EQ(Text(GetDlgItem(tv, kTvBoxes[i])), want[i]) << id;
        }
        SendMessageA(tv, WM_SYSCOMMAND, SC_CLOSE, 0);  // Alt+F4
        ASSERT_TRUE(IsWindow(tv)) << "only OK closes the TV-out window";
        for (auto texts : {std::array{"7a0", "480", "", ""}, {"", "", "640", "4 8"}, {"720", "480", "720", "480"}}) {
            FillTvBoxes(tv, texts);
            prompt.Expect({{"", Answer::Ok}});
            Click(tv, IDC_TV_OK);
            prompt.ExpectAllShown();
            EXPECT_EQ(registry.GetStringValue(reg::kSettingsKey, reg::kResW2, "-"), "-");
        }
        FillTvBoxes(tv, {"720", "480", "", ""});
        SetFocus(GetDlgItem(tv, IDC_TXT_H1));
        Key(tv, GetFocus(), VK_RETURN);
        if (registry.GetStringValue(reg::kSettingsKey, reg::kResW1, "") != "720")
            ADD_FAILURE() << "Enter did not store", Click(tv, IDC_TV_OK);
    });
    Command(main, IDM_TVORES);
    EXPECT_TRUE(Ran(timer));
    EXPECT_TRUE(IsWindowEnabled(main));
    for (auto [name, text] : {std::pair{reg::kResW1, "720"}, {reg::kResH1, "480"}, {reg::kResW2, ""}})
        EXPECT_EQ(Raw(reg::kSettingsKey, name), (RegData{kRegSz, text})) << name;
    EXPECT_EQ(Text(Item(IDC_LABEL50)), Label50Caption(ReadTvResolutions(registry)));

    timer = During([&] {
        HWND about = GetActiveWindow();
        ASSERT_EQ(Text(about), HZWK_TITLE_ABOUT);
        EXPECT_FALSE(IsWindowEnabled(main));
        for (int page : {3, 1, 2, 0}) {  // each click changes the page
            AboutForm model(os);
            model.Load(), model.PageClick(page + 1), Click(about, IDC_ABOUT_PAGE + page);
            EXPECT_EQ(Text(GetDlgItem(about, IDC_ABOUT_HEADING)), model.heading) << page;
            for (int line = 0; line < kAboutLineCount; ++line)
                EXPECT_EQ(Text(GetDlgItem(about, IDC_ABOUT_LINE + line)), model.lines[line]);
        }
        Key(about, GetDlgItem(about, IDC_ABOUT_CLOSE), VK_ESCAPE);
    });
    Command(main, IDM_ABOUT);
    EXPECT_TRUE(Ran(timer));
    EXPECT_TRUE(IsWindowEnabled(main));

    SetD3DPrompt(&prompt), SetD3DRunObserver([](const D3DRunReport& r) { g_report = r; });
    Command(main, IDM_D3DTEST);
    HWND setup = GetActiveWindow(), res = GetDlgItem(setup, IDC_CMB_RES);
    ASSERT_EQ(Text(setup), HZWK_TITLE_D3D);
    EXPECT_FALSE(IsWindowEnabled(main));
    prompt.Expect({{kInvalidChoiceMessage, Answer::Ok}});
    Key(setup, res, VK_RETURN);
    prompt.ExpectAllShown();
    SetWindowTextA(res, "640 x 480");
    SetWindowTextA(GetDlgItem(setup, IDC_CMB_BITRATES), "32 bit");
    timer = During([&] {
        EXPECT_FALSE(IsWindowEnabled(setup));
        SendMessageA(setup, WM_COMMAND, MAKEWPARAM(IDC_CMD_CANCEL, BN_CLICKED), 0);
        SendMessageA(setup, WM_CLOSE, 0, 0);
        EXPECT_TRUE(IsWindow(setup)) << "closed during a run";
        PostMessageA(FindWindowA("HertzwerkD3DTest", nullptr), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    }, 1500);
    Key(setup, res, VK_RETURN);
    EXPECT_TRUE(Ran(timer));
    EXPECT_TRUE(g_report.ran && g_report.framesDrawn > 0 && g_report.width == 640 && g_report.height == 480)
        << g_report.framesDrawn << " frames at " << g_report.width << " x " << g_report.height;
    EXPECT_TRUE(IsWindowEnabled(setup));
    Click(setup, IDC_CMD_CANCEL);
    EXPECT_FALSE(IsWindow(setup));
    EXPECT_TRUE(IsWindowEnabled(main));
    SetD3DRunObserver(nullptr), SetD3DPrompt(nullptr);
}

}  // namespace
}  // namespace hzwk::test
