// A grid caption turned into its piece of each mode-list layout.
#include <gtest/gtest.h>

#include <string>

#include "grid/conversions.h"

namespace hzwk {
namespace {

std::string Blanks(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

struct LadderCase {
    const char* caption;
    std::string rateField;   // NormalModeTable, 22 columns
    const char* rangeField;  // ModeRangeList
};

TEST(CalcRates, EveryLadderCaptionInBothFormats) {
    const LadderCase cases[] = {
        {"60", "60" + Blanks(20), "70-"},
        {"70", Blanks(3) + "70" + Blanks(17), "-60"},
        {"72", Blanks(6) + "72" + Blanks(14), "-70"},
        {"75", Blanks(9) + "75" + Blanks(11), "-72"},
        {"85", Blanks(12) + "85" + Blanks(8), "-75"},
        {"100", Blanks(15) + "100" + Blanks(4), "-85"},
        {"120", Blanks(19) + "120", "-100"},
        {"N/A", Blanks(22), "-"},
    };
    for (const LadderCase& c : cases) {
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(CalcRates(c.caption, false, false), c.rateField);
        EXPECT_EQ(CalcRates(c.caption, false, true), c.rangeField);
        EXPECT_EQ(CalcRates(c.caption, true, false), "");
        EXPECT_EQ(CalcRates(c.caption, true, true), "");
    }
}

TEST(CalcRates, RateFieldRungsSitInTheirOwnColumnsOfTheFullField) {
    // Laying every single-rate field over the others rebuilds the full field.
    const std::string full = "60 70 72 75 85 100 120";
    std::string merged = Blanks(22);
    for (const char* rung : {"60", "70", "72", "75", "85", "100", "120"}) {
        const std::string field = CalcRates(rung, false, false);
        ASSERT_EQ(field.size(), 22u) << rung;
        for (std::size_t i = 0; i < field.size(); ++i) {
            if (field[i] == ' ') continue;
            EXPECT_EQ(merged[i], ' ') << rung << " overlaps at column " << i;
            merged[i] = field[i];
        }
    }
    EXPECT_EQ(merged, full);
}

TEST(CalcRates, CaptionsOffTheLadderGiveNothingInEitherFormat) {
    // Exact comparison: no trimming, no case folding, no numeric reading.
    for (const char* caption : {"90", "", "0", "060", " 60", "60 ", "n/a", "N/A ", "NA", "-1",
                                "1200", "6", "12O", "100.0"}) {
        SCOPED_TRACE(caption);
        EXPECT_EQ(CalcRates(caption, false, false), "");
        EXPECT_EQ(CalcRates(caption, false, true), "");
    }
}

TEST(CalcHexRate, WholeNumbersInSixteenBits) {
    const struct {
        const char* caption;
        const char* hex;
    } cases[] = {
        {"60", "03C"},   {"85", "055"},     {"120", "078"},  {"240", "0F0"},  {"4096", "1000"},
        {"5", "005"},    {"75", "04B"},     {"90", "05A"},   {"15", "00F"},   {"16", "010"},
        {"255", "0FF"},  {"256", "100"},    {"0", "000"},    {"060", "03C"},  {"32767", "7FFF"},
        {"-1", "FFFF"},  {"-32768", "8000"}, {"-60", "FFC4"}, {"-0", "000"},
        {"0000000000000000000075", "04B"},
    };
    for (const auto& c : cases) EXPECT_EQ(CalcHexRate(c.caption), c.hex) << c.caption;
}

TEST(CalcHexRate, AnythingElseGivesZeroRate) {
    for (const char* caption : {"N/A", "", "32768", "-32769", "99999999999999999999999", "-",
                                "--1", "+60", " 60", "60 ", "6 0", "60.0", "1e3", "0x3C", "abc",
                                "\xEF\xBC\x96\xEF\xBC\x90"}) {  // full-width "60"
        EXPECT_EQ(CalcHexRate(caption), "000") << caption;
    }
    EXPECT_EQ(CalcHexRate(std::string("60\0", 3)), "000");
}

}  // namespace
}  // namespace hzwk
