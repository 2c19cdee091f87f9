#include "modelist/compose.h"

#include <array>

#include "core/driver_context.h"
#include "core/mode_text.h"
#include "registry/settings.h"

namespace hzwk {

namespace {

// Which grid rows each layout carries, in the driver's order.

constexpr std::array<int, 19> kNormalTableRows = {
    kR640x480, kR320x200, kR320x240, kR400x300, kR480x360, kR512x384, kR640x400,
    kR800x600, kR1024x768, kR1152x864, kR1280x768, kR1280x960, kR1280x1024,
    kR1600x1024, kR1600x1200, kR1920x1080, kR1920x1200, kR1920x1440, kR2048x1536,
};

constexpr std::array<int, 20> kRangeListRows = {
    kR320x200, kR320x240, kR400x300, kR480x360, kR512x384, kR640x400, kR640x480,
    kR800x600, kR1024x768, kR1152x864, kR1280x768, kR1280x960, kR1280x1024, kR1600x900,
    kR1600x1024, kR1600x1200, kR1920x1080, kR1920x1200, kR1920x1440, kR2048x1536,
};

constexpr std::array<int, 23> kMaskListRows = {
    kR640x480, kR320x200, kR320x240, kR400x300, kR480x360, kR512x384, kR640x400,
    kR800x600, kR848x480, kR1024x768, kR1152x864, kR1280x720, kR1280x768, kR1280x960,
    kR1280x1024, kR1360x768, kR1600x900, kR1600x1024, kR1600x1200, kR1920x1080,
    kR1920x1200, kR1920x1440, kR2048x1536,
};

constexpr char kEntryEnd[] = "  0";
constexpr char kEntryJoin[] = "  0  ";

std::string Width(int row) { return std::to_string(kRows[static_cast<std::size_t>(row)].width); }
std::string Height(int row) { return std::to_string(kRows[static_cast<std::size_t>(row)].height); }

const std::string& Caption(const Captions& captions, int row) {
    return captions[static_cast<std::size_t>(row)];
}

}  // namespace

Layout ChooseLayout(const std::string& versionKey, bool compressedFormat) {
    if (KeyAtLeast(versionKey, kV4041)) return Layout::ModeMaskList;
    return compressedFormat ? Layout::ModeRangeList : Layout::NormalModeTable;
}

std::string ComposeNormalTable(const Captions& captions, const ComposeFlags& flags, const TvParts& tv) {
    // Below 4000 the TV-out entries live inside the depth blocks; later drivers take them
    // as mask items after the table (FinishModeList).
    const bool tvInBlocks = !KeyAtLeast(flags.versionKey, kV4000);
    std::string value;
    for (int depth : {8, 16, 32}) {
        for (int row : kNormalTableRows) {
            if (!value.empty()) value += kEntryJoin;
            const RowInfo& info = kRows[static_cast<std::size_t>(row)];
            value += NormalEntryHead(depth, info.width, info.height);
            value += CalcRates(Caption(captions, row), flags.anyRate, false);
        }
        if (tvInBlocks) value += depth == 8 ? tv.normal8 : depth == 16 ? tv.normal16 : tv.normal32;
    }
    value += kEntryEnd;
    return value;
}

std::string ComposeRangeList(const Captions& captions, const ComposeFlags& flags, const TvParts& tv) {
    std::string value = "S ";
    bool first = true;
    for (int row : kRangeListRows) {
        if (!first) value += ';';
        first = false;
        value += Width(row) + ',' + Height(row) + ",-," +
                 CalcRates(Caption(captions, row), flags.anyRate, true);
    }
    if (!KeyAtLeast(flags.versionKey, kV4000)) value += tv.compressed;  // ";A ..." or nothing
    return value;
}

std::string ComposeMaskList(const Captions& captions) {
    std::string value = "SHV ";
    bool first = true;
    for (int row : kMaskListRows) {
        if (!first) value += "; ";
        first = false;
        value += Width(row) + 'x' + Height(row) + "=8" + CalcHexRate(Caption(captions, row));
    }
    value += ';';
    return value;
}

std::string ComposeModeList(const Captions& captions, const ComposeFlags& flags, const TvParts& tv) {
    switch (ChooseLayout(flags.versionKey, flags.compressedFormat)) {
        case Layout::ModeMaskList: return ComposeMaskList(captions);
        case Layout::ModeRangeList: return ComposeRangeList(captions, flags, tv);
        case Layout::NormalModeTable: break;
    }
    return ComposeNormalTable(captions, flags, tv);
}

std::string FinishModeList(const std::string& composed, const std::string& versionKey, const TvParts& tv) {
    if (!KeyAtLeast(versionKey, kV4000)) return composed;  // TV-out entries are already inside
    std::string value = KeyAtLeast(versionKey, kV4100) ? "{*}" + composed : composed;
    if (!tv.compressed.empty()) value += ' ' + tv.compressed;
    return value;
}

std::string ModeValueNameFor(const std::string& catalogueName, const std::string& versionKey) {
    return KeyAtLeast(versionKey, kV4100) ? std::string(reg::kNvModes) : catalogueName;
}

}  // namespace hzwk
