// One display mode as the system reports it: what the operating-system port lists and the
// grid reads its current rates from.
#pragma once

#include <cstdint>

namespace hzwk {

// Rate 0 or 1: the driver's default rate.
struct DisplayMode {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitsPerPixel = 0;
    uint32_t refreshHz = 0;
};

}  // namespace hzwk
