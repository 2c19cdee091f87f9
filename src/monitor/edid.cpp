#include "monitor/edid.h"

#include "core/text.h"

namespace hzwk {

namespace {

constexpr size_t kBaseBlock = 128;
constexpr unsigned char kHeader[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
constexpr size_t kDescriptors[4] = {54, 72, 90, 108};
constexpr size_t kDescriptorSize = 18;
constexpr unsigned char kNameTag = 0xFC;
constexpr unsigned char kRangeTag = 0xFD;
constexpr size_t kNameLength = 13;
// No monitor draws fewer lines a second than a TV (15.7 kHz) or fewer pictures than 40 a second.
constexpr int kLowestHorizontalKhz = 15;
constexpr int kLowestVerticalHz = 40;

// The 18-byte display descriptor with this tag, or nullptr. `e` holds a whole base block.
const unsigned char* Descriptor(const unsigned char* e, unsigned char tag) {
    for (size_t at : kDescriptors) {
        const unsigned char* d = e + at;
        static_assert(108 + kDescriptorSize <= kBaseBlock, "descriptors lie inside the block");
        if (d[0] == 0 && d[1] == 0 && d[3] == tag) return d;
    }
    return nullptr;
}

// The name text: up to 13 characters, ending at a line feed (or a NUL some monitors pad
// with), trailing blanks removed. Other control characters would break the printed line.
std::string NameText(const unsigned char* d) {
    std::string name;
    for (size_t i = 5; i < 5 + kNameLength && d[i] != '\n' && d[i] != '\0'; ++i)
        name.push_back(d[i] < 0x20 || d[i] == 0x7F ? '?' : char(d[i]));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name;
}

// Maker code (three letters packed in five bits each, big-endian) and the product code
// (little-endian) as four hex digits: "SAM 1057".
std::string CodeName(const unsigned char* e) {
    const unsigned maker = unsigned(e[8]) << 8 | e[9];
    std::string name;
    for (int shift : {10, 5, 0}) {
        const unsigned letter = maker >> shift & 0x1F;
        name.push_back(letter >= 1 && letter <= 26 ? char('A' + letter - 1) : '?');
    }
    return name + " " + HexDigits(unsigned(e[11]) << 8 | e[10], 4, true);
}

}  // namespace

MonitorInfo ParseEdid(const std::string& bytes) {
    MonitorInfo info;
    if (bytes.size() < kBaseBlock) return info;
    const unsigned char* e = reinterpret_cast<const unsigned char*>(bytes.data());
    unsigned sum = 0;
    for (size_t i = 0; i < kBaseBlock; ++i) sum += e[i];
    for (size_t i = 0; i < sizeof kHeader; ++i)
        if (e[i] != kHeader[i]) return info;
    if (sum % 256 != 0 || e[18] != 1) return info;
    info.valid = true;

    if (const unsigned char* d = Descriptor(e, kNameTag)) info.name = NameText(d);
    if (info.name.empty()) info.name = CodeName(e);

    if (const unsigned char* d = Descriptor(e, kRangeTag)) {
        // Revision 4 lets byte 4 add 255 to a rate: per pair, binary 10 the maximum,
        // 11 both; bits 0-1 are the vertical pair, bits 2-3 the horizontal.
        const unsigned flags = e[19] == 4 ? d[4] : 0;
        auto range = [](unsigned char lo, unsigned char hi, unsigned pair) {
            return RateRange{lo + (pair == 3 ? 255 : 0), hi + (pair >= 2 ? 255 : 0)};
        };
        const RateRange v = range(d[5], d[6], flags & 3), h = range(d[7], d[8], flags >> 2 & 3);
        // Numbers no monitor can have mean a damaged descriptor: the calculator and the guard
        // are better off with none than with limits made of noise.
        if (v.min <= v.max && h.min <= h.max && h.max >= kLowestHorizontalKhz && v.max >= kLowestVerticalHz) {
            info.verticalHz = v;
            info.horizontalKhz = h;
        }
    }
    return info;
}

}  // namespace hzwk
