// monitor/: what the monitor says about itself (its EDID) and where the registry keeps it.
// Depends on core/ and registry/; no window or Win32 code.
#pragma once

#include <optional>
#include <string>

namespace hzwk {

struct RateRange {
    int min = 0;
    int max = 0;
    bool operator==(const RateRange& o) const { return min == o.min && max == o.max; }
};

// What hzwk takes from an EDID base block.
struct MonitorInfo {
    bool valid = false;  // a base block with its header, checksum and version 1
    std::string name;    // the name descriptor, else maker and product code ("SAM 1057")
    std::optional<RateRange> horizontalKhz;  // from the range limits descriptor, when there is one
    std::optional<RateRange> verticalHz;
};

// Reads the first 128 bytes; anything shorter or damaged gives an invalid result.
MonitorInfo ParseEdid(const std::string& bytes);

// "Monitor: NAME", "Horizontal: MIN-MAX kHz", "Vertical: MIN-MAX Hz" (unknown for a range
// the EDID does not give), each ending in "\n"; "Monitor: none found\n" when not valid.
std::string MonitorText(const MonitorInfo& info);

}  // namespace hzwk
