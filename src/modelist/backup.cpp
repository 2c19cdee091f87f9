#include "modelist/backup.h"

#include <algorithm>

#include "core/text.h"

namespace hzwk {

namespace {

constexpr char kMachineRoot[] = "HKEY_LOCAL_MACHINE";
constexpr char kNamePrefix[] = "hzwk-backup-";
constexpr char kNameSuffix[] = ".reg";
// More backups from one second than this means the "taken" answer cannot be trusted.
constexpr int kMaxSuffix = 1000;
constexpr char kAppDataSubfolder[] = "Hertzwerk";
// The first read's buffer; a larger value is read again at the size the registry reports.
constexpr uint32_t kFirstReadBytes = 4096;
// No mode list comes near this; a larger reported size is not believed.
constexpr uint32_t kMaxValueBytes = 16u << 20;

bool Writable(const std::string& s) { return s.find_first_of(std::string("\r\n\0", 3)) == std::string::npos; }

// What the importer takes as a key path: parts split by single backslashes, no empty
// first part; regedit's one trailing backslash is allowed.
bool ReadableKeyPath(const std::string& path) {
    return !path.empty() && path[0] != '\\' && path.find("\\\\") == std::string::npos;
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

}  // namespace

bool MakeBackupText(const std::string& keyPath, const BackupValue& value, std::string* text) {
    if (!Writable(keyPath) || !ReadableKeyPath(keyPath) || !Writable(value.name)) return false;
    std::string out = "REGEDIT4\r\n\r\n[" + std::string(kMachineRoot) + "\\" + keyPath + "]\r\n";
    if (!value.data) {
        out += (value.name.empty() ? std::string("@") : "\"" + RegEscaped(value.name) + "\"") + "=-\r\n";
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

std::string BackupFileName(const BackupTime& t, const std::vector<std::string>& taken) {
    const auto two = [](int n, size_t digits) { return ZeroPadded(n < 0 ? 0ul : static_cast<unsigned long>(n), digits); };
    const std::string base = kNamePrefix + two(t.year, 4) + two(t.month, 2) + two(t.day, 2) + "-" +
                             two(t.hour, 2) + two(t.minute, 2) + two(t.second, 2);
    for (int n = 1; n <= kMaxSuffix; ++n) {
        const std::string name = base + (n == 1 ? std::string() : "-" + std::to_string(n)) + kNameSuffix;
        const auto same = [&name](const std::string& file) { return SameNoCase(file, name); };
        if (std::none_of(taken.begin(), taken.end(), same)) return name;
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

namespace {

// The value as it is now: false when it could not be read whole. A value (or key) that is
// not there is read as absent.
bool ReadCurrent(RegistryAccess& registry, const std::string& key, const std::string& name,
                 std::optional<RegData>* data) {
    uint32_t size = kFirstReadBytes;
    // The value may grow between two reads; a few tries, then give up.
    for (int tries = 0; tries < 4; ++tries) {
        const RawQuery q = registry.QueryRaw(key, name, size);
        if (q.found) {
            *data = RegData{q.type, q.data};
            return true;
        }
        if (!q.tooLarge) {
            data->reset();
            return true;
        }
        if (q.size <= size || q.size > kMaxValueBytes) return false;
        size = q.size;
    }
    return false;
}

// Writes `text` under a free backup name in `folder`, then deletes the backups there beyond
// the newest kept, never the one just written (the clock may have gone back).
bool WriteInFolder(Os& os, const std::string& folder, const BackupTime& now, const std::string& text) {
    if (folder.empty()) return false;
    std::vector<std::string> names = os.FileNames(folder, kNamePrefix);
    const std::string name = BackupFileName(now, names);
    if (name.empty() || !os.CreateNewFile(folder, name, text)) return false;
    names.push_back(name);
    for (const std::string& old : BackupsToDelete(names))
        if (old != name) os.RemoveFile(folder, old);  // one left behind is no failure
    return true;
}

}  // namespace

bool SaveBackup(RegistryAccess& registry, Os& os, const std::string& keyPath, const std::string& valueName) {
    try {
        BackupValue value{valueName, std::nullopt};
        std::string text;
        if (!ReadCurrent(registry, keyPath, valueName, &value.data) || !MakeBackupText(keyPath, value, &text))
            return false;
        const BackupTime now = os.LocalClock();
        if (WriteInFolder(os, os.ProgramFolder(), now, text)) return true;
        const std::string appData = os.AppDataFolder();
        if (appData.empty()) return false;
        const std::string folder = FileInFolder(appData, kAppDataSubfolder);
        return os.MakeFolder(folder) && WriteInFolder(os, folder, now, text);
    } catch (...) {
        return false;
    }
}

}  // namespace hzwk
