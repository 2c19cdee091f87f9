#include "modelist/backup.h"

#include <algorithm>
#include <functional>

#include "catalogue/catalogue.h"
#include "core/text.h"
#include "registry/settings.h"

namespace hzwk {

namespace {

constexpr char kNamePrefix[] = "hzwk-backup-";
constexpr char kNameSuffix[] = ".reg";
// More backups from one second than this means the "taken" answer cannot be trusted.
constexpr int kMaxSuffix = 1000;
constexpr char kAppDataSubfolder[] = "Hertzwerk";
// The first read's buffer; a larger value is read again at the size the registry reports.
constexpr uint32_t kFirstReadBytes = 4096;

bool Refuse(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

// The lines every backup of a value under `keyPath` begins with.
std::string BackupHead(const std::string& keyPath) {
    return std::string(kRegHeader) + "\r\n\r\n[" + kRegMachineRoot + "\\" + keyPath + "]\r\n";
}

// The restore rules, with the value names that pass given.
bool ReadBackup(const std::string& text, const std::string& driverKeyPath,
                const std::function<bool(const std::string&)>& nameOk, BackupValue* value, std::string* error) {
    if (text.size() > kMaxBackupBytes) return Refuse(error, "the file is larger than 64 KB, which no backup is");
    std::vector<RegEntry> entries;
    std::string problem;
    if (!ParseRegText(text, &entries, &problem)) return Refuse(error, "not a readable backup: " + problem);
    std::vector<RegEntry> keys, values;
    for (RegEntry& e : entries) (e.isKey ? keys : values).push_back(std::move(e));
    if (keys.size() != 1)
        return Refuse(error, keys.empty() ? "the file names no key" : "the file names more than one key");
    const RegEntry& key = keys[0];
    if (key.deletesKey) return Refuse(error, "the file deletes a key");
    if (!SameNoCase(key.root, kRegMachineRoot))
        return Refuse(error, "the file's key is not under " + std::string(kRegMachineRoot));
    if (driverKeyPath.empty()) return Refuse(error, "no driver key was found on this machine");
    if (!SameNoCase(key.path, driverKeyPath))
        return Refuse(error, "the file is for key " + key.path + ", not this machine's driver key " + driverKeyPath);
    if (values.size() != 1)
        return Refuse(error, values.empty() ? "the file holds no value" : "the file holds more than one value");
    BackupValue found{values[0].name, values[0].data};
    if (!nameOk(found.name)) return Refuse(error, "\"" + found.name + "\" is not a mode-list value");
    if (found.data) {
        const uint32_t type = found.data->type;
        if (type != kRegSz && type != kRegBinary && type != kRegMultiSz)
            return Refuse(error, "the value is not REG_SZ, REG_BINARY or REG_MULTI_SZ, the types a mode list is kept as");
        if (found.data->bytes.size() > kMaxBackupBytes) return Refuse(error, "the value is larger than 64 KB");
    }
    *value = found;
    return true;
}

bool IsRestorableName(const std::string& name) { return IsModeListValueName(name) || name == reg::kNvModes; }

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
    if (name.size() < prefix + 15 + suffix || !SameNoCase(name.substr(0, prefix), kNamePrefix) ||
        !SameNoCase(name.substr(name.size() - suffix), kNameSuffix))
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
    const std::string name = value.name.empty() ? std::string("@") : "\"" + RegEscaped(value.name) + "\"";
    const std::string out =
        BackupHead(keyPath) + (value.data ? RegValueText(value.name, *value.data) : name + "=-\r\n") + "\r\n";
    // Read back by the restore rules: what they would refuse, or read otherwise, is no backup.
    BackupValue back;
    const auto same = [&value](const std::string& n) { return n == value.name; };
    if (!ReadBackup(out, keyPath, same, &back, nullptr) || !(back == value)) return false;
    *text = out;
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

std::vector<std::string> BackupsToDelete(const std::vector<std::string>& names, size_t newestKept) {
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
    for (size_t i = 1; i + newestKept < backups.size(); ++i) old.push_back(backups[i].name);
    return old;
}

namespace {

// The value as it is now: false when it could not be read whole. Only a value (or key) that
// is not there is read as absent; a refused read is no answer.
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
        if (q.missing) {
            data->reset();
            return true;
        }
        if (!q.tooLarge || q.size <= size || q.size > kMaxBackupBytes) return false;
        size = q.size;
    }
    return false;
}

// True when `path` is `folder` or lies beneath it, names compared as Windows compares them.
bool InFolder(const std::string& path, std::string folder) {
    if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();  // "C:\\" keeps its own
    if (folder.empty() || path.size() < folder.size() || !SameNoCase(path.substr(0, folder.size()), folder))
        return false;
    return path.size() == folder.size() || folder.back() == '\\' || path[folder.size()] == '\\';
}

// Writes `text` under a free backup name in `folder`, then deletes the older backups there
// beyond the oldest and the newest kept. The one just written counts among the newest
// whatever its name says (the clock may have gone back), and only files that are plainly
// our backups of this key, by name, size and first lines, are candidates.
bool WriteInFolder(Os& os, const std::string& folder, const std::string& keyPath, const BackupTime& now,
                   const std::string& text) {
    const std::vector<std::string> names = os.FileNames(folder, kNamePrefix);
    const std::string name = BackupFileName(now, names);
    if (name.empty() || !os.CreateNewFile(folder, name, text)) return false;
    const std::string head = BackupHead(keyPath);
    std::vector<std::string> ours;
    std::string stamp, number, start;
    for (const std::string& other : names)
        if (SplitBackupName(other, &stamp, &number) && os.ReadSmallFile(folder, other, kMaxBackupBytes, &start) &&
            start.size() >= head.size() && SameNoCase(start.substr(0, head.size()), head))
            ours.push_back(other);
    for (const std::string& old : BackupsToDelete(ours, kBackupsKept - 1))
        os.RemoveFile(folder, old);  // one left behind is no failure
    return true;
}

std::string NoBackupMessage(const std::vector<std::string>& tried) {
    if (tried.empty()) return kNoBackup;
    std::string folders;
    for (const std::string& folder : tried) folders += (folders.empty() ? "\"" : " or \"") + folder + "\"";
    return "Could not save a backup of the current mode list in " + folders + ", so nothing was changed.";
}

}  // namespace

bool SaveBackup(RegistryAccess& registry, Os& os, const std::string& keyPath, const std::string& valueName,
                std::string* failure) {
    *failure = kNoBackup;
    try {
        BackupValue value{valueName, std::nullopt};
        std::string text;
        if (!ReadCurrent(registry, keyPath, valueName, &value.data) || !MakeBackupText(keyPath, value, &text))
            return false;
        const BackupTime now = os.LocalClock();
        std::vector<std::string> tried;
        // Run from the temporary folder (opened inside a zip), the program is a copy whose
        // folder Windows empties later, backups and all.
        const std::string program = os.ProgramFolder();
        if (!program.empty() && !InFolder(program, os.TempFolder())) {
            if (WriteInFolder(os, program, keyPath, now, text)) return true;
            tried.push_back(program);
        }
        const std::string appData = os.AppDataFolder();
        if (!appData.empty()) {
            const std::string folder = FileInFolder(appData, kAppDataSubfolder);
            if (os.MakeFolder(folder) && WriteInFolder(os, folder, keyPath, now, text)) return true;
            tried.push_back(folder);
        }
        *failure = NoBackupMessage(tried);
        return false;
    } catch (...) {
        return false;
    }
}

bool ReadBackupText(const std::string& text, const std::string& driverKeyPath, BackupValue* value,
                    std::string* error) {
    return ReadBackup(text, driverKeyPath, IsRestorableName, value, error);
}

RestoreOutcome RestoreBackup(RegistryAccess& registry, Os& os, const std::string& driverKeyPath,
                             const std::string& text, BackupValue* restored, std::string* message) {
    BackupValue value;
    if (!ReadBackupText(text, driverKeyPath, &value, message)) return RestoreOutcome::Refused;
    *restored = value;
    // A restore is a change of the driver's value like any other: it can be undone too.
    if (!SaveBackup(registry, os, driverKeyPath, value.name, message)) return RestoreOutcome::NotBackedUp;
    try {
        bool written;
        if (value.data) {
            written = registry.SaveRawValue(driverKeyPath, value.name, *value.data);
        } else {
            // Nothing to delete counts as done: the value is absent either way.
            registry.DeleteRegValue(driverKeyPath, value.name);
            written = registry.QueryRaw(driverKeyPath, value.name, 0).missing;
        }
        if (written) return RestoreOutcome::Restored;
    } catch (...) {
    }
    *message = "cannot write " + value.name;
    return RestoreOutcome::NotWritten;
}

}  // namespace hzwk
