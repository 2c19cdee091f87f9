// The driver's mode-list text, written in this one place: the rate ladder of the drivers that
// take only its rates, a NormalModeTable entry's head and rate field, the rate of a
// ModeRangeList entry and of a ModeMaskList item. The grid steps along the ladder; the
// catalogue's default tables and the composed mode lists are written with it.
#pragma once

#include <string>

namespace hzwk {

// The ladder's positions: 0 is "N/A", 1 to kLadderTop the rates 60, 70, 72, 75, 85, 100, 120.
inline constexpr int kLadderTop = 7;

// The caption for a ladder position ("N/A", "60", ... "120"); "" for a position off the ladder.
const char* LadderCaption(int position);
// The ladder position of a caption; -1 for a caption off the ladder.
int LadderPosition(const std::string& caption);

// The 16-column head of a NormalModeTable entry: depth left-justified in 2 columns, 2 blanks,
// width and height right-justified in 4 columns with 1 blank between, 3 blanks.
std::string NormalEntryHead(int depth, int width, int height);

// The 22-column rate field of a NormalModeTable entry offering the ladder's first `rungs`
// rates (0 to kLadderTop), each in its own column.
std::string LadderRateField(int rungs);

// The rate part of a NormalModeTable entry (22-column field) or ModeRangeList entry
// ("-75", "70-", "-"); empty with any-rate drivers or for a caption off the ladder.
std::string CalcRates(const std::string& caption, bool anyRate, bool compressedFormat);

// Three or more upper-case hex digits of the caption's rate for a ModeMaskList item;
// "000" when the caption is not a whole number from -32768 to 32767.
std::string CalcHexRate(const std::string& caption);

}  // namespace hzwk
