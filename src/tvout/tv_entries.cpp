#include "tvout/tv_entries.h"

#include "core/driver_context.h"
#include "registry/settings.h"

namespace hzwk {

namespace {

// Whatever reached the settings by other hands than the TV-out window, only a plain
// number of at most four digits may go on: it fills the NormalModeTable's 4 columns and
// cannot carry a separator into the driver's value.
std::string TvNumberOrEmpty(const std::string& text) {
    return IsTvNumber(text) ? text : std::string();
}

TvResolutions Sanitised(const TvResolutions& r) {
    return {TvNumberOrEmpty(r.w1), TvNumberOrEmpty(r.h1), TvNumberOrEmpty(r.w2),
            TvNumberOrEmpty(r.h2)};
}

bool Present(const std::string& width, const std::string& height) {
    return !width.empty() && !height.empty();
}

// Three digits get one leading blank to fill the table's four columns.
void Widen(std::string& text) {
    if (text.size() == 3) text.insert(text.begin(), ' ');
}

std::string TableEntry(const char* joinAndDepth, const std::string& width, const std::string& height) {
    return joinAndDepth + width + ' ' + height + "   60" + std::string(20, ' ');
}

}  // namespace

bool IsTvNumber(const std::string& text) {
    if (text.empty() || text.size() > 4) return false;
    bool nonZero = false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        if (c != '0') nonZero = true;
    }
    return nonZero;
}

TvResolutions ReadTvResolutions(RegistryAccess& registry) {
    TvResolutions stored;
    stored.w1 = registry.GetStringValue(reg::kSettingsKey, reg::kResW1, "");
    stored.h1 = registry.GetStringValue(reg::kSettingsKey, reg::kResH1, "");
    stored.w2 = registry.GetStringValue(reg::kSettingsKey, reg::kResW2, "");
    stored.h2 = registry.GetStringValue(reg::kSettingsKey, reg::kResH2, "");
    return Sanitised(stored);
}

TvParts BuildTVEntries(const TvResolutions& stored, const std::string& versionKey) {
    TvParts parts;
    TvResolutions r = Sanitised(stored);
    const bool first = Present(r.w1, r.h1);
    const bool second = Present(r.w2, r.h2);

    if (KeyAtLeast(versionKey, kV4000)) {
        // Mask items; the second one carries its own blank even when the first is absent.
        if (first) parts.compressed = r.w1 + 'x' + r.h1 + "=803C;";
        if (second) parts.compressed += ' ' + r.w2 + 'x' + r.h2 + "=803C;";
        parts.used = r;
        return parts;
    }

    if (first) parts.compressed += r.w1 + ',' + r.h1 + ",-,60;";
    if (second) parts.compressed += r.w2 + ',' + r.h2 + ",-,60;";
    if (!parts.compressed.empty()) parts.compressed.insert(0, ";A ");

    Widen(r.w1);
    Widen(r.h1);
    Widen(r.w2);
    Widen(r.h2);
    if (first) {
        parts.normal8 += TableEntry("  0  8   ", r.w1, r.h1);
        parts.normal16 += TableEntry("  0  16  ", r.w1, r.h1);
        parts.normal32 += TableEntry("  0  32  ", r.w1, r.h1);
    }
    if (second) {
        parts.normal8 += TableEntry("  0  8   ", r.w2, r.h2);
        parts.normal16 += TableEntry("  0  16  ", r.w2, r.h2);
        parts.normal32 += TableEntry("  0  32  ", r.w2, r.h2);
    }
    parts.used = r;
    return parts;
}

std::string Label50Caption(const TvResolutions& stored) {
    const TvResolutions r = Sanitised(stored);
    std::string listed;
    if (!r.w1.empty()) listed += r.w1;
    if (!r.h1.empty()) listed += 'x' + r.h1;
    if (!r.w2.empty()) listed += "; " + r.w2;
    if (!r.h2.empty()) listed += 'x' + r.h2;
    return "Added Resolutions: " + (listed.empty() ? std::string("None") : listed);
}

}  // namespace hzwk
