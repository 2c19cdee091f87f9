// The console tool's three lines; in a file of its own so hzwk.exe, which never prints them,
// does not carry them.
#include "monitor/edid.h"

namespace hzwk {

std::string MonitorText(const MonitorInfo& info) {
    if (!info.valid) return "Monitor: none found\n";
    auto range = [](const std::optional<RateRange>& r, const char* unit) {
        return r ? std::to_string(r->min) + "-" + std::to_string(r->max) + " " + unit : std::string("unknown");
    };
    return "Monitor: " + info.name + "\nHorizontal: " + range(info.horizontalKhz, "kHz") +
           "\nVertical: " + range(info.verticalHz, "Hz") + "\n";
}

}  // namespace hzwk
