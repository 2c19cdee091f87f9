// Small helpers for checking mode-list texts: heads, tails and fingerprints of long ones.
#pragma once

#include <cstdint>
#include <string>

namespace hzwk::testing {

inline bool StartsWith(const std::string& text, const std::string& head) { return text.rfind(head, 0) == 0; }

inline bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// FNV-1a: pins a long text to the byte in one number.
inline uint64_t Fnv1a(const std::string& text) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : text) hash = (hash ^ c) * 0x100000001b3ull;
    return hash;
}

inline size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

}  // namespace hzwk::testing
