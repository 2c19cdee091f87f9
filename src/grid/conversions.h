// A grid caption turned into its piece of the driver's mode list.
#pragma once

#include <string>

namespace hzwk {

// The rate part of a NormalModeTable entry (22-column field) or ModeRangeList entry
// ("-75", "70-", "-"); empty with any-rate drivers or for a caption off the ladder.
std::string CalcRates(const std::string& caption, bool anyRate, bool compressedFormat);

// Three or more upper-case hex digits of the caption's rate for a ModeMaskList item;
// "000" when the caption is not a whole number from -32768 to 32767.
std::string CalcHexRate(const std::string& caption);

}  // namespace hzwk
