// REGEDIT4 .reg files: the text form that Windows' and Wine's regedit import and export,
// and the form in which a machine profile keeps its HKEY_LOCAL_MACHINE values.
//
// Reading is registry/reg_text.h's ParseRegText; keys of other roots are skipped. Anything
// malformed is an error with its line number, and then nothing at all is imported.
//
// Writing is exact (see RegValueText), so reading the file back gives the same bytes and types.
#pragma once

#include <string>
#include <vector>

#include "profile/memory_registry.h"
#include "registry/reg_text.h"

namespace hzwk {

// Merges the file's keys and values into `registry`. On error leaves it unchanged.
bool ImportRegText(const std::string& text, MemoryRegistry& registry, std::string* error);
bool ImportRegFile(const std::string& path, MemoryRegistry& registry, std::string* error);

// Every key (empty ones too) and value. Fails only on names a .reg file cannot hold
// (line breaks or NULs in a name).
bool ExportRegText(const MemoryRegistry& registry, std::string* text, std::string* error);
// Written to a temporary file beside `path` first, then renamed over it.
bool ExportRegFile(const std::string& path, const MemoryRegistry& registry, std::string* error);

}  // namespace hzwk
