// modelist/: the driver's mode-list value and how it is written; no window or Win32 code.
//
// The backup taken before each write of the mode-list value: a REGEDIT4 file that puts
// the value back as it was when regedit imports it, the file's name, and which old backups
// go. Reading one back for restore is profile/backup_file.h's.
#pragma once

#include <string>
#include <vector>

#include "os/os.h"
#include "registry/reg_text.h"
#include "registry/registry_access.h"

namespace hzwk {

inline constexpr int kBackupsKept = 10;

// The .reg text that restores `value` under HKEY_LOCAL_MACHINE\keyPath: ANSI, CR LF,
// ending in a blank line. A REG_SZ that is plain text, with or without one final NUL,
// is written quoted; any other REG_SZ, or another type, in regedit's hex form. False,
// and nothing made, when the key path or the name cannot be written in a .reg file.
bool MakeBackupText(const std::string& keyPath, const BackupValue& value, std::string* text);

// Local date and time, as the clock gives them.
using BackupTime = ClockTime;

// hzwk-backup-YYYYMMDD-HHMMSS.reg, or with -2, -3, ... before .reg when the folder's files
// `taken` already hold the name, compared as Windows compares file names (case aside).
// Empty when no free name is found within a sane number of tries.
std::string BackupFileName(const BackupTime& time, const std::vector<std::string>& taken);

// The backups among `names` (a folder's file names) to delete so that the kBackupsKept
// newest remain: newest by the time in the name, then by the -N suffix as a number.
// Names not made by BackupFileName are never chosen.
std::vector<std::string> BackupsToDelete(const std::vector<std::string>& names);

// Saves the current state of `valueName` under HKEY_LOCAL_MACHINE\keyPath as a backup
// file: in the program folder, else in the application-data folder's Hertzwerk (made when
// missing); then the backups there beyond the kBackupsKept newest go. False when no backup
// could be written anywhere; never throws.
bool SaveBackup(RegistryAccess& registry, Os& os, const std::string& keyPath, const std::string& valueName);

}  // namespace hzwk
