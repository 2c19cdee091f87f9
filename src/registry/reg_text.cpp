#include "registry/reg_text.h"

#include "core/text.h"

namespace hzwk {

std::string RegEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

namespace {

bool PlainText(const RegData& data) {
    const std::string& b = data.bytes;
    return data.type == kRegSz && !b.empty() && b.back() == '\0' &&
           b.find_first_of(std::string("\r\n\0", 3)) == b.size() - 1;
}

void AppendHex(std::string* out, const std::string& head, const std::string& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string line = head;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        line.push_back(kDigits[b >> 4]);
        line.push_back(kDigits[b & 15]);
        if (i + 1 < bytes.size()) {
            line.push_back(',');
            if (line.size() > 76) {  // regedit keeps its lines under 80 columns
                *out += line + "\\\r\n";
                line = "  ";
            }
        }
    }
    *out += line + "\r\n";
}

}  // namespace

std::string RegValueText(const std::string& name, const RegData& data) {
    const std::string head = name.empty() ? std::string("@=") : "\"" + RegEscaped(name) + "\"=";
    if (PlainText(data))
        return head + "\"" + RegEscaped(data.bytes.substr(0, data.bytes.size() - 1)) + "\"\r\n";
    if (data.type == kRegDword && data.bytes.size() == 4) {
        uint32_t n = 0;
        for (std::size_t i = 4; i-- > 0;) n = n << 8 | static_cast<unsigned char>(data.bytes[i]);
        return head + "dword:" + HexDigits(n, 8, false) + "\r\n";
    }
    std::string out;
    const std::string type = data.type == kRegBinary ? "hex:" : "hex(" + HexDigits(data.type, 1, false) + "):";
    AppendHex(&out, head + type, data.bytes);
    return out;
}

}  // namespace hzwk
