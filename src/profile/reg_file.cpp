#include "profile/reg_file.h"

#include "core/text.h"
#include "profile/file_io.h"
#include "registry/reg_text.h"

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

}  // namespace hzwk
