// The three layouts of the driver's mode list, composed from the grid and finished for writing.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/driver_context.h"
#include "core/mode_text.h"
#include "modelist/compose.h"
#include "fakes.h"

namespace hzwk {
namespace {

using test::All;
using test::Blanks;

std::string Tail(const std::string& text, size_t n) { return text.substr(text.size() - std::min(n, text.size())); }

// What start-up would detect for this key and format.
ComposeFlags FlagsFor(const std::string& key, bool compressed) {
    return {key, compressed, AnyRateFor(key, compressed)};
}

// The value Apply writes.
std::string Written(const Captions& captions, const ComposeFlags& flags, const TvParts& tv) {
    return FinishModeList(ComposeModeList(captions, flags, tv), flags.versionKey, tv);
}

const TvResolutions kTv{"800", "600", "640", "480"};

TEST(ChooseLayout, ByVersionKeyAndFormatWithTheValueName) {
    const Layout T = Layout::NormalModeTable, R = Layout::ModeRangeList, M = Layout::ModeMaskList;
    const struct {
        const char* key;
        Layout normal, compressed;
        const char* name;
    } cases[] = {
        {"", T, R, "NV25_Modes"},        {".930", T, R, "NV25_Modes"}, {"3999", T, R, "NV25_Modes"},
        {"4000", T, R, "NV25_Modes"},    {"4040", T, R, "NV25_Modes"}, {"404", T, R, "NV25_Modes"},
        {"4041", M, M, "NV25_Modes"},    {"4099", M, M, "NV25_Modes"}, {"4100", M, M, "NV_Modes"},
        {"N/A", M, M, "NV_Modes"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseLayout(c.key, false), c.normal) << c.key;
        EXPECT_EQ(ChooseLayout(c.key, true), c.compressed) << c.key;
        EXPECT_EQ(ModeValueNameFor("NV25_Modes", c.key), c.name) << c.key;
    }
    EXPECT_EQ(ModeValueNameFor("", "4100"), "NV_Modes");
}

TEST(NormalTable, WorkedExampleAndEveryRowAtNoRateIn57EntriesInTheDriversOrder) {
    Captions c = All("60");
    c[kR640x480] = "85";
    c[kR320x200] = "N/A";
    const std::string value = ComposeNormalTable(c, FlagsFor("3999", false), {});
    const std::string head = "8    640  480" + Blanks(15) + "85" + Blanks(10) + "0  8    320  200" + Blanks(27) +
                             "0  8    320  240   60" + Blanks(20) + "  0  ";
    EXPECT_EQ(value.substr(0, head.size()), head);
    const std::string tail = "  0  32  2048 1536   60" + Blanks(20) + "  0";
    EXPECT_EQ(Tail(value, tail.size()), tail);
    const std::string empty = ComposeNormalTable(All("N/A"), FlagsFor("3999", false), {});
    EXPECT_EQ(empty.size(), 57u * (38 + 3) + 56 * 2);
    EXPECT_EQ(test::Fnv1a(empty), 0xfb0990ecbc653147ull);
}

TEST(RangeList, EveryRowAtNoRate) {
    EXPECT_EQ(ComposeRangeList(All("N/A"), FlagsFor("3999", true), {}),
              "S 320,200,-,-;320,240,-,-;400,300,-,-;480,360,-,-;512,384,-,-;640,400,-,-;"
              "640,480,-,-;800,600,-,-;1024,768,-,-;1152,864,-,-;1280,768,-,-;1280,960,-,-;"
              "1280,1024,-,-;1600,900,-,-;1600,1024,-,-;1600,1200,-,-;1920,1080,-,-;"
              "1920,1200,-,-;1920,1440,-,-;2048,1536,-,-");
}

TEST(MaskList, WorkedExampleAndEveryRowAt120) {
    Captions c = All("120");
    c[kR640x480] = "85";
    c[kR320x200] = "N/A";
    c[kR320x240] = "60";
    c[kR1360x768] = "90";  // an any-rate caption
    const std::string value = ComposeMaskList(c);
    const std::string head = "SHV 640x480=8055; 320x200=8000; 320x240=803C; 400x300=8078; ";
    EXPECT_EQ(value.substr(0, head.size()), head);
    EXPECT_NE(value.find("; 1360x768=805A; "), std::string::npos);
    EXPECT_EQ(ComposeMaskList(All("120")),
              "SHV 640x480=8078; 320x200=8078; 320x240=8078; 400x300=8078; 480x360=8078; "
              "512x384=8078; 640x400=8078; 800x600=8078; 848x480=8078; 1024x768=8078; "
              "1152x864=8078; 1280x720=8078; 1280x768=8078; 1280x960=8078; 1280x1024=8078; "
              "1360x768=8078; 1600x900=8078; 1600x1024=8078; 1600x1200=8078; 1920x1080=8078; "
              "1920x1200=8078; 1920x1440=8078; 2048x1536=8078;");
}

TEST(WrittenValue, EveryVersionKeyBothFormatsWithAndWithoutTv) {
    const std::string tableHead = "8    640  480   " + Blanks(19) + "120  0  8    320  200   ";
    const std::string tableEnd = "  0  32  2048 1536   " + Blanks(19) + "120";
    const std::string tableTv = "  0  32   800  600   60" + Blanks(20) + "  0  32   640  480   60" + Blanks(20);
    const std::string rangeEnd = ";2048,1536,-,-100";
    const std::string maskItems = "800x600=803C; 640x480=803C;";
    const struct {
        const char* key;
        bool compressed;
        std::string begin, endNoTv, endTv;
    } cases[] = {
        {"3999", false, tableHead, tableEnd + "  0", tableEnd + tableTv + "  0"},
        {"4000", false, tableHead, tableEnd + "  0", tableEnd + "  0 " + maskItems},
        {"4040", false, tableHead, tableEnd + "  0", tableEnd + "  0 " + maskItems},
        {"3999", true, "S 320,200,-,-100;", rangeEnd, rangeEnd + ";A 800,600,-,60;640,480,-,60;"},
        {"4000", true, "S 320,200,-,-100;", rangeEnd, rangeEnd + " " + maskItems},
        {"4040", true, "S 320,200,-,-100;", rangeEnd, rangeEnd + " " + maskItems},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + (c.compressed ? " compressed" : " normal"));
        const ComposeFlags flags = FlagsFor(c.key, c.compressed);
        const std::string bare = Written(All("120"), flags, BuildTVEntries({}, c.key));
        const std::string withTv = Written(All("120"), flags, BuildTVEntries(kTv, c.key));
        EXPECT_EQ(bare.substr(0, c.begin.size()), c.begin);
        EXPECT_EQ(withTv.substr(0, c.begin.size()), c.begin);
        EXPECT_EQ(Tail(bare, c.endNoTv.size()), c.endNoTv);
        EXPECT_EQ(Tail(withTv, c.endTv.size()), c.endTv);
        // In all three depth blocks of the table, in none of the other layouts.
        size_t entries = 0;
        for (size_t at = withTv.find(" 800  600   60"); at != std::string::npos; at = withTv.find(" 800  600   60", at + 1))
            ++entries;
        EXPECT_EQ(entries, std::string(c.key) == "3999" && !c.compressed ? 3u : 0u);
    }
    // From 4041 both formats write the same mask list; from 4100 it is headed by "{*}".
    const std::string mask = ComposeMaskList(All("120"));
    for (const char* key : {"4041", "4099", "4100", "N/A"}) {
        const std::string head = KeyAtLeast(key, "4100") ? "{*}" : "";
        for (bool compressed : {false, true}) {
            SCOPED_TRACE(std::string(key) + (compressed ? " compressed" : " normal"));
            const ComposeFlags flags = FlagsFor(key, compressed);
            EXPECT_EQ(Written(All("120"), flags, BuildTVEntries({}, key)), head + mask);
            EXPECT_EQ(Written(All("120"), flags, BuildTVEntries(kTv, key)), head + mask + " " + maskItems);
            // The log line shows neither the head nor the TV-out items.
            EXPECT_EQ(ComposeModeList(All("120"), flags, BuildTVEntries(kTv, key)), mask);
        }
    }
    // Parts built for a pre-4000 driver never reach a newer layout's blocks or range list.
    const TvParts old = BuildTVEntries(kTv, "3999");
    EXPECT_EQ(ComposeNormalTable(All("60"), FlagsFor("4000", false), old),
              ComposeNormalTable(All("60"), FlagsFor("4000", false), {}));
    EXPECT_EQ(ComposeRangeList(All("60"), FlagsFor("4040", true), old),
              ComposeRangeList(All("60"), FlagsFor("4040", true), {}));
    // Only the second TV resolution: its own blank stays, after the one Apply adds.
    EXPECT_EQ(Tail(Written(All("60"), FlagsFor("4100", true), BuildTVEntries({"", "", "640", "480"}, "4100")), 30),
              "2048x1536=803C;  640x480=803C;");
}

}  // namespace
}  // namespace hzwk
