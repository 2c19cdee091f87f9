#include "profile/file_io.h"

#include <cstdio>
#include <string>

namespace hzwk {

// C stdio rather than fstreams: libstdc++'s file streams import msvcrt functions that
// Windows 2000's msvcrt.dll does not have.
bool ReadWholeFile(const std::string& path, std::string* contents, std::string* error, size_t maxBytes) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) {
        if (error) *error = "cannot open " + path;
        return false;
    }
    // Where the file can be measured it is, so that an oversized one is never read at all;
    // elsewhere (a pipe) the reading stops one byte past the limit.
    bool tooLarge = false;
    if (std::fseek(in, 0, SEEK_END) == 0) {
        const long size = std::ftell(in);
        tooLarge = size < 0 || static_cast<unsigned long>(size) > maxBytes;
        std::rewind(in);
    }
    std::string text;
    char chunk[4096];
    size_t n = 0;
    while (!tooLarge && (n = std::fread(chunk, 1, sizeof chunk, in)) > 0) {
        text.append(chunk, n);
        tooLarge = text.size() > maxBytes;
    }
    const bool failed = std::ferror(in) != 0;
    std::fclose(in);
    if (tooLarge || failed) {
        if (error) *error = tooLarge ? path + " is larger than " + std::to_string(maxBytes) + " bytes" : "cannot read " + path;
        return false;
    }
    *contents = text;
    return true;
}

bool WriteWholeFile(const std::string& path, const std::string& contents, bool append) {
    std::FILE* out = std::fopen(path.c_str(), append ? "ab" : "wb");
    if (out == nullptr) return false;
    const bool written = std::fwrite(contents.data(), 1, contents.size(), out) == contents.size();
    const bool closed = std::fclose(out) == 0;
    return written && closed;
}

bool ReplaceFileAtomically(const std::string& path, const std::string& contents,
                           std::string* error) {
    const std::string temp = path + ".tmp";
    if (!WriteWholeFile(temp, contents, false)) {
        std::remove(temp.c_str());
        if (error) *error = "cannot write " + temp;
        return false;
    }
    if (std::rename(temp.c_str(), path.c_str()) == 0) return true;
#ifdef _WIN32
    // Windows' rename will not replace an existing file. The old one is moved aside, not
    // removed, so that it can go back if the new one cannot take its place.
    const std::string aside = path + ".old";
    std::remove(aside.c_str());
    if (std::rename(path.c_str(), aside.c_str()) == 0) {
        if (std::rename(temp.c_str(), path.c_str()) == 0) {
            std::remove(aside.c_str());
            return true;
        }
        std::rename(aside.c_str(), path.c_str());
    }
#endif
    std::remove(temp.c_str());
    if (error) *error = "cannot replace " + path;
    return false;
}

}  // namespace hzwk
