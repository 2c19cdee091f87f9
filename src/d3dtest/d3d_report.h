// What one run of the Direct3D test did. Kept free of <windows.h>.
#pragma once

#include <cstdint>

namespace hzwk {

// What one run of the test did, for the end-to-end harness and the benchmark.
struct D3DRunReport {
    bool ran = false;          // the loop ended on a click, not on a failure
    bool noDirect3D = false;   // d3d8.dll or Direct3DCreate8 missing
    uint32_t framesDrawn = 0;  // frames presented during this run
    uint32_t elapsedMs = 0;    // from the first frame to the end of the loop
    int32_t shownFps = 0;      // the figure on screen when the loop ended
    uint32_t refreshHz = 0;    // the mode's refresh rate as the device reports it (0: unknown)
    uint32_t width = 0, height = 0, depthBits = 0;
    bool vsync = false;
};

}  // namespace hzwk
