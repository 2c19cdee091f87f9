// The number parsers behind the captions, the frequency box and hzwkctl, and the path of debug.txt.
#include <gtest/gtest.h>

#include <climits>

#include "core/text.h"

namespace hzwk {
namespace {

TEST(ParseWholeNumber, TakesSignedDigitsAndRefusesWhatDoesNotFit) {
    struct Case {
        const char* text;
        bool ok;
        long long value;
    };
    const Case cases[] = {
        {"0", true, 0},
        {"85", true, 85},
        {"-1", true, -1},
        {"+60", true, 60},
        {"9223372036854775807", true, 9223372036854775807LL},
        {"9223372036854775808", false, 0},
        {"-9223372036854775808", true, LLONG_MIN},
        {"-9223372036854775809", false, 0},
        // 10 x 1844674407370955162 is 2^64 + 4: it must not come back as 4.
        {"18446744073709551620", false, 0},
        {"", false, 0},
        {"-", false, 0},
        {" 60", false, 0},
        {"6O", false, 0},
    };
    for (const Case& c : cases) {
        long long v = -7;
        EXPECT_EQ(ParseWholeNumber(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

// debug.txt beside the program: a drive root already ends in its separator; a folder whose
// double-byte name ends in a 0x5C trail byte ("\x95\x5C" in Shift-JIS) still gets one.
TEST(FileInFolder, OneSeparatorAlsoAtADriveRoot) {
    EXPECT_EQ(FileInFolder("C:\\Program Files\\Hertzwerk", "debug.txt"), "C:\\Program Files\\Hertzwerk\\debug.txt");
    EXPECT_EQ(FileInFolder("C:\\", "debug.txt"), "C:\\debug.txt");
    EXPECT_EQ(FileInFolder("C:\\\x95\\", "debug.txt"), "C:\\\x95\\\\debug.txt");
}

}  // namespace
}  // namespace hzwk
