#include "modelist/backup.h"

#include <algorithm>
#include <cstdio>

#include "registry/reg_file.h"

namespace hzwk {

namespace {

constexpr char kMachineRoot[] = "HKEY_LOCAL_MACHINE";
constexpr char kNamePrefix[] = "hzwk-backup-";
constexpr char kNameSuffix[] = ".reg";
// More backups from one second than this means the "taken" answer cannot be trusted.
constexpr int kMaxSuffix = 1000;

bool Writable(const std::string& s) { return s.find_first_of(std::string("\r\n\0", 3)) == std::string::npos; }

// What the importer takes as a key path: parts split by single backslashes, no empty
// first part; regedit's one trailing backslash is allowed.
bool ReadableKeyPath(const std::string& path) {
    return !path.empty() && path[0] != '\\' && path.find("\\\\") == std::string::npos;
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    return out + "\"";
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

// Key names compare as Windows compares them; for the ASCII the driver keys use, that is
// without regard to case.
bool SameKeyName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Upper(x) == Upper(y); });
}

bool AllDigits(const std::string& s, size_t from, size_t count) {
    if (from + count > s.size()) return false;
    for (size_t i = from; i < from + count; ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

// The parts of a name BackupFileName makes: "YYYYMMDD-HHMMSS" and the suffix number
// as its digits ("1" without one), or false for any other name.
bool SplitBackupName(const std::string& name, std::string* stamp, std::string* number) {
    const size_t prefix = sizeof kNamePrefix - 1, suffix = sizeof kNameSuffix - 1;
    if (name.size() < prefix + 15 + suffix || name.compare(0, prefix, kNamePrefix) != 0 ||
        name.compare(name.size() - suffix, suffix, kNameSuffix) != 0)
        return false;
    if (!AllDigits(name, prefix, 8) || name[prefix + 8] != '-' || !AllDigits(name, prefix + 9, 6))
        return false;
    *stamp = name.substr(prefix, 15);
    const std::string rest = name.substr(prefix + 15, name.size() - prefix - 15 - suffix);
    if (rest.empty()) {
        *number = "1";
        return true;
    }
    // "-2", "-3", ...: no leading zero, never "-1".
    if (rest.size() < 2 || rest[0] != '-' || !AllDigits(rest, 1, rest.size() - 1) || rest[1] == '0' ||
        rest == "-1")
        return false;
    *number = rest.substr(1);
    return true;
}

// The file's lines as the importer splits them, blanks at their start removed.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t first = line.find_first_not_of(" \t");
        lines.push_back(first == std::string::npos ? std::string() : line.substr(first));
        start = end + 1;
    }
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

bool MakeBackupText(const std::string& keyPath, const BackupValue& value, std::string* text) {
    if (!Writable(keyPath) || !ReadableKeyPath(keyPath) || !Writable(value.name)) return false;
    std::string out = "REGEDIT4\r\n\r\n[" + std::string(kMachineRoot) + "\\" + keyPath + "]\r\n";
    if (!value.data) {
        out += (value.name.empty() ? std::string("@") : Quoted(value.name)) + "=-\r\n";
    } else {
        RegData data = *value.data;
        // The driver's text is stored without its NUL; regedit's quoted form stands for
        // the text either way, so give it the NUL the export looks for.
        if (data.type == kRegSz && data.bytes.find_first_of(std::string("\r\n\0", 3)) == std::string::npos)
            data.bytes.push_back('\0');
        out += RegValueText(value.name, data);
    }
    *text = out + "\r\n";
    return true;
}

std::string BackupFileName(const BackupTime& t, const std::function<bool(const std::string&)>& taken) {
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    const std::string base = kNamePrefix + std::string(stamp);
    for (int n = 1; n <= kMaxSuffix; ++n) {
        const std::string name = base + (n == 1 ? std::string() : "-" + std::to_string(n)) + kNameSuffix;
        if (!taken(name)) return name;
    }
    return std::string();
}

std::vector<std::string> BackupsToDelete(const std::vector<std::string>& names) {
    struct Backup {
        std::string stamp, number, name;
    };
    std::vector<Backup> backups;
    for (const std::string& name : names) {
        Backup b{"", "", name};
        if (SplitBackupName(name, &b.stamp, &b.number)) backups.push_back(b);
    }
    // Oldest first; suffix numbers compare by length first, as they have no leading zeros.
    std::sort(backups.begin(), backups.end(), [](const Backup& a, const Backup& b) {
        if (a.stamp != b.stamp) return a.stamp < b.stamp;
        if (a.number.size() != b.number.size()) return a.number.size() < b.number.size();
        return a.number < b.number;
    });
    std::vector<std::string> old;
    for (size_t i = 0; i + kBackupsKept < backups.size(); ++i) old.push_back(backups[i].name);
    return old;
}

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
    if (!SameKeyName(root, kMachineRoot))
        return Refuse(error, "the file's key is not under " + std::string(kMachineRoot));
    const std::string path = slash == std::string::npos ? std::string() : inner.substr(slash + 1);
    if (driverKeyPath.empty()) return Refuse(error, "no driver key was found on this machine");
    if (!SameKeyName(path, driverKeyPath))
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
