#include "profile/machine_profile.h"

#include <string>

#include "core/text.h"
#include "profile/file_io.h"
#include "profile/reg_file.h"

namespace hzwk {

namespace {

// Plain decimal digits, no sign, within `limit`.
bool ParseNumber(const std::string& s, uint32_t limit, uint32_t* out) {
    if (s.empty() || s.size() > 10) return false;
    uint64_t n = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + uint64_t(c - '0');
    }
    if (n > limit) return false;
    *out = static_cast<uint32_t>(n);
    return true;
}

std::vector<std::string> Split(const std::string& s, char sep) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        const size_t at = s.find(sep, start);
        parts.push_back(s.substr(start, at == std::string::npos ? at : at - start));
        if (at == std::string::npos) return parts;
        start = at + 1;
    }
}

// WIDTHxHEIGHTxBPP@HZ
bool ParseMode(const std::string& token, DisplayMode* mode) {
    const std::vector<std::string> rate = Split(token, '@');
    if (rate.size() != 2) return false;
    const std::vector<std::string> size = Split(rate[0], 'x');
    if (size.size() != 3) return false;
    const uint32_t kMax = 0xFFFFFFFFu;
    return ParseNumber(size[0], kMax, &mode->width) && ParseNumber(size[1], kMax, &mode->height) &&
           ParseNumber(size[2], kMax, &mode->bitsPerPixel) &&
           ParseNumber(rate[1], kMax, &mode->refreshHz);
}

enum class Section { None, System, Program, Files, Display, Monitors, Other };

class IniReader {
public:
    explicit IniReader(MachineProfile& out) : out_(out) {}

    bool Read(const std::string& text, std::string* error) {
        size_t number = 0;
        for (const std::string& line : SplitFileLines(text)) {
            line_ = ++number;
            if (!Line(Trim(line))) {
                if (error) *error = problem_;
                return false;
            }
        }
        return true;
    }

private:
    bool Problem(const std::string& what) {
        problem_ = std::string(kProfileMachineFile) + " line " + std::to_string(line_) + ": " + what;
        return false;
    }

    bool Line(const std::string& line) {
        if (line.empty() || line[0] == ';' || line[0] == '#') return true;
        if (line[0] == '[') {
            if (line.back() != ']') return Problem("a section line must end with ]");
            const std::string name = Trim(line.substr(1, line.size() - 2));
            section_ = SameNoCase(name, "system")    ? Section::System
                       : SameNoCase(name, "program") ? Section::Program
                       : SameNoCase(name, "files")   ? Section::Files
                       : SameNoCase(name, "display") ? Section::Display
                       : SameNoCase(name, "monitors") ? Section::Monitors
                                                     : Section::Other;
            return true;
        }
        if (section_ == Section::Other) return true;
        // Values may hold '=' (a folder such as C:\Tools\A=B), setting names never do. In
        // [files] the name is a path, which may hold '=', and the version never does.
        const size_t eq = section_ == Section::Files ? line.rfind('=') : line.find('=');
        if (eq == std::string::npos) return Problem("expected NAME=VALUE");
        const std::string key = Trim(line.substr(0, eq));
        const std::string value = Trim(line.substr(eq + 1));
        switch (section_) {
            case Section::None:
                return Problem("a setting before any [section]");
            case Section::System:
                return Single(key, "directory", value, &out_.systemDirectory, &haveSystem_, "[system]");
            case Section::Program:
                return Single(key, "folder", value, &out_.programFolder, &haveProgram_, "[program]");
            case Section::Files:
                return File(key, value);
            case Section::Display:
                return Modes(key, value);
            case Section::Monitors:
                return Monitor(key, value);
            case Section::Other:
                break;
        }
        return true;
    }

    bool Single(const std::string& key, const char* expected, const std::string& value,
                std::string* target, bool* seen, const char* section) {
        if (!SameNoCase(key, expected))
            return Problem("unknown setting \"" + key + "\" in " + section + " (expected " +
                           expected + "=)");
        if (*seen) return Problem(std::string("a second ") + expected + "= in " + section);
        *seen = true;
        *target = value;
        return true;
    }

    bool File(const std::string& path, const std::string& value) {
        if (path.empty()) return Problem("a file line needs a path before =");
        if (out_.FindFile(path) != nullptr) return Problem("the file \"" + path + "\" is listed twice");
        ProfileFile file;
        file.path = path;
        if (!value.empty()) {
            if (!ParseFileVersion(value, &file.version))
                return Problem("the version \"" + value +
                               "\" is not four numbers of 0 to 65535 (a.b.c.d)");
            file.hasVersion = true;
        }
        out_.files.push_back(file);
        return true;
    }

    bool Modes(const std::string& key, const std::string& value) {
        if (!SameNoCase(key, "modes"))
            return Problem("unknown setting \"" + key + "\" in [display] (expected modes=)");
        std::string token;
        for (size_t i = 0; i <= value.size(); ++i) {
            if (i < value.size() && !IsBlank(value[i])) {
                token.push_back(value[i]);
                continue;
            }
            if (token.empty()) continue;
            DisplayMode mode;
            if (!ParseMode(token, &mode))
                return Problem("the display mode \"" + token + "\" is not WIDTHxHEIGHTxBPP@HZ");
            out_.modes.push_back(mode);
            token.clear();
        }
        return true;
    }

    bool Monitor(const std::string& key, const std::string& value) {
        if (SameNoCase(key, "adapter")) {
            out_.adapters.push_back(DisplayAdapter{value, {}});
            return true;
        }
        if (!SameNoCase(key, "monitor"))
            return Problem("unknown setting \"" + key + "\" in [monitors] (expected adapter= or monitor=)");
        if (out_.adapters.empty()) return Problem("a monitor= before any adapter=");
        out_.adapters.back().monitorIds.push_back(value);
        return true;
    }

    MachineProfile& out_;
    Section section_ = Section::None;
    size_t line_ = 0;
    std::string problem_;
    bool haveSystem_ = false;
    bool haveProgram_ = false;
};

}  // namespace

const ProfileFile* MachineProfile::FindFile(const std::string& path) const {
    for (const ProfileFile& f : files)
        if (SameNoCase(f.path, path)) return &f;
    return nullptr;
}

bool ParseFileVersion(const std::string& text, FixedFileVersion* version) {
    const std::vector<std::string> parts = Split(text, '.');
    if (parts.size() != 4) return false;
    uint32_t n[4];
    for (std::size_t i = 0; i < 4; ++i)
        if (!ParseNumber(parts[i], 0xFFFF, &n[i])) return false;
    version->ms = n[0] << 16 | n[1];
    version->ls = n[2] << 16 | n[3];
    return true;
}

bool ParseMachineIni(const std::string& text, MachineProfile& profile, std::string* error) {
    MachineProfile parsed;
    parsed.directory = profile.directory;
    if (!IniReader(parsed).Read(text, error)) return false;
    profile = parsed;
    return true;
}

std::string FormatMachineIni(const MachineProfile& profile) {
    std::string out = "[system]\r\ndirectory=" + profile.systemDirectory + "\r\n";
    out += "[program]\r\nfolder=" + profile.programFolder + "\r\n";
    out += "[files]\r\n";
    for (const ProfileFile& f : profile.files)
        out += f.path + "=" + (f.hasVersion ? FormatFileVersion(f.version) : std::string()) + "\r\n";
    out += "[display]\r\n";
    // A few modes a line keeps the file readable.
    for (size_t i = 0; i < profile.modes.size(); i += 8) {
        out += "modes=";
        for (size_t j = i; j < profile.modes.size() && j < i + 8; ++j) {
            const DisplayMode& m = profile.modes[j];
            out += (j > i ? " " : "") + std::to_string(m.width) + 'x' + std::to_string(m.height) + 'x' +
                   std::to_string(m.bitsPerPixel) + '@' + std::to_string(m.refreshHz);
        }
        out += "\r\n";
    }
    if (!profile.adapters.empty()) out += "[monitors]\r\n";
    for (const DisplayAdapter& a : profile.adapters) {
        out += "adapter=" + a.deviceKey + "\r\n";
        for (const std::string& id : a.monitorIds) out += "monitor=" + id + "\r\n";
    }
    return out;
}

std::string ProfilePath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    const char last = dir.back();
    return (last == '/' || last == '\\') ? dir + name : dir + "/" + name;
}

bool LoadMachineProfile(const std::string& dir, MemoryRegistry& registry, MachineProfile& profile,
                        std::string* error) {
    std::string ini;
    if (!ReadWholeFile(ProfilePath(dir, kProfileMachineFile), &ini, error)) return false;
    MachineProfile parsed;
    parsed.directory = dir;
    if (!ParseMachineIni(ini, parsed, error)) return false;

    MemoryRegistry loaded;
    if (!ImportRegFile(ProfilePath(dir, kProfileRegistryFile), loaded, error)) return false;

    registry.AssignContent(loaded);
    profile = parsed;
    return true;
}

bool SaveProfileRegistry(const std::string& dir, const MemoryRegistry& registry,
                         std::string* error) {
    return ExportRegFile(ProfilePath(dir, kProfileRegistryFile), registry, error);
}

}  // namespace hzwk
