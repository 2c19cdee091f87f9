// The Direct3D mode test's portable parts: the set-up window's lists and Go rules, the
// frame-state arithmetic and caption, the scene data, and the matrices against their
// closed forms.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <deque>
#include <vector>

#include "fakes.h"
#include "mode_list_text.h"
#include "d3dtest/d3d_setup_form.h"
#include "d3dtest/frame_state.h"
#include "d3dtest/matrix.h"
#include "d3dtest/scene.h"

namespace hzwk {
namespace {

using RecordingPrompt = test::ScriptedPrompt;  // OK boxes only

Captions AllCaptions(const std::string& text) {
    Captions c;
    c.fill(text);
    return c;
}

TEST(D3DSetupFormLoad, ListsTheTestResolutionsInOrderLeavingOutOnlyExactNA) {
    D3DSetupForm form;
    form.Load(AllCaptions("85"));
    std::string all;
    for (const std::string& r : form.ResolutionList()) all += r + ",";
    EXPECT_EQ(all, "320 x 200,320 x 240,400 x 300,480 x 360,512 x 384,640 x 400,640 x 480,800 x 600,"
                   "1024 x 768,1152 x 864,1280 x 768,1280 x 960,1280 x 1024,1600 x 900,1600 x 1024,"
                   "1600 x 1200,1920 x 1080,1920 x 1200,1920 x 1440,2048 x 1536,");  // no 848, 1280x720, 1360
    EXPECT_EQ(form.DepthList(), (std::vector<std::string>{"16 bit", "32 bit"}));
    EXPECT_TRUE(form.OptOn());

    Captions c = AllCaptions("N/A");
    c[kR640x480] = "60";
    c[kR1024x768] = "n/a";   // not exactly "N/A": listed
    c[kR1600x900] = "N/A ";  // trailing blank: listed
    c[kR2048x1536] = "";     // empty: listed
    c[kR1280x720] = "75";    // not a test resolution
    form.Load(c);  // a reload does not add to the old lists
    EXPECT_EQ(form.ResolutionList(),
              (std::vector<std::string>{"640 x 480", "1024 x 768", "1600 x 900", "2048 x 1536"}));
    EXPECT_EQ(form.DepthList().size(), 2u);
}

// The fixed table decides, not the list; anything else shows the message and keeps the last mode.
TEST(D3DSetupFormGo, ValidChoicesFillTheTestModeInvalidOnesKeepIt) {
    const struct {
        const char* res;
        const char* depth;
        bool optOn;
        int width, height, format, bits;
    } cases[] = {
        {"1600 x 900", "32 bit", true, 1600, 900, 22, 32},
        {"320 x 200", "16 bit", false, 320, 200, 23, 16},
        {"2048 x 1536", "16 bit", true, 2048, 1536, 23, 16},
    };
    const std::pair<const char*, const char*> bad[] = {
        {"Resolution", "32 bit"}, {"1024 x 768", "Bit Rate"}, {"1024x768", "32 bit"}, {" 1024 x 768", "32 bit"},
        {"1024 x 768", "32 Bit"}, {"1280 x 720", "32 bit"},   {"", ""},               {"1024 x 768", "24 bit"},
    };
    D3DSetupForm form;
    form.Load(AllCaptions("N/A"));
    for (const auto& c : cases) {
        RecordingPrompt prompt;
        ASSERT_TRUE(form.Go(c.res, c.depth, c.optOn, prompt)) << c.res;
        EXPECT_TRUE(prompt.shown.empty());
        const TestMode& m = form.Mode();
        EXPECT_TRUE(m.width == c.width && m.height == c.height && m.format == c.format && m.depthBits == c.bits &&
                    m.vsync == c.optOn) << c.res;
    }
    for (const auto& b : bad) {
        RecordingPrompt prompt;
        EXPECT_FALSE(form.Go(b.first, b.second, false, prompt)) << b.first << " / " << b.second;
        EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Please select a valid resolution from the list."});
        EXPECT_EQ(prompt.shown[0].icon, Icon::Critical);
        EXPECT_TRUE(form.Mode().width == 2048 && form.Mode().format == 23 && form.Mode().vsync);
    }
}

TEST(D3DSetupFormGo, ARunThatCouldNotBeDoneIsReportedAndTheWindowWorksAgain) {
    const struct {
        RunOutcome outcome;
        const char* message;  // nullptr: nothing shown
    } cases[] = {
        {RunOutcome::Finished, nullptr},
        {RunOutcome::NoDirect3D,
         "Direct3D 8 is not available on this computer. The test needs DirectX 8 or later."},
        {RunOutcome::Failed, "The Direct3D test could not run in this mode."},
        {RunOutcome::DeviceLost, nullptr},  // the mode worked: no blame for it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.outcome));
        D3DSetupForm form;
        form.Load(AllCaptions("60"));
        RecordingPrompt prompt;
        ASSERT_TRUE(form.Go("640 x 480", "32 bit", true, prompt));
        form.BeginRun();  // Go and Cancel do nothing while a test runs
        EXPECT_FALSE(form.Go("1024 x 768", "16 bit", false, prompt) || form.Go("nonsense", "", false, prompt));
        EXPECT_FALSE(form.Cancel());
        EXPECT_TRUE(prompt.shown.empty());
        form.RunEnded(c.outcome, prompt);
        EXPECT_EQ(prompt.Texts(), c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        if (c.message) {
            EXPECT_EQ(prompt.shown[0].icon, Icon::Critical);
        }
        // Back in the set-up window: the choices stand and Go and Cancel work.
        EXPECT_FALSE(form.Running());
        EXPECT_TRUE(form.Cancel());
        EXPECT_EQ(form.Mode().width, 640);
        EXPECT_TRUE(form.Go("800 x 600", "16 bit", false, prompt));
    }
}

// ---- frame state ----

// Hands out scripted tick readings and counts how many were taken.
struct Ticks {
    std::deque<uint32_t> readings;
    int taken = 0;
    std::function<uint32_t()> Source() {
        return [this] {
            ++taken;
            uint32_t v = readings.front();
            if (readings.size() > 1) readings.pop_front();
            return v;
        };
    }
};

TEST(FrameStateTest, AngleTurnsOnceIn360FramesAndNeverReaches360) {
    FrameState s;
    for (int i = 0; i < 359; ++i) s.AdvanceAngle();
    EXPECT_FLOAT_EQ(s.angle, 359.0f);
    s.AdvanceAngle();
    EXPECT_EQ(s.angle, 0.0f);
    for (int i = 0; i < 3600; ++i) {
        s.AdvanceAngle();
        ASSERT_LT(s.angle, 360.0f);
        ASSERT_GE(s.angle, 0.0f);
    }
    s.angle = 90.0f;
    EXPECT_NEAR(s.AngleRadians(), 1.5707964f, 1e-6f);
    s.angle = std::nanf("");
    s.AdvanceAngle();
    EXPECT_EQ(s.angle, 0.0f);
}

TEST(FrameStateTest, WindowClosesAt250MsAndRestartsFromASecondReading) {
    FrameState s;
    s.lastTick = 1000;
    s.frames = 59;
    Ticks t;
    t.readings = {1249};  // 249 ms: window still open
    s.EndFrame(t.Source());
    EXPECT_EQ(s.frames, 60);
    EXPECT_EQ(s.fps, 0);
    EXPECT_EQ(t.taken, 1);

    t.readings = {1250, 1253};  // 250 ms: closes; the new start is the second reading
    t.taken = 0;
    s.EndFrame(t.Source());
    EXPECT_EQ(t.taken, 2);
    EXPECT_EQ(s.fps, 60);
    EXPECT_EQ(s.ShownFps(), 240);
    EXPECT_EQ(s.frames, 1);  // the frame just drawn opens the new window
    EXPECT_EQ(s.lastTick, 1253u);
}

TEST(FrameStateTest, TickWrapNeverStallsTheFigure) {
    struct Case {
        uint32_t last, now;
        bool closes;
    };
    const Case cases[] = {
        {0xFFFFFF00u, 0x00000010u, true},   // 272 ms across the wrap
        {0xFFFFFF00u, 0xFFFFFFF9u, false},  // 249 ms before it
        {0xFFFFFFF0u, 0x000000EAu, true},   // exactly 250 across it
        {0xFFFFFFF0u, 0x000000E9u, false},  // 249 across it
        {0x00001000u, 0x00000FFFu, true},   // counter went back: no endless wait
        {0u, 123456u, true},                // first run: lastTick starts at zero
    };
    for (const Case& c : cases) {
        FrameState s;
        s.lastTick = c.last;
        s.frames = 7;
        Ticks t;
        t.readings = {c.now, c.now};
        s.EndFrame(t.Source());
        EXPECT_EQ(s.fps == 7, c.closes) << std::hex << c.last << " -> " << c.now;
        EXPECT_EQ(s.lastTick, c.closes ? c.now : c.last);
    }
}

TEST(FrameStateTest, HugeCountsSaturateAndTheCaptionLine) {
    FrameState s;
    s.frames = 100000;
    Ticks t;
    t.readings = {500};
    s.EndFrame(t.Source());
    EXPECT_EQ(s.fps, 32767);
    EXPECT_EQ(s.ShownFps(), 131068);
    s.lastTick = 10;
    s.frames = 2147483647;
    t.readings = {20};
    s.EndFrame(t.Source());
    EXPECT_EQ(s.frames, 2147483647);

    TestMode m;
    m.width = 1024, m.height = 768, m.depthBits = 32;
    EXPECT_EQ(CaptionLine(240, m), "Current framerate: 240fps - 1024x768x32");
    EXPECT_STREQ(kHintLine, "Click anywhere to finish the test");
}

// ---- scene data ----

TEST(SceneTest, VertexArrayIs196BytesWithAZeroSeventhSlot) {
    const VertexArray v = BuildSquare();
    EXPECT_EQ(sizeof(v), 196u);
    EXPECT_EQ(kVertexBufferBytes, 196u);
    const SceneVertex zero{};
    EXPECT_EQ(std::memcmp(&v[6], &zero, sizeof zero), 0);
    // The 0x1C2 format reads the diffuse colour at byte 12: the last corner is yellow.
    uint32_t diffuse;
    std::memcpy(&diffuse, reinterpret_cast<const unsigned char*>(&v[5]) + 12, 4);
    EXPECT_EQ(diffuse, 0xFFFFFF00u);
    // The two triangles' corners and colours, to the byte.
    EXPECT_EQ(testing::Fnv1a(std::string(reinterpret_cast<const char*>(&v), sizeof v)), 0x1cf71a17e4250514ull);
}

TEST(SceneTest, PresentationFollowsVSync) {
    EXPECT_TRUE(ChoosePresentation(true).swapEffect == 4u && ChoosePresentation(true).presentationInterval == 0u);
    EXPECT_TRUE(ChoosePresentation(false).swapEffect == 2u &&
                ChoosePresentation(false).presentationInterval == 0x80000000u);
}

// ---- matrices ----

struct Vec4 {
    float v[4];
};

Vec4 Transform(const Vec4& p, const Matrix& m) {
    Vec4 r{};
    for (int j = 0; j < 4; ++j)
        for (int k = 0; k < 4; ++k) r.v[j] += p.v[k] * m.m[k][j];
    return r;
}

void ExpectMatrixNear(const Matrix& got, const float (&want)[4][4], const char* what) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(got.m[r][c], want[r][c], 1e-5f) << what << " at _" << r + 1 << c + 1;
}

TEST(MatrixTest, LookAtFromTheSceneEye) {
    Matrix m;
    D3DXMatrixLookAtLH(&m, &kEye, &kLookAt, &kUp);
    // z axis = (0,-5,-9)/sqrt(106), x axis = up x z normalised = (-1,0,0), y axis = z x x.
    const float n = std::sqrt(106.0f);
    const float want[4][4] = {
        {-1, 0, 0, 0},
        {0, 9 / n, -5 / n, 0},
        {0, -5 / n, -9 / n, 0},
        {0, 0, n, 1},
    };
    ExpectMatrixNear(m, want, "look-at");
}

TEST(MatrixTest, PerspectiveMapsNearAndFarToDepthZeroAndOne) {
    Matrix m;
    D3DXMatrixPerspectiveFovLH(&m, kFovY, kAspect, kNearPlane, kFarPlane);
    const float ys = 1.0f / std::tan(kFovY / 2);  // cot(pi/8)
    const float q = 500.0f / (500.0f - 0.1f);
    const float want[4][4] = {{ys, 0, 0, 0}, {0, ys, 0, 0}, {0, 0, q, 1}, {0, 0, -0.1f * q, 0}};
    ExpectMatrixNear(m, want, "perspective");
    EXPECT_NEAR(ys, 2.4142136f, 1e-5f);
    Matrix wide;
    D3DXMatrixPerspectiveFovLH(&wide, kFovY, 2.0f, 1.0f, 10.0f);
    EXPECT_NEAR(wide.m[0][0], ys / 2, 1e-5f);
}

TEST(MatrixTest, RotationYClosedForm) {
    struct Case {
        float degrees;
        float x, z;  // where (1,0,0) goes
    };
    const Case cases[] = {{0, 1, 0}, {90, 0, -1}, {180, -1, 0}, {270, 0, 1}, {45, 0.70710677f, -0.70710677f}};
    for (const Case& c : cases) {
        Matrix m;
        D3DXMatrixRotationY(&m, c.degrees * (kScenePi / 180.0f));
        const Vec4 p = Transform({{1, 0, 0, 1}}, m);
        EXPECT_NEAR(p.v[0], c.x, 1e-6f) << c.degrees;
        EXPECT_NEAR(p.v[2], c.z, 1e-6f) << c.degrees;
        EXPECT_TRUE(p.v[1] == 0 && p.v[3] == 1 && m.m[1][1] == 1.0f) << c.degrees;
    }
}

TEST(MatrixTest, MultiplyAppliesLeftFirstAndMayWriteIntoAnInput) {
    Matrix translate;
    D3DXMatrixIdentity(&translate);
    translate.m[3][0] = 5.0f;
    Matrix rotate;
    D3DXMatrixRotationY(&rotate, kScenePi / 2);
    Matrix tr;
    D3DXMatrixMultiply(&tr, &translate, &rotate);  // translate, then rotate
    const Vec4 p = Transform({{0, 0, 0, 1}}, tr);
    EXPECT_NEAR(p.v[0], 0, 1e-5f);
    EXPECT_NEAR(p.v[2], -5, 1e-5f);

    Matrix world;
    D3DXMatrixIdentity(&world);
    world.m[3][0] = 5.0f;
    EXPECT_EQ(D3DXMatrixMultiply(&world, &world, &rotate), &world);
    ExpectMatrixNear(world, tr.m, "aliased multiply");

    Matrix expected, r = rotate;
    D3DXMatrixMultiply(&expected, &tr, &rotate);
    D3DXMatrixMultiply(&r, &tr, &r);  // output aliasing the right operand
    ExpectMatrixNear(r, expected.m, "right-aliased multiply");
}

TEST(MatrixTest, DegenerateLookAtStaysFinite) {
    Matrix m;
    const Vec3 same = {1, 2, 3};
    D3DXMatrixLookAtLH(&m, &same, &same, &kUp);
    for (auto& row : m.m)
        for (float f : row) EXPECT_TRUE(std::isfinite(f));
}

}  // namespace
}  // namespace hzwk
