// modelist/: the mode-list layouts, Apply and Set Defaults. Does not depend on app/ or any window.
// The three layouts of the driver's mode-list value, composed from the 23 captions.
#pragma once

#include <string>

#include "grid/rows.h"
#include "tvout/tv_entries.h"

namespace hzwk {

enum class Layout { NormalModeTable, ModeRangeList, ModeMaskList };

struct ComposeFlags {
    std::string versionKey;
    bool compressedFormat = false;
    bool anyRate = false;
};

Layout ChooseLayout(const std::string& versionKey, bool compressedFormat);

std::string ComposeNormalTable(const Captions& captions, const ComposeFlags& flags, const TvParts& tv);
std::string ComposeRangeList(const Captions& captions, const ComposeFlags& flags, const TvParts& tv);
std::string ComposeMaskList(const Captions& captions);

// The value in the layout the driver needs, as the log line shows it (no "{*}", no mask tail).
std::string ComposeModeList(const Captions& captions, const ComposeFlags& flags, const TvParts& tv);

// What is written: from 4100 the "{*}" head; from 4000 the TV-out mask items after one blank.
std::string FinishModeList(const std::string& composed, const std::string& versionKey, const TvParts& tv);

// The value name Apply and Set Defaults write under: NV_Modes from 4100 on, else the catalogue's.
std::string ModeValueNameFor(const std::string& catalogueName, const std::string& versionKey);

}  // namespace hzwk
