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

// ---- reading ----

// Roots a regedit file may name besides HKEY_LOCAL_MACHINE.
constexpr const char* kOtherRoots[] = {"HKEY_CURRENT_USER", "HKEY_CLASSES_ROOT", "HKEY_USERS",
                                       "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};

bool AllBlank(const std::string& s, size_t from) {
    for (size_t i = from; i < s.size(); ++i)
        if (!IsBlank(s[i])) return false;
    return true;
}

bool StartsWithNoCase(const std::string& s, size_t at, const char* prefix) {
    const std::string p(prefix);
    return s.size() >= at + p.size() && SameNoCase(s.substr(at, p.size()), p);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// 1 to 8 hex digits, nothing else.
bool ParseHex32(const std::string& s, uint32_t* out) {
    if (s.empty() || s.size() > 8) return false;
    uint32_t n = 0;
    for (char c : s) {
        const int d = HexDigit(c);
        if (d < 0) return false;
        n = n << 4 | static_cast<uint32_t>(d);
    }
    *out = n;
    return true;
}

class Parser {
public:
    explicit Parser(const std::string& text) : lines_(SplitFileLines(text)) {}

    bool Run(std::vector<RegEntry>* entries, std::string* error) {
        if (!Header()) return Fail(error);
        while (next_ < lines_.size()) {
            const size_t number = next_ + 1;
            const std::string line = TrimLeft(lines_[next_++]);
            lineNo_ = number;
            bool ok = true;
            if (line.empty() || line[0] == ';') continue;
            if (line[0] == '[') {
                ok = Section(line);
            } else if (line[0] == '"' || line[0] == '@') {
                ok = ValueLine(line);
            } else {
                ok = Problem("unexpected text");
            }
            if (!ok) return Fail(error);
        }
        *entries = std::move(read_);
        return true;
    }

private:
    bool Fail(std::string* error) {
        if (error) *error = message_;
        return false;
    }

    bool Problem(const std::string& what) {
        message_ = "line " + std::to_string(lineNo_) + ": " + what;
        return false;
    }

    bool Header() {
        lineNo_ = 1;
        const std::string first = lines_.empty() ? std::string() : TrimRight(lines_[0]);
        next_ = 1;
        if (first == kRegHeader) return true;
        if (first.compare(0, 2, "\xFF\xFE") == 0 || first.find('\0') != std::string::npos ||
            first.rfind("Windows Registry Editor", 0) == 0) {
            return Problem("a Unicode (version 5) registry file; only REGEDIT4 files are read");
        }
        return Problem("not a REGEDIT4 file (the first line must be REGEDIT4)");
    }

    bool Section(const std::string& line) {
        const size_t close = line.rfind(']');
        if (close == std::string::npos || !AllBlank(line, close + 1))
            return Problem("a key line must end with ]");
        RegEntry key;
        key.isKey = true;
        std::string name = line.substr(1, close - 1);
        key.deletesKey = !name.empty() && name[0] == '-';
        if (key.deletesKey) name.erase(0, 1);

        if (!NameFits(name)) return Problem("a key name holds a CR or NUL");

        const size_t slash = name.find('\\');
        key.root = name.substr(0, slash);
        key.path = slash == std::string::npos ? std::string() : name.substr(slash + 1);
        if (Depth(key.path) > kMaxKeyDepth)
            return Problem("the key path is deeper than " + std::to_string(kMaxKeyDepth) + " levels");
        // A deleted key takes no values; any other key line opens one that may.
        inKey_ = !key.deletesKey;
        if (!SameNoCase(key.root, kRegMachineRoot)) {
            for (const char* other : kOtherRoots) {
                if (SameNoCase(key.root, other)) {
                    inKey_ = true;
                    read_.push_back(key);
                    return true;
                }
            }
            return Problem("unknown root key \"" + key.root + "\"");
        }
        if (slash != std::string::npos && !ValidPath(key.path))
            return Problem("malformed key path \"" + key.path + "\"");
        if (key.deletesKey && key.path.empty()) return Problem("the root key cannot be deleted");
        read_.push_back(key);
        return true;
    }

    // Names come from one line, so a CR in them is a stray one; neither it nor a NUL
    // could be saved back.
    static bool NameFits(const std::string& name) {
        return name.find_first_of(std::string("\r\0", 2)) == std::string::npos;
    }

    static size_t Depth(const std::string& path) {
        if (path.empty()) return 0;
        size_t parts = 1;
        for (size_t i = 0; i + 1 < path.size(); ++i)  // a trailing backslash adds no level
            if (path[i] == '\\') ++parts;
        return parts;
    }

    // Parts separated by single backslashes; one trailing backslash is tolerated.
    static bool ValidPath(const std::string& path) {
        if (path.empty() || path[0] == '\\') return false;
        for (size_t i = 1; i < path.size(); ++i)
            if (path[i] == '\\' && path[i - 1] == '\\') return false;
        return true;
    }

    // A quoted text starting at line[at] (the opening quote); \\ and \" are the escapes.
    bool Quoted(const std::string& line, size_t at, std::string* out, size_t* after) {
        out->clear();
        for (size_t i = at + 1; i < line.size(); ++i) {
            const char c = line[i];
            if (c == '"') {
                *after = i + 1;
                return true;
            }
            if (c == '\\') {
                if (i + 1 >= line.size()) break;
                const char e = line[++i];
                if (e != '\\' && e != '"')
                    return Problem(std::string("unknown escape \\") + e + " (write a backslash as \\\\)");
                out->push_back(e);
            } else {
                out->push_back(c);
            }
        }
        return Problem("missing closing quote");
    }

    bool ValueLine(const std::string& line) {
        if (!inKey_) return Problem("a value outside any key");
        RegEntry value;
        size_t pos = 1;
        if (line[0] == '"') {
            if (!Quoted(line, 0, &value.name, &pos)) return false;
            if (!NameFits(value.name)) return Problem("a value name holds a CR or NUL");
        }
        while (pos < line.size() && IsBlank(line[pos])) ++pos;
        if (pos >= line.size() || line[pos] != '=') return Problem("expected = after the value name");
        ++pos;
        while (pos < line.size() && IsBlank(line[pos])) ++pos;

        if (pos < line.size() && line[pos] == '-' && AllBlank(line, pos + 1)) {
            read_.push_back(value);
            return true;
        }
        RegData data;
        if (pos < line.size() && line[pos] == '"') {
            size_t after = 0;
            if (!Quoted(line, pos, &data.bytes, &after)) return false;
            if (!AllBlank(line, after)) return Problem("text after the closing quote");
            data.type = kRegSz;
            data.bytes.push_back('\0');  // regedit stores the text with its NUL
        } else if (StartsWithNoCase(line, pos, "dword:")) {
            uint32_t n = 0;
            if (!ParseHex32(TrimRight(line.substr(pos + 6)), &n)) return Problem("dword: needs 1 to 8 hex digits");
            data.type = kRegDword;
            for (int i = 0; i < 4; ++i) data.bytes.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
        } else if (StartsWithNoCase(line, pos, "hex")) {
            if (!HexValue(line, pos + 3, &data)) return false;
        } else {
            return Problem("unknown value data (expected \"text\", dword:, hex: or hex(N):)");
        }
        value.data = std::move(data);
        read_.push_back(std::move(value));
        return true;
    }

    // hex:xx,xx,... or hex(N):xx,... with '\' continuing the list on the next line.
    bool HexValue(const std::string& line, size_t pos, RegData* data) {
        data->type = kRegBinary;
        if (pos < line.size() && line[pos] == '(') {
            const size_t close = line.find(')', pos);
            if (close == std::string::npos) return Problem("hex( without )");
            if (!ParseHex32(line.substr(pos + 1, close - pos - 1), &data->type))
                return Problem("hex(N): needs a type of 1 to 8 hex digits");
            pos = close + 1;
        }
        if (pos >= line.size() || line[pos] != ':') return Problem("expected : after hex");
        std::string list = TrimRight(line.substr(pos + 1));
        while (!list.empty() && list.back() == '\\') {
            list.pop_back();
            if (next_ >= lines_.size()) return Problem("the hex list continues past the end of the file");
            lineNo_ = next_ + 1;
            list += Trim(lines_[next_++]);
        }
        size_t start = 0;
        while (start < list.size()) {
            size_t comma = list.find(',', start);
            const bool last = comma == std::string::npos;
            if (last) comma = list.size();
            const std::string item = Trim(list.substr(start, comma - start));
            // One trailing comma is what regedit leaves before a line break.
            if (item.empty() && !(last && start > 0)) return Problem("empty byte in the hex list");
            if (!item.empty()) {
                uint32_t b = 0;
                if (item.size() > 2 || !ParseHex32(item, &b))
                    return Problem("bad byte \"" + item + "\" in the hex list");
                data->bytes.push_back(static_cast<char>(b));
            }
            start = comma + 1;
        }
        return true;
    }

    std::vector<std::string> lines_;
    std::vector<RegEntry> read_;
    size_t next_ = 0;
    size_t lineNo_ = 0;
    std::string message_;
    bool inKey_ = false;  // a key line has been read that values may follow
};

}  // namespace

std::string RegValueText(const std::string& name, const RegData& data) {
    const std::string head = name.empty() ? std::string("@=") : "\"" + RegEscaped(name) + "\"=";
    if (PlainText(data))
        return head + "\"" + RegEscaped(data.bytes.substr(0, data.bytes.size() - 1)) + "\"\r\n";
    if (data.type == kRegDword && data.bytes.size() == 4) {
        uint32_t n = 0;
        for (size_t i = 4; i-- > 0;) n = n << 8 | static_cast<unsigned char>(data.bytes[i]);
        return head + "dword:" + HexDigits(n, 8, false) + "\r\n";
    }
    std::string out;
    const std::string type = data.type == kRegBinary ? "hex:" : "hex(" + HexDigits(data.type, 1, false) + "):";
    AppendHex(&out, head + type, data.bytes);
    return out;
}

bool ParseRegText(const std::string& text, std::vector<RegEntry>* entries, std::string* error) {
    return Parser(text).Run(entries, error);
}

std::vector<std::string> SplitFileLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

}  // namespace hzwk
