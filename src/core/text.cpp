#include "core/text.h"

#include <cctype>
#include <cstdlib>
#include <limits>

namespace hzwk {

bool ParseWholeNumber(const std::string& text, long long& out) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == text.size()) return false;
    unsigned long long value = 0;
    // The negative side reaches one further: -9223372036854775808 is a long long, its magnitude is not.
    const unsigned long long limit =
        static_cast<unsigned long long>(std::numeric_limits<long long>::max()) + (negative ? 1 : 0);
    for (; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (!std::isdigit(c)) return false;
        // Checked before multiplying: a long run of digits must not wrap round to a small number.
        if (value > (limit - (c - '0')) / 10) return false;
        value = value * 10 + (c - '0');
    }
    // Negated in steps that stay in range, so the most negative number needs no overflowing cast.
    out = negative ? (value == 0 ? 0 : -static_cast<long long>(value - 1) - 1) : static_cast<long long>(value);
    return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string TrimLeft(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    return text.substr(i);
}

std::string TrimRight(const std::string& text) {
    size_t n = text.size();
    while (n > 0 && IsBlank(text[n - 1])) --n;
    return text.substr(0, n);
}

std::string Trim(const std::string& text) { return TrimRight(TrimLeft(text)); }

bool SameNoCase(const std::string& a, const std::string& b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

std::string FileInFolder(const std::string& folder, const std::string& name) {
    // Only the drive-root form, not any last byte 0x5C: in a double-byte code page that can be
    // the second half of a character ending a folder's name.
    const bool driveRoot = folder.size() == 3 && folder[1] == ':' && folder[2] == '\\';
    return driveRoot ? folder + name : folder + "\\" + name;
}

bool ParseDecimal(const std::string& text, double& out) {
    size_t b = 0, e = text.size();
    while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
    std::string s;
    size_t i = b;
    if (i < e && (text[i] == '-' || text[i] == '+')) s += text[i++];
    bool digits = false, point = false;
    for (; i < e; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (std::isdigit(c)) {
            digits = true;
            s += static_cast<char>(c);
        } else if ((c == '.' || c == ',') && !point) {
            point = true;
            s += '.';
        } else {
            return false;
        }
    }
    if (!digits) return false;
    out = std::strtod(s.c_str(), nullptr);  // "C" locale: "." is the point; overflow gives HUGE_VAL
    return true;
}

std::string ZeroPadded(unsigned long value, size_t minDigits) {
    std::string digits;
    for (; value != 0 || digits.size() < minDigits || digits.empty(); value /= 10)
        digits.insert(digits.begin(), static_cast<char>('0' + value % 10));
    return digits;
}

std::string HexDigits(unsigned long value, size_t minDigits, bool upperCase) {
    const char* set = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string digits;
    for (; value != 0 || digits.size() < minDigits || digits.empty(); value >>= 4)
        digits.insert(digits.begin(), set[value & 0xFu]);
    return digits;
}

}  // namespace hzwk
