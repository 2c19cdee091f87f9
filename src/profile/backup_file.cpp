#include "profile/backup_file.h"

#include <algorithm>
#include <vector>

#include "core/text.h"
#include "profile/memory_registry.h"
#include "profile/reg_file.h"

namespace hzwk {

namespace {

constexpr char kMachineRoot[] = "HKEY_LOCAL_MACHINE";

// The file's lines as the importer splits them, blanks at their start removed.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines = SplitFileLines(text);
    for (std::string& line : lines) line.erase(0, std::min(line.find_first_not_of(" \t"), line.size()));
    return lines;
}

// The name of a value line the importer has accepted: @ or a quoted name with \\ and \".
std::string ValueLineName(const std::string& line) {
    std::string name;
    if (line[0] == '@') return name;
    for (size_t i = 1; i < line.size() && line[i] != '"'; ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) ++i;
        name.push_back(line[i]);
    }
    return name;
}

bool Refuse(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

}  // namespace

bool ReadBackupText(const std::string& text, const std::string& driverKeyPath,
                    const std::function<bool(const std::string&)>& isModeListName, BackupValue* value,
                    std::string* error) {
    MemoryRegistry scratch;
    std::string problem;
    if (!ImportRegText(text, scratch, &problem)) return Refuse(error, "not a readable backup: " + problem);

    // The importer skips other roots and merges repeated keys and values, so count the
    // lines themselves. Once the import has succeeded, every line starting with [ is a
    // key and every line starting with " or @ is a value (a hex continuation line that
    // started so would have been refused).
    std::vector<std::string> keys, values;
    const std::vector<std::string> lines = Lines(text);
    for (size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;
        if (lines[i][0] == '[') keys.push_back(lines[i]);
        if (lines[i][0] == '"' || lines[i][0] == '@') values.push_back(lines[i]);
    }
    if (keys.size() != 1)
        return Refuse(error, keys.empty() ? "the file names no key" : "the file names more than one key");

    const std::string& header = keys[0];
    const std::string inner = header.substr(1, header.rfind(']') - 1);
    if (!inner.empty() && inner[0] == '-') return Refuse(error, "the file deletes a key");
    const size_t slash = inner.find('\\');
    const std::string root = inner.substr(0, slash);
    if (!SameNoCase(root, kMachineRoot))
        return Refuse(error, "the file's key is not under " + std::string(kMachineRoot));
    const std::string path = slash == std::string::npos ? std::string() : inner.substr(slash + 1);
    if (driverKeyPath.empty()) return Refuse(error, "no driver key was found on this machine");
    if (!SameNoCase(path, driverKeyPath))
        return Refuse(error, "the file is for key " + path + ", not this machine's driver key " + driverKeyPath);

    if (values.size() != 1)
        return Refuse(error, values.empty() ? "the file holds no value" : "the file holds more than one value");
    BackupValue found;
    found.name = ValueLineName(values[0]);
    found.data = scratch.GetRaw(path, found.name);
    // Anything but the one value just named (or none, when the line deletes it) means the
    // line was not read as it looks; refuse rather than guess.
    if (scratch.ValueNames(path).size() != (found.data ? 1u : 0u) ||
        (found.data && scratch.ValueNames(path)[0] != found.name))
        return Refuse(error, "the file's value line cannot be read");
    if (!isModeListName(found.name)) return Refuse(error, "\"" + found.name + "\" is not a mode-list value");
    *value = found;
    return true;
}

}  // namespace hzwk
