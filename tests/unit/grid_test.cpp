// The grid: the change rule, current rates, stepper sync, the frequency calculator, and the
// number parsers behind the captions and the frequency box.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "core/text.h"
#include "grid/grid.h"

namespace hzwk {
namespace {

// On the ladder a position is a rung, and above the top rung the stepper holds there; with any
// rate it is the rate itself, held at the stepper's own maximum (75 or 240).
TEST(Grid, EveryPositionShowsItsRateAndHoldsAtTheTop) {
    const char* ladder[] = {"N/A", "60", "70", "72", "75", "85", "100", "120"};
    std::mt19937 rng(3101);
    for (int run = 0; run < 2000; ++run) {
        const bool anyRate = rng() % 2;
        const int row = int(rng() % kRowCount), max = kRows[row].stepperMax;
        const int position = int(rng() % 4 ? rng() % (max + 3) : max - 1 + rng() % 3);
        Grid g(anyRate);
        g.SetPosition(row, position);
        const int held = anyRate ? std::min(position, max) : std::min(position, 7);
        EXPECT_EQ(g.Row(row).position, held) << anyRate << " row " << row << " at " << position;
        EXPECT_EQ(g.Row(row).caption, anyRate ? (held ? std::to_string(held) : "N/A") : ladder[held]) << row << " " << position;
        if (HasFailure()) break;
    }
}

// The last matching mode wins; 4 bpp counts only for the three smallest rows; rates below 60
// show "N/A". Steppers follow a caption they can show and stay put otherwise; enabled states stay.
TEST(Grid, CurrentRatesTakeTheLastMatchingModeAndMoveTheirSteppers) {
    Grid g;
    g.SetPosition(kR1600x1200, 3);
    g.SetPosition(kR800x600, 5);  // "N/A" takes it back to 0
    g.SetEnabled(kR640x480, false);
    g.ReadCurrentRates({{1024, 768, 32, 85}, {1024, 768, 32, 60}, {640, 480, 32, 75}, {640, 480, 4, 60}, {640, 480, 16, 0}, {320, 240, 4, 60},
                        {320, 200, 4, 70}, {400, 300, 4, 72}, {800, 600, 32, 59}, {1280, 1024, 16, 1}, {1600, 1200, 32, 90}});
    std::string shown;
    for (const auto& r : g.Rows()) shown += r.caption + "@" + std::to_string(r.position) + (r.enabled ? " " : "- ");
    EXPECT_EQ(shown, "70@2 60@1 72@3 N/A@0 N/A@0 N/A@0 75@4- N/A@0 60@1 N/A@0 N/A@0 N/A@0 N/A@0 N/A@0 N/A@0 90@3 "
                     "N/A@0 N/A@0 N/A@0 N/A@0 N/A@0 N/A@0 N/A@0 ");
    g.SyncSteppers();  // on the ladder a row at "N/A" is locked
    EXPECT_TRUE(g.Row(kR640x480).enabled && !g.Row(kR480x360).enabled && g.Row(kR1600x1200).enabled);

    Grid any(true);
    any.SetPosition(kR320x240, 50);
    any.SetPosition(kR1024x768, 70);
    any.ReadCurrentRates({{800, 600, 32, 240}, {320, 240, 32, 85}, {320, 200, 32, 75}});
    EXPECT_EQ(any.Row(kR800x600).position * 1000 + any.Row(kR1024x768).position, 240000);
    EXPECT_EQ(any.Row(kR320x200).position, 75);                    // its stepper's own top
    EXPECT_EQ(any.Row(kR320x240).caption + "@" + std::to_string(any.Row(kR320x240).position), "85@50");  // beyond its 75
}

// At 480 lines the rate is kHz / 480 * 0.95 - 2.5, rounded half to even, held at 240, "N/A"
// below 60; 17 rows share their height's rate, the six smallest keep theirs.
TEST(Calculator, RatesForTheWorkedFrequencies) {
    const int heights[] = {480, 600, 768, 864, 720, 960, 1024, 900, 1200, 1080, 1440, 1536};
    const std::pair<double, std::array<int, 12>> cases[] = {
        {31.5, {60, 47, 36, 32, 39, 29, 27, 31, 22, 25, 18, 17}}, {70, {136, 108, 84, 74, 90, 67, 62, 71, 53, 59, 44, 41}},
        {96, {188, 150, 116, 103, 124, 92, 87, 99, 74, 82, 61, 57}}, {130, {255, 203, 158, 140, 169, 126, 118, 135, 100, 112, 83, 78}}};
    for (const auto& [kHz, rates] : cases)
        for (int i = 0; i < 12; ++i) EXPECT_EQ(RateForHeight(kHz * 1000, heights[i]), rates[size_t(i)]) << kHz << " " << heights[i];
    EXPECT_EQ(RateForHeight(48000, 480), 92);  // exactly 92.5
    EXPECT_EQ(RateForHeight(1e12, 480), 32767);
    EXPECT_EQ(RateForHeight(-1e12, 480), -32768);

    for (const bool anyRate : {true, false}) {
        Grid g(anyRate);
        g.ReadCurrentRates({{320, 200, 8, 70}, {640, 400, 32, 85}});
        g.FillFromHFreq("96");
        std::string shown;
        for (const auto& r : g.Rows()) shown += r.caption + "@" + std::to_string(r.position) + " ";
        EXPECT_EQ(shown, anyRate ? "70@70 N/A@0 N/A@0 N/A@0 N/A@0 85@85 188@188 150@150 116@116 103@103 116@116 92@92 87@87 "
                                   "99@99 87@87 74@74 82@82 74@74 61@61 N/A@0 188@188 124@124 116@116 "
                                 : "70@2 N/A@0 N/A@0 N/A@0 N/A@0 85@5 188@7 150@7 116@7 103@7 116@7 92@7 87@7 "
                                   "99@7 87@7 74@7 82@7 74@7 61@7 N/A@0 188@7 124@7 116@7 ");  // rates stay off the ladder
    }
    const std::pair<const char*, const char*> edges[] = {
        {"122.5263", "240"}, {"123.04", "240"}, {"130", "240"}, {"32.842", "62"}, {"31,578", "60"}, {"31.0", "N/A"},
        {"99999999999999999999999999", "240"}, {"-99999999999999999999999999", "N/A"}, {" 70 ", "136"},
        {"", "N/A"}, {"abc", "N/A"}, {"96k", "N/A"}, {"1e3", "N/A"}, {"9.6.1", "N/A"}, {"-", "N/A"}};
    Grid g(true);
    for (const auto& [kHz, caption] : edges) {
        g.FillFromHFreq("96");
        g.FillFromHFreq(kHz);
        EXPECT_EQ(g.Row(kR640x480).caption, caption) << kHz;
        EXPECT_EQ(g.Row(kR640x480).position, std::string(caption) == "N/A" ? 0 : std::stoi(caption)) << kHz;
    }
    Grid ladder(false);  // 240 itself shows as calculated; above it the ladder's top rung holds
    ladder.FillFromHFreq("122.5263");
    const std::string at240 = ladder.Row(kR640x480).caption;
    ladder.FillFromHFreq("130");
    EXPECT_EQ(at240 + "/" + ladder.Row(kR640x480).caption + ladder.Row(kR2048x1536).caption, "240/12078");
}

TEST(ParseWholeNumber, TakesSignedDigitsAndRefusesWhatDoesNotFit) {
    const std::pair<const char*, long long> good[] = {{"0", 0}, {"85", 85}, {"-1", -1}, {"+60", 60},
        {"9223372036854775807", LLONG_MAX}, {"-9223372036854775808", LLONG_MIN}};
    for (const auto& [text, value] : good) {
        long long v = -7;
        EXPECT_TRUE(ParseWholeNumber(text, v) && v == value) << text;
    }
    // 10 x 1844674407370955162 is 2^64 + 4: it must not come back as 4.
    for (const char* bad : {"9223372036854775808", "-9223372036854775809", "18446744073709551620", "", "-", " 60", "6O"}) {
        long long v = 0;
        EXPECT_FALSE(ParseWholeNumber(bad, v)) << bad;
    }
    // debug.txt beside the program: a drive root ends in its separator already; a double-byte
    // name ending in a 0x5C trail byte ("\x95\x5C" in Shift-JIS) still gets one.
    EXPECT_EQ(FileInFolder("C:\\Program Files\\H", "debug.txt"), "C:\\Program Files\\H\\debug.txt");
    EXPECT_EQ(FileInFolder("C:\\", "debug.txt") + FileInFolder("C:\\\x95\\", "d"), "C:\\debug.txtC:\\\x95\\\\d");
}

}  // namespace
}  // namespace hzwk
