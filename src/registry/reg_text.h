// REGEDIT4, the text form Windows' and Wine's regedit import and export, in one place: its
// header and roots, one value as text, and the one reader that the machine profiles and the
// backups written before every change of the driver's value are both read by.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "registry/registry_port.h"

namespace hzwk {

inline constexpr char kRegHeader[] = "REGEDIT4";
inline constexpr char kRegMachineRoot[] = "HKEY_LOCAL_MACHINE";

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

// One key line or value line of a REGEDIT4 text, in the file's order.
struct RegEntry {
    bool isKey = false;
    // A key line: its root as written (HKEY_LOCAL_MACHINE or another root, any case), the path
    // below it ("" for the root itself), and whether the line deletes the key ([-...]).
    std::string root, path;
    bool deletesKey = false;
    // A value line, of the key line before it: its name ("" for @) and its data; none when the
    // line deletes the value ("name"=-).
    std::string name;
    std::optional<RegData> data;
};

// Reads a REGEDIT4 text as regedit does: "name"="text" is REG_SZ, the text plus one NUL;
// dword:, hex: and hex(N): give their types; [-KEY] and "name"=- delete; @ is the unnamed
// value; keys of the other roots are read too (a machine profile skips them). Anything
// malformed, or a key path deeper than kMaxKeyDepth, is an error: false, `error` set to
// "line N: what", and `entries` left as they were.
bool ParseRegText(const std::string& text, std::vector<RegEntry>* entries, std::string* error);

// The text's lines, split at LF with one CR before it dropped; a UTF-8 byte-order mark at the
// start is skipped (the text after it is still read as ANSI). Never empty.
std::vector<std::string> SplitFileLines(const std::string& text);

}  // namespace hzwk
