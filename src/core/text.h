// Small text helpers shared by the core.
#pragma once

#include <string>

namespace hzwk {

// A whole decimal number: optional sign, digits only, no blanks. False on overflow.
bool ParseWholeNumber(const std::string& text, long long& out);

// `name` in `folder`, one backslash between them: a drive root ("C:\") brings its own.
std::string FileInFolder(const std::string& folder, const std::string& name);

// Numbers as printf's "%0*lu" and "%0*lx"/"%0*lX" write them, by hand: printf would bring
// the C library's whole formatter into hzwk.exe.
std::string ZeroPadded(unsigned long value, size_t minDigits);
std::string HexDigits(unsigned long value, size_t minDigits, bool upperCase);

// Blanks as the program's text files (.reg files, machine.ini) have them: spaces and tabs.
bool IsBlank(char c);
// The text without the blanks at its start, at its end, or at both.
std::string TrimLeft(const std::string& text);
std::string TrimRight(const std::string& text);
std::string Trim(const std::string& text);

// Names as Windows compares them: ASCII letters without regard to case, all else exactly.
bool SameNoCase(const std::string& a, const std::string& b);

// A decimal number as the user types it into the frequency box: blanks around it,
// an optional sign, digits with an optional fraction after "." or ",". Nothing else.
bool ParseDecimal(const std::string& text, double& out);

}  // namespace hzwk
