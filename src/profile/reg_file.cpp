#include "profile/reg_file.h"

#include "core/text.h"
#include "registry/reg_text.h"

#include <cstdio>
#include <vector>

namespace hzwk {

namespace {

constexpr char kHeader[] = "REGEDIT4";
constexpr char kMachineRoot[] = "HKEY_LOCAL_MACHINE";
// Roots a regedit file may name whose keys a machine profile does not carry.
constexpr const char* kOtherRoots[] = {"HKEY_CURRENT_USER", "HKEY_CLASSES_ROOT", "HKEY_USERS",
                                       "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string TrimLeft(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    return s.substr(i);
}

std::string TrimRight(const std::string& s) {
    size_t n = s.size();
    while (n > 0 && IsBlank(s[n - 1])) --n;
    return s.substr(0, n);
}

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
        n = n << 4 | uint32_t(d);
    }
    *out = n;
    return true;
}

class Parser {
public:
    Parser(const std::string& text, MemoryRegistry& target) : target_(target) { SplitLines(text); }

    bool Run(std::string* error) {
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
        return true;
    }

private:
    void SplitLines(const std::string& text) {
        lines_ = SplitFileLines(text);
    }

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
        if (first == kHeader) return true;
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
        std::string name = line.substr(1, close - 1);
        const bool remove = !name.empty() && name[0] == '-';
        if (remove) name.erase(0, 1);

        if (!NameFits(name)) return Problem("a key name holds a CR or NUL");

        const size_t slash = name.find('\\');
        const std::string root = name.substr(0, slash);
        const std::string path = slash == std::string::npos ? std::string() : name.substr(slash + 1);
        if (Depth(path) > kMaxKeyDepth)
            return Problem("the key path is deeper than " + std::to_string(kMaxKeyDepth) + " levels");
        if (!SameNoCase(root, kMachineRoot)) {
            for (const char* other : kOtherRoots) {
                if (SameNoCase(root, other)) {
                    inKey_ = true;
                    keep_ = false;
                    return true;
                }
            }
            return Problem("unknown root key \"" + root + "\"");
        }
        if (slash != std::string::npos && !ValidPath(path))
            return Problem("malformed key path \"" + path + "\"");
        if (remove) {
            if (path.empty()) return Problem("the root key cannot be deleted");
            target_.DeleteKey(path);  // deleting a key that is not there is no error
            inKey_ = false;
            return true;
        }
        if (!target_.CreateKey(path)) return Problem("malformed key path \"" + path + "\"");
        inKey_ = true;
        keep_ = true;
        key_ = path;
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
                    return Problem(std::string("unknown escape \\") + e +
                                   " (write a backslash as \\\\)");
                out->push_back(e);
            } else {
                out->push_back(c);
            }
        }
        return Problem("missing closing quote");
    }

    bool ValueLine(const std::string& line) {
        if (!inKey_) return Problem("a value outside any key");
        std::string name;
        size_t pos = 1;
        if (line[0] == '"') {
            if (!Quoted(line, 0, &name, &pos)) return false;
            if (!NameFits(name)) return Problem("a value name holds a CR or NUL");
        }
        while (pos < line.size() && IsBlank(line[pos])) ++pos;
        if (pos >= line.size() || line[pos] != '=') return Problem("expected = after the value name");
        ++pos;
        while (pos < line.size() && IsBlank(line[pos])) ++pos;

        if (pos < line.size() && line[pos] == '-' && AllBlank(line, pos + 1)) {
            if (keep_) target_.DeleteRaw(key_, name);
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
            if (!ParseHex32(TrimRight(line.substr(pos + 6)), &n))
                return Problem("dword: needs 1 to 8 hex digits");
            data.type = kRegDword;
            for (int i = 0; i < 4; ++i) data.bytes.push_back(char((n >> (8 * i)) & 0xFF));
        } else if (StartsWithNoCase(line, pos, "hex")) {
            if (!HexValue(line, pos + 3, &data)) return false;
        } else {
            return Problem("unknown value data (expected \"text\", dword:, hex: or hex(N):)");
        }
        if (keep_) target_.SetRaw(key_, name, data.type, data.bytes);
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
            list += TrimRight(TrimLeft(lines_[next_++]));
        }
        size_t start = 0;
        while (start < list.size()) {
            size_t comma = list.find(',', start);
            const bool last = comma == std::string::npos;
            if (last) comma = list.size();
            const std::string item = TrimRight(TrimLeft(list.substr(start, comma - start)));
            // One trailing comma is what regedit leaves before a line break.
            if (item.empty() && !(last && start > 0)) return Problem("empty byte in the hex list");
            if (!item.empty()) {
                if (item.size() > 2 || HexDigit(item[0]) < 0 ||
                    (item.size() == 2 && HexDigit(item[1]) < 0))
                    return Problem("bad byte \"" + item + "\" in the hex list");
                uint32_t b = 0;
                ParseHex32(item, &b);
                data->bytes.push_back(char(b));
            }
            start = comma + 1;
        }
        return true;
    }

    MemoryRegistry& target_;
    std::vector<std::string> lines_;
    size_t next_ = 0;
    size_t lineNo_ = 0;
    std::string message_;
    bool inKey_ = false;  // a key line has been read (values may follow)
    bool keep_ = false;   // ...and it is one of HKEY_LOCAL_MACHINE's
    std::string key_;
};

// ---- writing ----

bool Writable(const std::string& name) {
    return name.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

bool ExportKey(const MemoryRegistry& reg, const std::string& path, std::string* out,
               std::string* error) {
    const std::vector<std::string> names = reg.ValueNames(path);
    if (!path.empty() || !names.empty()) {
        *out += "[" + std::string(kMachineRoot) + (path.empty() ? "" : "\\" + path) + "]\r\n";
        for (const std::string& name : names) {
            if (!Writable(name)) {
                if (error) *error = "a value name in \"" + path + "\" holds a line break or NUL";
                return false;
            }
            *out += RegValueText(name, *reg.GetRaw(path, name));
        }
        *out += "\r\n";
    }
    for (const std::string& sub : reg.SubkeyNames(path)) {
        if (!Writable(sub)) {
            if (error) *error = "a key name under \"" + path + "\" cannot be written";
            return false;
        }
        if (!ExportKey(reg, path.empty() ? sub : path + "\\" + sub, out, error)) return false;
    }
    return true;
}

}  // namespace

bool ImportRegText(const std::string& text, MemoryRegistry& registry, std::string* error) {
    MemoryRegistry work = registry;
    if (!Parser(text, work).Run(error)) return false;
    registry = work;
    return true;
}

bool ImportRegFile(const std::string& path, MemoryRegistry& registry, std::string* error) {
    std::string text;
    if (!ReadWholeFile(path, &text, error)) return false;
    std::string problem;
    if (ImportRegText(text, registry, &problem)) return true;
    if (error) *error = path + ", " + problem;
    return false;
}

bool ExportRegText(const MemoryRegistry& registry, std::string* text, std::string* error) {
    std::string out = std::string(kHeader) + "\r\n\r\n";
    if (!ExportKey(registry, "", &out, error)) return false;
    *text = out;
    return true;
}

bool ExportRegFile(const std::string& path, const MemoryRegistry& registry, std::string* error) {
    std::string text;
    return ExportRegText(registry, &text, error) && ReplaceFileAtomically(path, text, error);
}

// C stdio rather than fstreams: libstdc++'s file streams import msvcrt functions that
// Windows 2000's msvcrt.dll does not have.
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

bool ReadWholeFile(const std::string& path, std::string* contents, std::string* error) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) {
        if (error) *error = "cannot open " + path;
        return false;
    }
    std::string text;
    char chunk[4096];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) text.append(chunk, n);
    const bool failed = std::ferror(in) != 0;
    std::fclose(in);
    if (failed) {
        if (error) *error = "cannot read " + path;
        return false;
    }
    *contents = text;
    return true;
}

bool WriteWholeFile(const std::string& path, const std::string& contents, bool append) {
    std::FILE* out = std::fopen(path.c_str(), append ? "ab" : "wb");
    if (out == nullptr) return false;
    const bool written = std::fwrite(contents.data(), 1, contents.size(), out) == contents.size();
    const bool closed = std::fclose(out) == 0;
    return written && closed;
}

bool ReplaceFileAtomically(const std::string& path, const std::string& contents,
                           std::string* error) {
    const std::string temp = path + ".tmp";
    if (!WriteWholeFile(temp, contents, false)) {
        std::remove(temp.c_str());
        if (error) *error = "cannot write " + temp;
        return false;
    }
    if (std::rename(temp.c_str(), path.c_str()) == 0) return true;
#ifdef _WIN32
    // Windows' rename will not replace an existing file. The old one is moved aside, not
    // removed, so that it can go back if the new one cannot take its place.
    const std::string aside = path + ".old";
    std::remove(aside.c_str());
    if (std::rename(path.c_str(), aside.c_str()) == 0) {
        if (std::rename(temp.c_str(), path.c_str()) == 0) {
            std::remove(aside.c_str());
            return true;
        }
        std::rename(aside.c_str(), path.c_str());
    }
#endif
    std::remove(temp.c_str());
    if (error) *error = "cannot replace " + path;
    return false;
}

}  // namespace hzwk
