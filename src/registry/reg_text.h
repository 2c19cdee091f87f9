// One registry value as REGEDIT4 text, the form Windows' and Wine's regedit import: what the
// machine profiles' export and the backups written before every change of the driver's value
// share.
#pragma once

#include <optional>
#include <string>

#include "registry/registry_access.h"

namespace hzwk {

// The value a backup holds: its name and its type and bytes, or no data when the value
// did not exist (restoring then deletes it).
struct BackupValue {
    std::string name;
    std::optional<RegData> data;
    bool operator==(const BackupValue& o) const { return name == o.name && data == o.data; }
};

// The text with \ and " escaped, as regedit writes names and texts between quotes.
std::string RegEscaped(const std::string& text);

// One value as regedit exports it: "name"= (or @=) and its data, ending in CR LF. A REG_SZ
// is written as "text" only when it is the text plus one final NUL (no other NUL, no line
// break), a REG_DWORD as dword: only when it has exactly 4 bytes; anything else as hex: or
// hex(N):, wrapped below 80 columns, so reading it back gives the same type and bytes.
// The name must hold no line break or NUL.
std::string RegValueText(const std::string& name, const RegData& data);

}  // namespace hzwk
