// REGEDIT4 .reg files: the text form that Windows' and Wine's regedit import and export,
// and the form in which a machine profile keeps its HKEY_LOCAL_MACHINE values.
//
// Reading follows regedit: "name"="text" stores the text plus one NUL as REG_SZ,
// dword:, hex: and hex(N): give their types, [-KEY] and "name"=- delete, @ is the
// unnamed value, and keys of other roots are skipped. Anything malformed is an error
// with its line number, and then nothing at all is imported.
//
// Writing is exact: a REG_SZ is written as "text" only when it is the text plus one
// final NUL (no other NUL, no line break), a REG_DWORD as dword: only when it has
// exactly 4 bytes; everything else as hex(N):, so reading the file back gives the same
// bytes and types.
#pragma once

#include <string>
#include <vector>

#include "profile/memory_registry.h"

namespace hzwk {

// Merges the file's keys and values into `registry`. On error leaves it unchanged.
bool ImportRegText(const std::string& text, MemoryRegistry& registry, std::string* error);
bool ImportRegFile(const std::string& path, MemoryRegistry& registry, std::string* error);

// Every key (empty ones too) and value. Fails only on names a .reg file cannot hold
// (line breaks or NULs in a name).
bool ExportRegText(const MemoryRegistry& registry, std::string* text, std::string* error);
// Written to a temporary file beside `path` first, then renamed over it.
bool ExportRegFile(const std::string& path, const MemoryRegistry& registry, std::string* error);

// Whole-file helpers shared with the machine profile code.
bool ReadWholeFile(const std::string& path, std::string* contents, std::string* error);
// The text's lines, split at LF with one CR before it dropped; a UTF-8 byte-order mark at the
// start is skipped (the text after it is still read as ANSI). Never empty.
std::vector<std::string> SplitFileLines(const std::string& text);
// Rewrites (or appends to) a file with exactly these bytes.
bool WriteWholeFile(const std::string& path, const std::string& contents, bool append);
bool ReplaceFileAtomically(const std::string& path, const std::string& contents,
                           std::string* error);

}  // namespace hzwk
