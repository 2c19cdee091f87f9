// Reading a backup of the driver's mode-list value back, for hzwkctl restore: the file must
// be one the program wrote for this machine, and nothing else gets through.
#pragma once

#include <functional>
#include <string>

#include "registry/reg_text.h"

namespace hzwk {

// Reads a backup for restore. It must be REGEDIT4 with exactly one key, HKEY_LOCAL_MACHINE's
// `driverKeyPath` (case aside), and exactly one value that `isModeListName` accepts. On
// success sets `value`; otherwise sets `error` to one line saying why the file is refused.
bool ReadBackupText(const std::string& text, const std::string& driverKeyPath,
                    const std::function<bool(const std::string&)>& isModeListName,
                    BackupValue* value, std::string* error);

}  // namespace hzwk
