#include "profile/reg_file.h"

#include "core/text.h"
#include "registry/reg_text.h"

#include <cstdio>
#include <string>
#include <vector>

namespace hzwk {

namespace {

// ---- writing ----

bool Writable(const std::string& name) {
    return name.find_first_of(std::string("\r\n\0", 3)) == std::string::npos;
}

bool ExportKey(const MemoryRegistry& reg, const std::string& path, std::string* out,
               std::string* error) {
    const std::vector<std::string> names = reg.ValueNames(path);
    if (!path.empty() || !names.empty()) {
        *out += "[" + std::string(kRegMachineRoot) + (path.empty() ? "" : "\\" + path) + "]\r\n";
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
    std::vector<RegEntry> entries;
    if (!ParseRegText(text, &entries, error)) return false;
    MemoryRegistry work = registry;
    bool keep = false;  // the values that follow belong to one of HKEY_LOCAL_MACHINE's keys
    std::string key;
    for (const RegEntry& e : entries) {
        if (!e.isKey) {
            if (keep && e.data) work.SetRaw(key, e.name, e.data->type, e.data->bytes);
            if (keep && !e.data) work.DeleteRaw(key, e.name);
            continue;
        }
        keep = SameNoCase(e.root, kRegMachineRoot) && !e.deletesKey;
        key = e.path;
        if (!SameNoCase(e.root, kRegMachineRoot)) continue;
        if (e.deletesKey) {
            work.DeleteKey(e.path);  // deleting a key that is not there is no error
        } else if (!work.CreateKey(e.path)) {
            if (error) *error = "malformed key path \"" + e.path + "\"";
            return false;
        }
    }
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
    std::string out = std::string(kRegHeader) + "\r\n\r\n";
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
bool ReadWholeFile(const std::string& path, std::string* contents, std::string* error, size_t maxBytes) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) {
        if (error) *error = "cannot open " + path;
        return false;
    }
    // Where the file can be measured it is, so that an oversized one is never read at all;
    // elsewhere (a pipe) the reading stops one byte past the limit.
    bool tooLarge = false;
    if (std::fseek(in, 0, SEEK_END) == 0) {
        const long size = std::ftell(in);
        tooLarge = size < 0 || static_cast<unsigned long>(size) > maxBytes;
        std::rewind(in);
    }
    std::string text;
    char chunk[4096];
    size_t n = 0;
    while (!tooLarge && (n = std::fread(chunk, 1, sizeof chunk, in)) > 0) {
        text.append(chunk, n);
        tooLarge = text.size() > maxBytes;
    }
    const bool failed = std::ferror(in) != 0;
    std::fclose(in);
    if (tooLarge || failed) {
        if (error) *error = tooLarge ? path + " is larger than " + std::to_string(maxBytes) + " bytes" : "cannot read " + path;
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
