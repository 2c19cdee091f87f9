// A grid caption turned into its piece of each mode-list layout.
#include <gtest/gtest.h>

#include <string>

#include "fakes.h"
#include "core/mode_text.h"

namespace hzwk {
namespace {

using test::Blanks;

TEST(CalcRates, EveryLadderCaptionInBothFormatsNothingOffItOrWithAnyRate) {
    const struct {
        const char* caption;
        std::string rateField;   // NormalModeTable, 22 columns
        const char* rangeField;  // ModeRangeList
    } cases[] = {
        {"60", "60" + Blanks(20), "70-"},
        {"70", Blanks(3) + "70" + Blanks(17), "-60"},
        {"72", Blanks(6) + "72" + Blanks(14), "-70"},
        {"75", Blanks(9) + "75" + Blanks(11), "-72"},
        {"85", Blanks(12) + "85" + Blanks(8), "-75"},
        {"100", Blanks(15) + "100" + Blanks(4), "-85"},
        {"120", Blanks(19) + "120", "-100"},
        {"N/A", Blanks(22), "-"},
        // Off the ladder: compared exactly, no trimming, case folding or reading as a number.
        {"90", "", ""}, {"", "", ""}, {"060", "", ""}, {" 60", "", ""}, {"n/a", "", ""}, {"N/A ", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(CalcRates(c.caption, false, false), c.rateField);
        EXPECT_EQ(CalcRates(c.caption, false, true), c.rangeField);
        EXPECT_EQ(CalcRates(c.caption, true, false), "");
        EXPECT_EQ(CalcRates(c.caption, true, true), "");
    }
}

TEST(CalcHexRate, WholeNumbersInSixteenBitsElseZeroRate) {
    const struct {
        std::string caption;
        const char* hex;
    } cases[] = {
        {"60", "03C"},    {"85", "055"},     {"120", "078"},   {"240", "0F0"},   {"4096", "1000"},
        {"5", "005"},     {"75", "04B"},     {"255", "0FF"},   {"0", "000"},     {"060", "03C"},
        {"32767", "7FFF"}, {"-1", "FFFF"},   {"-32768", "8000"}, {"-0", "000"},
        {"0000000000000000000075", "04B"},
        // Not a whole number within 16 bits: the zero rate.
        {"N/A", "000"},   {"", "000"},       {"32768", "000"}, {"-32769", "000"}, {"-", "000"},
        {"99999999999999999999999", "000"},  {"+60", "000"},   {" 60", "000"},   {"60 ", "000"},
        {"60.0", "000"},  {"0x3C", "000"},   {std::string("60\0", 3), "000"},
    };
    for (const auto& c : cases) EXPECT_EQ(CalcHexRate(c.caption), c.hex) << c.caption;
}

}  // namespace
}  // namespace hzwk
