// Whole files read and written through C stdio, for the profile's files (.reg files,
// machine.ini, debug.txt, backups) on any system: the .reg text itself is reg_file.h's.
#pragma once

#include <cstddef>
#include <string>

namespace hzwk {

// The file's bytes. A file larger than `maxBytes` is refused, by its size before anything
// is read where the size can be known.
bool ReadWholeFile(const std::string& path, std::string* contents, std::string* error,
                   size_t maxBytes = static_cast<size_t>(-1));
// Rewrites (or appends to) a file with exactly these bytes.
bool WriteWholeFile(const std::string& path, const std::string& contents, bool append);
// Written to a temporary file beside `path` first, then renamed over it.
bool ReplaceFileAtomically(const std::string& path, const std::string& contents,
                           std::string* error);

}  // namespace hzwk
