// The TV-out resolutions: reading them, their entries in each layout, the Label50 line.
#include <gtest/gtest.h>

#include <string>

#include "registry/memory_registry.h"
#include "registry/settings.h"
#include "tvout/tv_entries.h"

namespace hzwk {
namespace {

std::string Blanks(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

const TvResolutions kBoth{"800", "600", "640", "480"};

TEST(IsTvNumber, DigitsOnlyFrom1To9999) {
    const struct {
        std::string text;
        bool accepted;
    } cases[] = {
        {"1", true},      {"640", true},    {"9999", true},   {"1024", true},   {"0800", true},
        {"0001", true},   {"0", false},     {"", false},      {"0000", false},  {"00800", false},
        {"10000", false}, {"800 ", false},  {" 800", false},  {"-800", false},  {"+800", false},
        {"8e2", false},   {"80.0", false},  {"abc", false},   {"N/A", false},   {"800;A", false},
        {"640x480", false}, {"800,600", false}, {"99999999999999999999", false},
        {std::string("80\0", 3), false},  {"\xEF\xBC\x98\xEF\xBC\x90\xEF\xBC\x90", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsTvNumber(c.text), c.accepted) << '"' << c.text << '"';
}

TEST(ReadTvResolutions, ReadsTheFourSettingsAndDropsAnythingButNumbers) {
    MemoryRegistry registry;
    const std::string key = reg::kSettingsKey;
    registry.SaveStringValue(key, reg::kResW1, "800");
    registry.SaveStringValue(key, reg::kResH1, "600;A 1,1");
    registry.SaveStringValue(key, reg::kResW2, "0640");
    registry.SaveStringValue("SOFTWARE\\Other", reg::kResH2, "480");  // not ours
    TvResolutions read = ReadTvResolutions(registry);
    EXPECT_EQ(read.w1, "800");
    EXPECT_EQ(read.h1, "");
    EXPECT_EQ(read.w2, "0640");
    EXPECT_EQ(read.h2, "");

    registry.SaveStringValue(key, reg::kResH1, "600");
    registry.SaveStringValue(key, reg::kResH2, "480");
    read = ReadTvResolutions(registry);
    EXPECT_EQ(read.h1, "600");
    EXPECT_EQ(read.h2, "480");

    // A value of another type, or one with bytes past a NUL, is no TV number.
    registry.SetRaw(key, reg::kResW1, kRegDword, std::string("\x20\x03\0\0", 4));
    registry.SetRaw(key, reg::kResH1, kRegSz, std::string("600\0" "9", 5));
    registry.SetRaw(key, reg::kResW2, kRegBinary, "640");
    read = ReadTvResolutions(registry);
    EXPECT_EQ(read.w1, "");
    EXPECT_TRUE(read.h1 == "" || read.h1 == "600") << read.h1;  // as the registry layer reads it
    EXPECT_EQ(read.w2, "");
    EXPECT_EQ(read.h2, "480");

    MemoryRegistry empty;
    read = ReadTvResolutions(empty);
    EXPECT_EQ(read.w1 + read.h1 + read.w2 + read.h2, "");
}

TEST(BuildTVEntries, Below4000TheyStandInEveryLayoutsOwnShape) {
    for (const char* key : {"3999", "3090", ".930", "0000", ""}) {
        SCOPED_TRACE(key);
        const TvParts parts = BuildTVEntries(kBoth, key);
        EXPECT_EQ(parts.compressed, ";A 800,600,-,60;640,480,-,60;");
        EXPECT_EQ(parts.normal8, "  0  8    800  600   60" + Blanks(20) + "  0  8    640  480   60" + Blanks(20));
        EXPECT_EQ(parts.normal16, "  0  16   800  600   60" + Blanks(20) + "  0  16   640  480   60" + Blanks(20));
        EXPECT_EQ(parts.normal32, "  0  32   800  600   60" + Blanks(20) + "  0  32   640  480   60" + Blanks(20));
        EXPECT_EQ(parts.used.w1, " 800");
        EXPECT_EQ(parts.used.h1, " 600");
        EXPECT_EQ(parts.used.w2, " 640");
        EXPECT_EQ(parts.used.h2, " 480");
    }
}

TEST(BuildTVEntries, From4000TheyAreMaskItemsOnly) {
    for (const char* key : {"4000", "4040", "4041", "4100", "4109", "N/A"}) {
        SCOPED_TRACE(key);
        const TvParts parts = BuildTVEntries(kBoth, key);
        EXPECT_EQ(parts.compressed, "800x600=803C; 640x480=803C;");
        EXPECT_EQ(parts.normal8 + parts.normal16 + parts.normal32, "");
        EXPECT_EQ(parts.used.w1, "800");  // not widened
        EXPECT_EQ(parts.used.h2, "480");
    }
}

TEST(BuildTVEntries, OneResolutionOrNone) {
    const TvResolutions onlySecond{"", "", "640", "480"};
    EXPECT_EQ(BuildTVEntries(onlySecond, "4000").compressed, " 640x480=803C;");
    EXPECT_EQ(BuildTVEntries(onlySecond, "3999").compressed, ";A 640,480,-,60;");
    EXPECT_EQ(BuildTVEntries(onlySecond, "3999").normal16, "  0  16   640  480   60" + Blanks(20));

    const TvResolutions onlyFirst{"720", "576", "", ""};
    EXPECT_EQ(BuildTVEntries(onlyFirst, "4100").compressed, "720x576=803C;");
    EXPECT_EQ(BuildTVEntries(onlyFirst, "3999").compressed, ";A 720,576,-,60;");

    // A width without its height, or a height without its width, is no resolution.
    for (const TvResolutions& absent : {TvResolutions{}, TvResolutions{"800", "", "", "480"},
                                        TvResolutions{"", "600", "640", ""}}) {
        for (const char* key : {"3999", "4000"}) {
            const TvParts parts = BuildTVEntries(absent, key);
            EXPECT_EQ(parts.compressed + parts.normal8 + parts.normal16 + parts.normal32, "") << key;
        }
    }
    // Widening touches each of the four values, present or not.
    EXPECT_EQ(BuildTVEntries(TvResolutions{"800", "", "", "480"}, "3999").used.w1, " 800");
}

TEST(BuildTVEntries, WidthsOtherThanThreeCharactersAreWrittenUnchanged) {
    const TvParts wide = BuildTVEntries(TvResolutions{"1024", "768", "", ""}, "3999");
    EXPECT_EQ(wide.normal8, "  0  8   1024  768   60" + Blanks(20));
    EXPECT_EQ(wide.used.w1, "1024");
    const TvParts narrow = BuildTVEntries(TvResolutions{"1", "24", "", ""}, "3999");
    EXPECT_EQ(narrow.normal32, "  0  32  1 24   60" + Blanks(20));
    EXPECT_EQ(narrow.compressed, ";A 1,24,-,60;");
    const TvParts zeros = BuildTVEntries(TvResolutions{"0800", "0600", "", ""}, "4000");
    EXPECT_EQ(zeros.compressed, "0800x0600=803C;");
}

TEST(BuildTVEntries, NothingButDigitsReachesTheDriver) {
    const TvResolutions hostile{"800;A 1", "600", "640", "480=FFFF;"};
    for (const char* key : {"3999", "4000"}) {
        const TvParts parts = BuildTVEntries(hostile, key);
        EXPECT_EQ(parts.compressed + parts.normal8 + parts.normal16 + parts.normal32, "") << key;
    }
    const TvParts half = BuildTVEntries(TvResolutions{"0", "480", "640", "480"}, "3999");
    EXPECT_EQ(half.compressed, ";A 640,480,-,60;");
}

TEST(Label50Caption, ListsEachStoredPartOnItsOwn) {
    const struct {
        TvResolutions stored;
        const char* caption;
    } cases[] = {
        {kBoth, "Added Resolutions: 800x600; 640x480"},
        {{"", "", "640", "480"}, "Added Resolutions: ; 640x480"},
        {{"800", "600", "", ""}, "Added Resolutions: 800x600"},
        {{}, "Added Resolutions: None"},
        {{"800", "", "", ""}, "Added Resolutions: 800"},
        {{"", "600", "", "480"}, "Added Resolutions: x600x480"},
        {{"abc", "0", "", "-1"}, "Added Resolutions: None"},
        {{"1024", "768", "x", "480"}, "Added Resolutions: 1024x768x480"},
    };
    for (const auto& c : cases) EXPECT_EQ(Label50Caption(c.stored), c.caption);
}

}  // namespace
}  // namespace hzwk
