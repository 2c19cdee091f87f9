#include "d3dtest/frame_state.h"

#include <limits>

#include "d3dtest/d3d_setup_form.h"

namespace hzwk {

void FrameState::AdvanceAngle() {
    angle = angle + 1.0f;
    if (angle >= 360.0f) angle = angle - 360.0f;
    // Carried-over state is ours alone, but keep it sane whatever it held.
    if (!(angle >= 0.0f && angle < 360.0f)) angle = 0.0f;
}

float FrameState::AngleRadians() const { return angle * (kScenePi / 180.0f); }

void FrameState::EndFrame(const std::function<uint32_t()>& tickCount) {
    const uint32_t now = tickCount();
    if (static_cast<uint32_t>(now - lastTick) >= kFpsWindowMs) {
        // More than 32767 frames in a quarter second cannot be shown; hold at the top.
        fps = frames > std::numeric_limits<int16_t>::max()
                  ? std::numeric_limits<int16_t>::max()
                  : static_cast<int16_t>(frames < 0 ? 0 : frames);
        frames = 0;
        lastTick = tickCount();
    }
    if (frames < std::numeric_limits<int32_t>::max()) frames = frames + 1;
}

std::string CaptionLine(int32_t shownFps, const TestMode& mode) {
    return "Current framerate: " + std::to_string(shownFps) + "fps - " + std::to_string(mode.width) +
           "x" + std::to_string(mode.height) + "x" + std::to_string(static_cast<unsigned>(mode.depthBits));
}

}  // namespace hzwk
