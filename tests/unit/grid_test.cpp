// The grid: change rule, current rates, stepper sync, and the frequency calculator.
#include <gtest/gtest.h>

#include "grid/grid.h"

namespace hzwk {
namespace {

// On the ladder a position is a rung; with any rate it is the rate itself. Past the
// stepper's top both hold its maximum.
TEST(Grid, PositionsShowTheirRatesAndHoldAtTheTop) {
    const struct {
        bool anyRate;
        int row, position, held;
        const char* caption;
    } cases[] = {
        {false, kR640x480, 0, 0, "N/A"}, {false, kR640x480, 1, 1, "60"},   {false, kR640x480, 2, 2, "70"},
        {false, kR640x480, 3, 3, "72"},  {false, kR640x480, 4, 4, "75"},   {false, kR640x480, 5, 5, "85"},
        {false, kR640x480, 6, 6, "100"}, {false, kR640x480, 7, 7, "120"},  {false, kR320x200, 8, 7, "120"},
        {false, kR320x200, 240, 7, "120"}, {true, kR800x600, 0, 0, "N/A"}, {true, kR800x600, 1, 1, "1"},
        {true, kR800x600, 240, 240, "240"}, {true, kR320x240, 75, 75, "75"}, {true, kR320x240, 85, 75, "75"},
    };
    for (const auto& c : cases) {
        Grid g(c.anyRate);
        g.SetPosition(c.row, c.position);
        EXPECT_EQ(g.Row(c.row).position, c.held) << c.row << " at " << c.position;
        EXPECT_EQ(g.Row(c.row).caption, c.caption) << c.row << " at " << c.position;
    }
}

TEST(Grid, CurrentRatesTakeTheLastMatchingModeInSystemOrder) {
    Grid g;
    g.ReadCurrentRates({{1024, 768, 32, 60}, {1024, 768, 32, 70}, {1024, 768, 32, 75}, {1024, 768, 32, 85}});
    EXPECT_EQ(g.Row(kR1024x768).caption, "85");
    g.ReadCurrentRates({{1024, 768, 32, 85}, {1024, 768, 32, 75}, {1024, 768, 32, 60}});
    EXPECT_EQ(g.Row(kR1024x768).caption, "60");

    // 4 bpp counts only for the three smallest rows; rate 0 is skipped, rate 1 counts.
    g.ReadCurrentRates({{640, 480, 4, 60}, {320, 200, 4, 70}, {400, 300, 4, 72}, {800, 600, 32, 85}, {800, 600, 32, 0},
                        {1280, 1024, 32, 75}, {1280, 1024, 16, 1}, {1600, 1200, 32, 90}});
    EXPECT_EQ(g.Row(kR640x480).caption, "N/A");
    EXPECT_EQ(g.Row(kR320x200).caption + g.Row(kR400x300).caption, "7072");
    EXPECT_EQ(g.Row(kR800x600).caption, "85");
    EXPECT_EQ(g.Row(kR1280x1024).caption, "N/A");
    EXPECT_EQ(g.Row(kR1600x1200).caption, "90");  // off the ladder, shown as reported
    EXPECT_EQ(g.Row(kR848x480).caption, "N/A");

    g.ReadCurrentRates({{640, 480, 32, 59}});
    EXPECT_EQ(g.Row(kR640x480).caption, "N/A");
    g.ReadCurrentRates({});
    for (const auto& r : g.Rows()) EXPECT_EQ(r.caption, "N/A");
}

// Re-read captions carry their steppers along, so a click steps on from the rate on show;
// enabled states stay, and a caption no position stands for leaves its stepper alone.
TEST(Grid, ReadingRatesMovesSteppersToTheirCaptions) {
    Grid ladder(false);
    ladder.SetPosition(kR1600x1200, 3);
    ladder.SetEnabled(kR640x480, false);
    ladder.ReadCurrentRates({{640, 480, 32, 75}, {1600, 1200, 32, 90}});
    EXPECT_EQ(ladder.Row(kR640x480).position, 4);
    EXPECT_FALSE(ladder.Row(kR640x480).enabled);
    EXPECT_EQ(ladder.Row(kR1600x1200).position, 3);  // "90" is no rung
    EXPECT_EQ(ladder.Row(kR1600x1200).caption, "90");

    Grid any(true);
    any.SetPosition(kR320x240, 50);
    any.SetPosition(kR1024x768, 70);
    any.ReadCurrentRates({{800, 600, 32, 60}, {320, 240, 32, 85}});
    EXPECT_EQ(any.Row(kR800x600).position, 60);
    EXPECT_EQ(any.Row(kR1024x768).position, 0);    // "N/A"
    EXPECT_EQ(any.Row(kR320x240).position, 50);    // 85 is beyond its 75: caption kept as read
    EXPECT_EQ(any.Row(kR320x240).caption, "85");
}

TEST(Calculator, RatesForTheWorkedFrequencies) {
    const int heights[] = {480, 600, 768, 864, 720, 960, 1024, 900, 1200, 1080, 1440, 1536};
    struct Case {
        double kHz;
        int rates[12];
    };
    const Case cases[] = {
        {31.5, {60, 47, 36, 32, 39, 29, 27, 31, 22, 25, 18, 17}},
        {70, {136, 108, 84, 74, 90, 67, 62, 71, 53, 59, 44, 41}},
        {96, {188, 150, 116, 103, 124, 92, 87, 99, 74, 82, 61, 57}},
        {130, {255, 203, 158, 140, 169, 126, 118, 135, 100, 112, 83, 78}},
    };
    for (const Case& c : cases)
        for (int i = 0; i < 12; ++i)
            EXPECT_EQ(RateForHeight(c.kHz * 1000, heights[i]), c.rates[i]) << c.kHz << " " << heights[i];
    EXPECT_EQ(RateForHeight(48000, 480), 92);  // exactly 92.5: ties go to the even number
    EXPECT_EQ(RateForHeight(1e12, 480), 32767);
    EXPECT_EQ(RateForHeight(-1e12, 480), -32768);
}

TEST(Calculator, FillsSeventeenRowsAndLeavesTheSmallOnes) {
    Grid g(true);
    g.ReadCurrentRates({{320, 200, 8, 70}, {640, 400, 32, 85}});
    g.FillFromHFreq("96");
    EXPECT_EQ(g.Row(kR640x480).caption, "188");
    EXPECT_EQ(g.Row(kR848x480).caption, "188");
    EXPECT_EQ(g.Row(kR640x480).position, 188);
    EXPECT_EQ(g.Row(kR1360x768).caption, "116");
    EXPECT_EQ(g.Row(kR1600x1024).caption, "87");  // the second row of a shared height
    EXPECT_EQ(g.Row(kR2048x1536).caption, "N/A");
    EXPECT_EQ(g.Row(kR2048x1536).position, 0);
    EXPECT_EQ(g.Row(kR320x200).caption, "70");
    EXPECT_EQ(g.Row(kR640x400).caption, "85");

    g.FillFromHFreq("130");  // 255 at 480 lines: held at the top
    EXPECT_EQ(g.Row(kR640x480).caption, "240");
    EXPECT_EQ(g.Row(kR640x480).position, 240);
    EXPECT_EQ(g.Row(kR1600x1200).caption, "100");
    g.FillFromHFreq("31,5");
    EXPECT_EQ(g.Row(kR640x480).caption, "60");
    EXPECT_EQ(g.Row(kR800x600).caption, "N/A");
}

TEST(Calculator, BoundariesAndOddText) {
    // At 480 lines the rate is kHz / 480 * 0.95 - 2.5, rounded, held at 240, N/A below 60.
    const std::pair<const char*, const char*> cases[] = {
        {"122.5263", "240"}, {"123.04", "240"}, {"32.842", "62"}, {"31.578", "60"}, {"31.0", "N/A"},
        {"99999999999999999999999999", "240"}, {"-99999999999999999999999999", "N/A"}, {" 70 ", "136"},
    };
    Grid g(true);
    for (const auto& [kHz, caption] : cases) {
        g.FillFromHFreq(kHz);
        EXPECT_EQ(g.Row(kR640x480).caption, caption) << kHz;
        EXPECT_EQ(g.Row(kR640x480).position, std::string(caption) == "N/A" ? 0 : std::stoi(caption)) << kHz;
    }
    g.ReadCurrentRates({{320, 240, 8, 60}});
    for (const std::string text : {"", "abc", "96kHz", "1e3", "9.6.1", "-"}) {
        g.FillFromHFreq("96");
        g.FillFromHFreq(text);
        for (int row = kR640x400 + 1; row < kRowCount; ++row)
            EXPECT_EQ(g.Row(row).caption, "N/A") << '"' << text << "\" row " << row;
        EXPECT_EQ(g.Row(kR320x240).caption, "60");
    }
}

TEST(Calculator, OnTheLadderCalculatedRatesStayInTheCaptions) {
    Grid g(false);
    g.FillFromHFreq("96");
    EXPECT_EQ(g.Row(kR640x480).position, 7);
    EXPECT_EQ(g.Row(kR640x480).caption, "188");
    g.FillFromHFreq("122.5263");  // exactly 240: the top rung's stepper, the rate's caption
    EXPECT_EQ(g.Row(kR640x480).caption, "240");
    g.FillFromHFreq("130");
    EXPECT_EQ(g.Row(kR640x480).caption, "120");
    EXPECT_EQ(g.Row(kR2048x1536).caption, "78");
}

}  // namespace
}  // namespace hzwk
