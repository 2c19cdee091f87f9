#include "core/mode_text.h"

#include <array>
#include <string>

#include "core/text.h"

namespace hzwk {

namespace {

// The rungs of the rate ladder, where each stands in the full RateField
// "60 70 72 75 85 100 120", and the range-list field the driver needs for it.
struct Rung {
    const char* caption;
    int column;             // 0-based start in the RateField
    const char* rangeField;
};

constexpr std::array<Rung, kLadderTop> kRungs = {{
    {"60", 0, "70-"},
    {"70", 3, "-60"},
    {"72", 6, "-70"},
    {"75", 9, "-72"},
    {"85", 12, "-75"},
    {"100", 15, "-85"},
    {"120", 19, "-100"},
}};

constexpr std::size_t kRateFieldWidth = 22;
constexpr char kNoRate[] = "N/A";

// The rung's rate written into its own columns of a RateField.
void PlaceRung(const Rung& rung, std::string& field) {
    const std::string caption(rung.caption);
    field.replace(static_cast<std::size_t>(rung.column), caption.size(), caption);
}

// Reads an optional minus sign and decimal digits, nothing else, within 16 bits.
bool ReadInt16(const std::string& text, int& value) {
    long long number = 0;
    if (text.empty() || text[0] == '+' || !ParseWholeNumber(text, number)) return false;
    if (number < -32768 || number > 32767) return false;
    value = static_cast<int>(number);
    return true;
}

}  // namespace

const char* LadderCaption(int position) {
    if (position == 0) return kNoRate;
    return (position > 0 && position <= kLadderTop) ? kRungs[static_cast<std::size_t>(position - 1)].caption
                                                   : "";
}

int LadderPosition(const std::string& caption) {
    for (int p = 0; p <= kLadderTop; ++p)
        if (caption == LadderCaption(p)) return p;
    return -1;
}

std::string NormalEntryHead(int depth, int width, int height) {
    // printf's "%-2d  %4d %4d   ", by hand: printf would link the C library's whole formatter.
    const auto padded = [](int number, size_t size, bool left) {
        std::string text = std::to_string(number);
        if (text.size() < size) text.insert(left ? text.size() : 0, size - text.size(), ' ');
        return text;
    };
    return padded(depth, 2, true) + "  " + padded(width, 4, false) + " " + padded(height, 4, false) + "   ";
}

std::string LadderRateField(int rungs) {
    std::string field(kRateFieldWidth, ' ');
    for (int r = 0; r < rungs && r < kLadderTop; ++r) PlaceRung(kRungs[static_cast<std::size_t>(r)], field);
    return field;
}

std::string CalcRates(const std::string& caption, bool anyRate, bool compressedFormat) {
    if (anyRate) return std::string();
    if (caption == kNoRate) return compressedFormat ? std::string("-") : std::string(kRateFieldWidth, ' ');
    for (const Rung& rung : kRungs) {
        if (caption != rung.caption) continue;
        if (compressedFormat) return rung.rangeField;
        std::string field(kRateFieldWidth, ' ');
        PlaceRung(rung, field);
        return field;
    }
    return std::string();  // off the ladder: the driver gets no rate for the row
}

std::string CalcHexRate(const std::string& caption) {
    int number = 0;
    if (!ReadInt16(caption, number)) return "000";
    // A negative rate is written as its 16-bit two's complement, as the driver's mask reads it.
    return HexDigits(static_cast<unsigned>(number) & 0xFFFFu, 3, true);
}

}  // namespace hzwk
