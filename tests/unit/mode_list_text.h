// Reading mode-list texts back in tests, so that checks speak of entries and items rather
// than of offsets. Only for tests: the program itself never parses a mode list.
#pragma once

#include <cctype>
#include <sstream>
#include <string>
#include <vector>

namespace hzwk::testing {

// A NormalModeTable split into entries, each without its "  0" end.
struct TableEntries {
    bool ok = false;                  // the text is a run of entries, each ended by "  0"
    std::vector<std::string> entries;
    std::vector<int> joinBlanks;      // blanks between an entry's "0" and the next entry
    std::string tail;                 // what follows the last "  0" (mask items from 4000 on)
};

// Splits a table whose entries begin with a digit (the depth). A "  0" followed by blanks and
// another digit ends an entry; the first "  0" followed by anything else ends the table.
inline TableEntries SplitTable(const std::string& text) {
    TableEntries out;
    auto digitAt = [&](std::size_t i) {
        return i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]));
    };
    for (std::size_t start = 0, from = 0;;) {
        const std::size_t end = text.find("  0", from);
        if (end == std::string::npos) return out;
        const std::size_t after = end + 3;
        from = end + 1;
        if (digitAt(after)) continue;  // a number that merely begins with 0, such as "0800"
        out.entries.push_back(text.substr(start, end - start));
        int blanks = 0;
        while (after + blanks < text.size() && text[after + blanks] == ' ') ++blanks;
        if ((blanks == 1 || blanks == 2) && digitAt(after + blanks)) {
            out.joinBlanks.push_back(blanks);
            start = from = after + blanks;
            continue;
        }
        out.tail = text.substr(after);
        out.ok = true;
        return out;
    }
}

inline bool StartsWith(const std::string& text, const std::string& head) {
    return text.compare(0, head.size(), head) == 0;
}

inline bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

inline std::vector<std::string> SplitOn(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + separator.size())
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

inline std::vector<std::string> Tokens(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> tokens;
    for (std::string token; in >> token;) tokens.push_back(token);
    return tokens;
}

}  // namespace hzwk::testing
