// The TV-out resolutions: reading them, their entries in each layout, the Label50 line.
#include <gtest/gtest.h>

#include <string>

#include "fakes.h"
#include "profile/memory_registry.h"
#include "registry/registry_rules.h"
#include "registry/settings.h"
#include "tvout/tv_entries.h"

namespace hzwk {
namespace {

using test::Blanks;

// One NormalModeTable TV-out entry as BuildTVEntries renders it.
std::string Entry(const char* joinAndDepth, const std::string& w, const std::string& h) {
    return joinAndDepth + w + " " + h + "   60" + Blanks(20);
}

TEST(IsTvNumber, DigitsOnlyFrom1To9999) {
    for (const char* yes : {"1", "640", "9999", "0800", "0001"}) EXPECT_TRUE(IsTvNumber(yes)) << yes;
    for (const std::string& no : std::initializer_list<std::string>{"0", "", "0000", "00800", "10000", "800 ", " 800", "-800", "+800",
                                 "8e2", "abc", "800;A", "640x480", std::string("80\0", 3)}) {
        EXPECT_FALSE(IsTvNumber(no)) << '"' << no << '"';
    }
}

TEST(ReadTvResolutions, ReadsTheFourSettingsAndDropsAnythingButNumbers) {
    MemoryRegistry registry;
    ApiRegistry rules(registry);
    const std::string key = reg::kSettingsKey;
    rules.SaveStringValue(key, reg::kResW1, "800");
    rules.SaveStringValue(key, reg::kResH1, "600;A 1,1");
    registry.SetRaw(key, reg::kResW2, kRegDword, std::string("\x80\x02\0\0", 4));
    rules.SaveStringValue(key, reg::kResH2, "480");
    const TvResolutions read = ReadTvResolutions(rules);
    EXPECT_EQ(read.w1, "800");
    EXPECT_EQ(read.h1, "");
    EXPECT_EQ(read.w2, "");
    EXPECT_EQ(read.h2, "480");
}

TEST(BuildTVEntries, EachLayoutsShapeOnEitherSideOf4000) {
    const struct {
        TvResolutions stored;
        const char* key;
        std::string compressed, normal16;
    } cases[] = {
        {{"800", "600", "640", "480"}, "3999", ";A 800,600,-,60;640,480,-,60;",
         Entry("  0  16  ", " 800", " 600") + Entry("  0  16  ", " 640", " 480")},
        {{"800", "600", "640", "480"}, "4000", "800x600=803C; 640x480=803C;", ""},
        {{"", "", "640", "480"}, "4000", " 640x480=803C;", ""},
        {{"", "", "640", "480"}, "3999", ";A 640,480,-,60;", Entry("  0  16  ", " 640", " 480")},
        {{"720", "576", "", ""}, "4100", "720x576=803C;", ""},
        {{"1024", "768", "", ""}, "3999", ";A 1024,768,-,60;", Entry("  0  16  ", "1024", " 768")},
        {{"1", "24", "", ""}, "3999", ";A 1,24,-,60;", Entry("  0  16  ", "1", "24")},
        {{"0800", "0600", "", ""}, "4000", "0800x0600=803C;", ""},
        // Half a resolution, or one that is no TV number, is no resolution.
        {{"800", "", "", "480"}, "3999", "", ""},
        {{"0", "480", "640", "480"}, "3999", ";A 640,480,-,60;", Entry("  0  16  ", " 640", " 480")},
        {{"800;A 1", "600", "640", "480=FFFF;"}, "4000", "", ""},
        {{}, "3999", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.w1 + "x" + c.stored.h1 + ", " + c.stored.w2 + "x" + c.stored.h2 + " @ " + c.key);
        const TvParts parts = BuildTVEntries(c.stored, c.key);
        EXPECT_EQ(parts.compressed, c.compressed);
        EXPECT_EQ(parts.normal16, c.normal16);
        std::string normal8 = c.normal16, normal32 = c.normal16;
        for (std::size_t at = 0; (at = normal8.find("  0  16  ", at)) != std::string::npos; at += 9) {
            normal8.replace(at, 9, "  0  8   ");
            normal32.replace(at, 9, "  0  32  ");
        }
        EXPECT_EQ(parts.normal8, normal8);
        EXPECT_EQ(parts.normal32, normal32);
    }
    // The values kept for the report are widened below 4000 only.
    EXPECT_EQ(BuildTVEntries({"800", "600", "", "480"}, "3999").used.w1, " 800");
    EXPECT_EQ(BuildTVEntries({"800", "600", "", "480"}, "3999").used.h2, " 480");
    EXPECT_EQ(BuildTVEntries({"800", "600", "", "480"}, "4000").used.w1, "800");
}

TEST(Label50Caption, ListsEachStoredPartOnItsOwn) {
    const struct {
        TvResolutions stored;
        const char* caption;
    } cases[] = {
        {{"800", "600", "640", "480"}, "Added Resolutions: 800x600; 640x480"},
        {{"", "", "640", "480"}, "Added Resolutions: ; 640x480"},
        {{}, "Added Resolutions: None"},
        {{"", "600", "", "480"}, "Added Resolutions: x600x480"},
        {{"abc", "0", "", "-1"}, "Added Resolutions: None"},
    };
    for (const auto& c : cases) EXPECT_EQ(Label50Caption(c.stored), c.caption);
}

}  // namespace
}  // namespace hzwk
