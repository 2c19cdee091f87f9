// d3dtest/: the Direct3D test's form, scene and runner. Does not depend on app/ or the window kit.
// The Direct3D test set-up window (frmD3D) as data: its two lists, the Go rules that turn
// the two typed texts into a TestMode, and whether a test is running. The Win32 window
// only shows this model and feeds it events.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/prompt.h"
#include "grid/rows.h"

namespace hzwk {

// The mode handed to the test; the set-up window keeps one between runs.
struct TestMode {
    int16_t width = 0;
    int16_t height = 0;
    int32_t format = 0;      // Direct3D 8 back-buffer format code
    uint8_t depthBits = 0;   // 16 or 32, shown in the caption line only
    bool vsync = false;
};

struct TestResolution {
    const char* text;  // "1024 x 768", as listed and as compared on Go
    int16_t width;
    int16_t height;
    int row;           // the grid row whose caption decides whether it is listed
};

inline constexpr int kTestResolutionCount = 20;
inline constexpr std::array<TestResolution, kTestResolutionCount> kTestResolutions = {{
    {"320 x 200", 320, 200, kR320x200},      {"320 x 240", 320, 240, kR320x240},
    {"400 x 300", 400, 300, kR400x300},      {"480 x 360", 480, 360, kR480x360},
    {"512 x 384", 512, 384, kR512x384},      {"640 x 400", 640, 400, kR640x400},
    {"640 x 480", 640, 480, kR640x480},      {"800 x 600", 800, 600, kR800x600},
    {"1024 x 768", 1024, 768, kR1024x768},   {"1152 x 864", 1152, 864, kR1152x864},
    {"1280 x 768", 1280, 768, kR1280x768},   {"1280 x 960", 1280, 960, kR1280x960},
    {"1280 x 1024", 1280, 1024, kR1280x1024}, {"1600 x 900", 1600, 900, kR1600x900},
    {"1600 x 1024", 1600, 1024, kR1600x1024}, {"1600 x 1200", 1600, 1200, kR1600x1200},
    {"1920 x 1080", 1920, 1080, kR1920x1080}, {"1920 x 1200", 1920, 1200, kR1920x1200},
    {"1920 x 1440", 1920, 1440, kR1920x1440}, {"2048 x 1536", 2048, 1536, kR2048x1536},
}};

struct TestDepth {
    const char* text;
    int32_t format;  // D3DFMT_R5G6B5 = 23, D3DFMT_X8R8G8B8 = 22
    uint8_t bits;
};

inline constexpr std::array<TestDepth, 2> kTestDepths = {{
    {"16 bit", 23, 16},
    {"32 bit", 22, 32},
}};

inline constexpr const char kD3DLabel1[] = "Which resolution would you like to test?";
inline constexpr const char kResInitialText[] = "Resolution";
inline constexpr const char kDepthInitialText[] = "Bit Rate";
inline constexpr const char kGoCaption[] = "Go";
inline constexpr const char kCancelCaption[] = "Cancel";
inline constexpr const char kOptOnCaption[] = "VSync ON";
inline constexpr const char kOptOffCaption[] = "VSync OFF";
inline constexpr const char kNotAvailable[] = "N/A";

inline constexpr const char kInvalidChoiceMessage[] = "Please select a valid resolution from the list.";
inline constexpr const char kNoDirect3DMessage[] =
    "Direct3D 8 is not available on this computer. The test needs DirectX 8 or later.";
inline constexpr const char kTestFailedMessage[] = "The Direct3D test could not run in this mode.";

// How a test run ended.
enum class RunOutcome {
    Finished,    // ended by a click
    NoDirect3D,  // d3d8.dll or its Direct3DCreate8 missing, or no Direct3D 8 object
    Failed,      // the mode was refused, a resource could not be made, or drawing failed
    DeviceLost,  // another program took the screen (Alt+Tab): the test ends without a word
};

class D3DSetupForm {
public:
    // Window load: VSync ON selected, the lists filled from the grid's captions as they are
    // now (only rows whose caption is not exactly "N/A"), both depths listed.
    void Load(const Captions& captions);

    const std::vector<std::string>& ResolutionList() const { return resList_; }
    const std::vector<std::string>& DepthList() const { return depthList_; }
    bool OptOn() const { return optOn_; }

    // Go: checks the two texts against the fixed tables (not against the lists). On a bad
    // text shows the message and returns false; otherwise fills Mode() and returns true.
    // While a test runs it does nothing and returns false.
    bool Go(const std::string& resText, const std::string& depthText, bool optOn, Prompt& prompt);
    const TestMode& Mode() const { return mode_; }

    // Cancel, or the title-bar close box: true when the window may close (not during a test).
    bool Cancel() const { return !running_; }

    void BeginRun() { running_ = true; }
    // The test window has closed: Go and Cancel work again, and a run that could not be
    // done is reported (critical) over the set-up window.
    void RunEnded(RunOutcome outcome, Prompt& prompt);
    bool Running() const { return running_; }

private:
    std::vector<std::string> resList_;
    std::vector<std::string> depthList_;
    bool optOn_ = true;
    bool running_ = false;
    TestMode mode_;
};

}  // namespace hzwk
