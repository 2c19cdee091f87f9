// The Direct3D mode test's portable parts: the set-up window's lists and Go rules, the
// frame counter and caption, the scene data, and the matrices against their closed forms.
#include "fakes.h"

#include <cmath>
#include <cstring>

#include "d3dtest/d3d_setup_form.h"
#include "d3dtest/frame_state.h"
#include "d3dtest/matrix.h"
#include "d3dtest/scene.h"

namespace hzwk {
namespace {

// Over random captions: the list holds the 20 test resolutions in resolution order whose caption
// is not exactly "N/A" (the three newest rows are no test modes); Go takes each listed text to
// its own mode, and anything else shows the message and keeps the last mode. Go and Cancel do
// nothing while a test runs; afterwards a run that could not be done is reported (a lost device
// is no fault of the mode), the choices stand and both work again.
TEST(D3DSetupForm, ListsWhatTheGridOffersAndGoTakesEachToItsMode) {
    std::mt19937 rng(6101);
    const char* captions[] = {"N/A", "N/A", "60", "n/a", "N/A ", "", "85"};
    D3DSetupForm form;
    test::ScriptedPrompt quiet;  // no message for a good choice
    for (int run = 0; run < 50; ++run) {
        Captions c;
        for (auto& caption : c) caption = captions[rng() % 7];
        form.Load(c);  // a reload does not add to the old lists
        std::vector<std::string> listed;
        for (int r = 0; r < 20; ++r)  // the rows up to 2048 x 1536 are in resolution order
            if (c[size_t(r)] != "N/A") listed.push_back(std::to_string(kRows[r].width) + " x " + std::to_string(kRows[r].height));
        ASSERT_EQ(form.ResolutionList(), listed) << run;
        EXPECT_EQ(form.DepthList(), (std::vector<std::string>{"16 bit", "32 bit"}));
        for (const std::string& res : listed) {
            const bool deep = rng() % 2, vsync = rng() % 2;
            ASSERT_TRUE(form.Go(res, deep ? "32 bit" : "16 bit", vsync, quiet)) << res;
            const TestMode& m = form.Mode();
            EXPECT_TRUE(std::to_string(m.width) + " x " + std::to_string(m.height) == res && m.format == (deep ? 22 : 23) &&
                        m.depthBits == (deep ? 32 : 16) && m.vsync == vsync && quiet.shown.empty()) << res;
        }
    }
    ASSERT_TRUE(form.Go("320 x 200", "16 bit", true, quiet));
    for (const auto& [res, depth] : {std::pair{"1024 x 768", "Bit Rate"}, {" 1024 x 768", "32 bit"}, {"1024 x 768", "32 Bit"},
                                     {"1280 x 720", "32 bit"}, {"Resolution", "16 bit"}}) {
        test::ScriptedPrompt prompt;
        EXPECT_FALSE(form.Go(res, depth, false, prompt)) << res << " / " << depth;
        EXPECT_EQ(prompt.shown, (test::Boxes{{"Please select a valid resolution from the list.", Icon::Critical}}));
        EXPECT_TRUE(form.Mode().width == 320 && form.Mode().format == 23 && form.Mode().vsync);
    }
    const std::pair<RunOutcome, const char*> runs[] = {{RunOutcome::Finished, nullptr}, {RunOutcome::DeviceLost, nullptr},
        {RunOutcome::NoDirect3D, "Direct3D 8 is not available on this computer. The test needs DirectX 8 or later."},
        {RunOutcome::Failed, "The Direct3D test could not run in this mode."}};
    for (const auto& [outcome, message] : runs) {
        test::ScriptedPrompt prompt;
        form.BeginRun();
        EXPECT_FALSE(form.Go("1024 x 768", "16 bit", false, prompt) || form.Go("nonsense", "", false, prompt) || form.Cancel());
        form.RunEnded(outcome, prompt);
        EXPECT_EQ(prompt.shown, (message ? test::Boxes{{message, Icon::Critical}} : test::Boxes{}));
        EXPECT_TRUE(!form.Running() && form.Cancel() && form.Mode().width == 320);
        EXPECT_TRUE(form.Go("320 x 200", "16 bit", true, prompt));
    }
}

// The angle turns once in 360 frames and resets from nonsense. The frame count closes every
// 250 ms whichever way the tick counter moved, and the next window starts at a fresh reading.
TEST(FrameState, AngleAndQuarterSecondWindowsAcrossTheTickWrap) {
    FrameState a;
    for (int i = 0; i < 359; ++i) a.AdvanceAngle();
    EXPECT_FLOAT_EQ(a.angle, 359.0f);
    EXPECT_EQ((a.AdvanceAngle(), a.angle), 0.0f);
    EXPECT_NEAR((a.angle = 90.0f, a.AngleRadians()), 1.5707964f, 1e-6f);
    for (const float odd : {std::nanf(""), 1000.0f, -5.0f}) EXPECT_EQ((a.angle = odd, a.AdvanceAngle(), a.angle), 0.0f) << odd;
    const struct { uint32_t last; int32_t frames; uint32_t tick; int fps; /* 0: the window stays open */ } cases[] = {
        {1000, 60, 1249, 0}, {1000, 60, 1250, 60}, {0xFFFFFF00u, 7, 0x10, 7}, {0xFFFFFF00u, 7, 0xFFFFFFF9u, 0},
        {0xFFFFFFF0u, 7, 0xEA, 7}, {0xFFFFFFF0u, 7, 0xE9, 0}, {0x1000, 7, 0xFFF, 7} /* went back */,
        {0, 100000, 500, 32767}, {10, INT32_MAX, 20, 0}};
    for (const auto& c : cases) {
        FrameState s;
        s.lastTick = c.last, s.frames += c.frames;  // on from a fresh count
        std::deque<uint32_t> ticks = {c.tick, c.tick + 3};  // a second reading would be later
        s.EndFrame([&ticks] { const uint32_t t = ticks.front(); return ticks.pop_front(), t; });
        EXPECT_EQ(s.fps * 4, s.ShownFps());
        EXPECT_EQ(std::to_string(s.fps) + " " + std::to_string(s.lastTick) + " " + std::to_string(s.frames),
                  std::to_string(c.fps) + " " + std::to_string(c.fps ? c.tick + 3 : c.last) + " " +
                      std::to_string(c.fps ? 1 : std::min<int64_t>(int64_t{c.frames} + 1, INT32_MAX))) << std::hex << c.last << " -> " << c.tick;
    }
    const TestMode m{1024, 768, 22, 32, false};
    EXPECT_EQ(CaptionLine(240, m) + "|" + kHintLine, "Current framerate: 240fps - 1024x768x32|Click anywhere to finish the test");
}

// The square's corners and colours and the zero seventh slot, to the byte (the 0x1C2 format reads
// the diffuse colour at byte 12: the last corner is yellow), and the presentation. The scene's
// view and projection worked out by hand, a quarter turn, and products written into one of their
// own inputs, as the frame loop writes them.
TEST(Scene, VerticesPresentationAndMatricesAgreeWithTheirClosedForms) {
    const VertexArray v = BuildSquare();
    EXPECT_EQ(sizeof(v) + kVertexBufferBytes, 392u);
    uint32_t diffuse;
    std::memcpy(&diffuse, reinterpret_cast<const unsigned char*>(&v[5]) + 12, 4);
    EXPECT_EQ(diffuse, 0xFFFFFF00u);
    EXPECT_EQ(test::Fnv1a(std::string(reinterpret_cast<const char*>(&v), sizeof v)), 0x1cf71a17e4250514ull);
    const PresentChoice vsync = ChoosePresentation(true), free = ChoosePresentation(false);
    EXPECT_TRUE(vsync.swapEffect == 4u && vsync.presentationInterval == 0u && free.swapEffect == 2u &&
                free.presentationInterval == 0x80000000u);
    Matrix view, scene, wide, turn, translate, product, intoLeft, intoRight, identity;
    for (Matrix* used : {&view, &scene, &wide, &turn, &translate})  // as the frame loop's are: filled before
        for (auto& row : used->m) std::fill(std::begin(row), std::end(row), 7.0f);
    D3DXMatrixLookAtLH(&view, &kEye, &kLookAt, &kUp);
    D3DXMatrixPerspectiveFovLH(&scene, kFovY, kAspect, kNearPlane, kFarPlane);
    D3DXMatrixPerspectiveFovLH(&wide, kFovY, 2.0f, 1.0f, 10.0f);
    D3DXMatrixRotationY(&turn, kScenePi / 2);
    identity = *D3DXMatrixIdentity(&translate);
    translate.m[3][0] = 5.0f;
    D3DXMatrixMultiply(&product, &translate, &turn);  // move, then turn
    intoLeft = translate, intoRight = turn;
    EXPECT_EQ(D3DXMatrixMultiply(&intoLeft, &intoLeft, &turn), &intoLeft);
    D3DXMatrixMultiply(&intoRight, &product, &intoRight);  // and a second quarter turn
    // The eye looks along (0,-5,-9)/sqrt(106); x = up x z = (-1,0,0); y = z x x.
    const float n = std::sqrt(106.0f), ys = 2.4142136f /* cot(pi/8) */, q = 500.0f / 499.9f;
    const struct { const char* what; const Matrix& got; float want[4][4]; } cases[] = {
        {"look-at", view, {{-1, 0, 0, 0}, {0, 9 / n, -5 / n, 0}, {0, -5 / n, -9 / n, 0}, {0, 0, n, 1}}},
        {"perspective", scene, {{ys, 0, 0, 0}, {0, ys, 0, 0}, {0, 0, q, 1}, {0, 0, -0.1f * q, 0}}},
        {"wide perspective", wide, {{ys / 2, 0, 0, 0}, {0, ys, 0, 0}, {0, 0, 10 / 9.0f, 1}, {0, 0, -10 / 9.0f, 0}}},
        {"identity", identity, {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}},
        {"quarter turn", turn, {{0, 0, -1, 0}, {0, 1, 0, 0}, {1, 0, 0, 0}, {0, 0, 0, 1}}},
        {"move, turn", product, {{0, 0, -1, 0}, {0, 1, 0, 0}, {1, 0, 0, 0}, {0, 0, -5, 1}}},
        {"into the left input", intoLeft, {{0, 0, -1, 0}, {0, 1, 0, 0}, {1, 0, 0, 0}, {0, 0, -5, 1}}},
        {"into the right input", intoRight, {{-1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -1, 0}, {-5, 0, 0, 1}}},
    };
    for (const auto& c : cases)
        for (int i = 0; i < 16; ++i) EXPECT_NEAR(c.got.m[i / 4][i % 4], c.want[i / 4][i % 4], 1e-5f) << c.what << " at " << i;
    const Vec3 same = {1, 2, 3};  // the eye on its target
    D3DXMatrixLookAtLH(&view, &same, &same, &kUp);
    for (int i = 0; i < 16; ++i) EXPECT_TRUE(std::isfinite(view.m[i / 4][i % 4]));
}

}  // namespace
}  // namespace hzwk
