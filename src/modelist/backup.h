// modelist/: the driver's mode-list value and how it is written; no window or Win32 code.
//
// The backup taken before each write of the mode-list value: a REGEDIT4 file that puts the
// value back as it was, byte for byte, whether regedit imports it (a double-click) or
// hzwkctl restore reads it; the file's name; which old backups go; and the rules by which
// a file is restored.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "os/os.h"
#include "registry/reg_text.h"
#include "registry/registry_port.h"

namespace hzwk {

inline constexpr int kBackupsKept = 10;
// The most a backup file, or the value in it, may hold; no mode list comes near it.
inline constexpr size_t kMaxBackupBytes = 64 * 1024;

inline constexpr const char kNoBackup[] =
    "Could not save a backup of the current mode list, so nothing was changed.";

// The .reg text that restores `value` under HKEY_LOCAL_MACHINE\keyPath: ANSI, CR LF, ending
// in a blank line. A REG_SZ is quoted only when it is text with one final NUL and no other
// NUL or line break; any other value in regedit's hex form. False, and nothing made, for
// what restore would refuse (ReadBackupText), so that every backup written can be restored.
bool MakeBackupText(const std::string& keyPath, const BackupValue& value, std::string* text);

// Local date and time, as the clock gives them.
using BackupTime = ClockTime;

// hzwk-backup-YYYYMMDD-HHMMSS.reg, or with -2, -3, ... before .reg when the folder's files
// `taken` already hold the name, compared as Windows compares file names (case aside).
// Empty when no free name is found within a sane number of tries.
std::string BackupFileName(const BackupTime& time, const std::vector<std::string>& taken);

// The backups among `names` to delete so that the oldest one (the state before the program
// first wrote there) and the `newestKept` newest remain: by the time in the name, then by
// the -N suffix as a number. Names not of BackupFileName's pattern (case aside) never go.
std::vector<std::string> BackupsToDelete(const std::vector<std::string>& names, size_t newestKept);

// Saves the current state of `valueName` under HKEY_LOCAL_MACHINE\keyPath as a backup file:
// in the program folder (unless it lies in the temporary folder, which Windows empties),
// else in the application-data folder's Hertzwerk (made when missing). Then the older
// backups there beyond the oldest and the kBackupsKept newest go; only files that are
// plainly backups of this key (name, size, first lines) are ever deleted. A value (or key)
// that is not there is saved as absent; any other failed read saves nothing. False, with
// `failure` set to the message for the user, when no backup was written; never throws.
bool SaveBackup(RegistryAccess& registry, Os& os, const std::string& keyPath, const std::string& valueName,
                std::string* failure);

// Reads a backup for restore. It must be a REGEDIT4 text of at most kMaxBackupBytes with
// exactly one key, HKEY_LOCAL_MACHINE's `driverKeyPath` (case aside), and exactly one value:
// a mode-list value of the catalogue or NV_Modes, as REG_SZ, REG_BINARY or REG_MULTI_SZ of
// at most kMaxBackupBytes, or its deletion ("name"=-). On success sets `value`; otherwise
// sets `error` to one line saying why the file is refused.
bool ReadBackupText(const std::string& text, const std::string& driverKeyPath, BackupValue* value,
                    std::string* error);

enum class RestoreOutcome { Restored, Refused, NotBackedUp, NotWritten };

// Puts back the value of a backup's `text` (the file read with at most kMaxBackupBytes + 1
// bytes): refused by ReadBackupText before anything is written; else the current value is
// backed up first and the value written exactly, or deleted. `restored` is the value read;
// `message` says why on any outcome but Restored.
RestoreOutcome RestoreBackup(RegistryAccess& registry, Os& os, const std::string& driverKeyPath,
                             const std::string& text, BackupValue* restored, std::string* message);

}  // namespace hzwk
