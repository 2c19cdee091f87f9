// What the full-screen test carries from frame to frame and from run to run: the square's
// angle and the frame-rate measurement, plus the caption line built from them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace hzwk {

struct TestMode;

// Single-precision pi, as the scene's projection and rotation use it.
inline constexpr float kScenePi = 3.1415927f;
// Frames are counted over windows of at least this many milliseconds; the figure shown is
// the count times four.
inline constexpr uint32_t kFpsWindowMs = 250;

class FrameState {
public:
    // One degree further, kept in [0, 360).
    void AdvanceAngle();
    // The current angle in radians, for the rotation about the vertical axis.
    float AngleRadians() const;

    // Closes the measuring window once at least 250 ms have passed since lastTick (reading
    // the tick counter a second time for the new start), then counts the frame just drawn.
    // The tick counter is 32-bit and wraps; the difference is taken modulo 2^32.
    void EndFrame(const std::function<uint32_t()>& tickCount);

    // The frames-per-second figure shown: frames of the last complete window times four.
    int32_t ShownFps() const { return static_cast<int32_t>(fps) * 4; }

    float angle = 0.0f;   // degrees
    int32_t frames = 0;   // frames drawn in the current window
    int16_t fps = 0;      // frames counted in the last complete window
    uint32_t lastTick = 0;
};

// "Current framerate: 240fps - 1024x768x32"
std::string CaptionLine(int32_t shownFps, const TestMode& mode);

inline constexpr const char kHintLine[] = "Click anywhere to finish the test";

}  // namespace hzwk
