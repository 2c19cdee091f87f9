// tvout/: the TV-out entries. Depends on core/ and registry/, never on a window.
// The two TV-out resolutions: read from the settings, rendered into every layout,
// and listed in the main window's "Added Resolutions" line.
#pragma once

#include <string>

#include "registry/registry_port.h"

namespace hzwk {

// The four stored texts. A resolution is present when both of its texts are non-empty.
struct TvResolutions {
    std::string w1, h1, w2, h2;
};

// The TV-out entries in the shape of each layout, rebuilt at start-up and by every Apply.
struct TvParts {
    std::string compressed;  // ";A ..." below 4000, mask items from 4000 on
    std::string normal8, normal16, normal32;  // NormalModeTable entries, below 4000 only
    TvResolutions used;      // the values as last read (widened to 4 columns below 4000)
};

// True for a whole number from 1 to 9999 written in digits only.
bool IsTvNumber(const std::string& text);

// Reads ResW1..ResH2. A stored value that is not such a number reads as empty, so
// nothing but digits ever reaches the driver's value.
TvResolutions ReadTvResolutions(RegistryAccess& registry);

TvParts BuildTVEntries(const TvResolutions& stored, const std::string& versionKey);

// "Added Resolutions: 800x600; 640x480", or "Added Resolutions: None".
std::string Label50Caption(const TvResolutions& stored);

}  // namespace hzwk
