// The three layouts of the driver's mode list, composed from the grid and finished for writing.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "app/driver_context.h"
#include "grid/conversions.h"
#include "modelist/compose.h"
#include "mode_list_text.h"

namespace hzwk {
namespace {

using testing::EndsWith;
using testing::SplitOn;
using testing::SplitTable;
using testing::StartsWith;
using testing::Tokens;

std::string Blanks(int n) { return std::string(static_cast<std::size_t>(n), ' '); }

Captions All(const std::string& caption) {
    Captions c;
    c.fill(caption);
    return c;
}

// What start-up would detect for this key and format.
ComposeFlags FlagsFor(const std::string& key, bool compressed) {
    ComposeFlags f;
    f.versionKey = key;
    f.compressedFormat = compressed;
    f.anyRate = (KeyAtLeast(key, "4041") && compressed) || KeyAtLeast(key, "4100");
    return f;
}

// The value Apply writes.
std::string Written(const Captions& captions, const ComposeFlags& flags, const TvParts& tv) {
    return FinishModeList(ComposeModeList(captions, flags, tv), flags.versionKey, tv);
}

const TvResolutions kTv{"800", "600", "640", "480"};
const TvParts kNoTv{};

const char* const kKeys[] = {"3999", "4000", "4040", "4041", "4099", "4100", "N/A"};

// The rows each layout carries, in the driver's order.
const std::vector<Row> kTableOrder = {
    kR640x480, kR320x200, kR320x240, kR400x300, kR480x360, kR512x384, kR640x400,
    kR800x600, kR1024x768, kR1152x864, kR1280x768, kR1280x960, kR1280x1024,
    kR1600x1024, kR1600x1200, kR1920x1080, kR1920x1200, kR1920x1440, kR2048x1536};
const std::vector<Row> kRangeOrder = {
    kR320x200, kR320x240, kR400x300, kR480x360, kR512x384, kR640x400, kR640x480,
    kR800x600, kR1024x768, kR1152x864, kR1280x768, kR1280x960, kR1280x1024, kR1600x900,
    kR1600x1024, kR1600x1200, kR1920x1080, kR1920x1200, kR1920x1440, kR2048x1536};
const std::vector<Row> kMaskOrder = {
    kR640x480, kR320x200, kR320x240, kR400x300, kR480x360, kR512x384, kR640x400,
    kR800x600, kR848x480, kR1024x768, kR1152x864, kR1280x720, kR1280x768, kR1280x960,
    kR1280x1024, kR1360x768, kR1600x900, kR1600x1024, kR1600x1200, kR1920x1080,
    kR1920x1200, kR1920x1440, kR2048x1536};

std::string W(Row r) { return std::to_string(kRows[r].width); }
std::string H(Row r) { return std::to_string(kRows[r].height); }

// ---- Layout choice and value name -----------------------------------------------------------

TEST(ChooseLayout, ByVersionKeyAndFormat) {
    const struct {
        const char* key;
        Layout normal, compressed;
    } cases[] = {
        {"", Layout::NormalModeTable, Layout::ModeRangeList},
        {".930", Layout::NormalModeTable, Layout::ModeRangeList},
        {"3999", Layout::NormalModeTable, Layout::ModeRangeList},
        {"4000", Layout::NormalModeTable, Layout::ModeRangeList},
        {"4040", Layout::NormalModeTable, Layout::ModeRangeList},
        {"404", Layout::NormalModeTable, Layout::ModeRangeList},
        {"4041", Layout::ModeMaskList, Layout::ModeMaskList},
        {"4099", Layout::ModeMaskList, Layout::ModeMaskList},
        {"4100", Layout::ModeMaskList, Layout::ModeMaskList},
        {"N/A", Layout::ModeMaskList, Layout::ModeMaskList},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseLayout(c.key, false), c.normal) << c.key;
        EXPECT_EQ(ChooseLayout(c.key, true), c.compressed) << c.key;
    }
}

TEST(ModeValueNameFor, NvModesFrom4100On) {
    for (const char* key : {"3999", "4000", "4040", "4041", "4099", "", ".930"}) {
        EXPECT_EQ(ModeValueNameFor("NV25_Modes", key), "NV25_Modes") << key;
        EXPECT_EQ(ModeValueNameFor("", key), "") << key;
    }
    for (const char* key : {"4100", "4109", "N/A"}) {
        EXPECT_EQ(ModeValueNameFor("NV25_Modes_Delta", key), "NV_Modes") << key;
        EXPECT_EQ(ModeValueNameFor("", key), "NV_Modes") << key;
    }
}

// ---- Worked examples ------------------------------------------------------------------------

TEST(NormalTable, WorkedExampleBeginning) {
    Captions c = All("60");
    c[kR640x480] = "85";
    c[kR320x200] = "N/A";
    const std::string value = ComposeNormalTable(c, FlagsFor("3999", false), kNoTv);
    EXPECT_TRUE(StartsWith(value, "8    640  480" + Blanks(15) + "85" + Blanks(10) + "0  8    320  200" +
                                      Blanks(27) + "0  8    320  240   " + "60" + Blanks(20) + "  0  "));
    EXPECT_TRUE(EndsWith(value, "  0  32  2048 1536   60" + Blanks(20) + "  0"));
}

TEST(NormalTable, EveryRowAtNoRateIs57EmptyEntries) {
    const std::string value = ComposeNormalTable(All("N/A"), FlagsFor("3999", false), kNoTv);
    const auto split = SplitTable(value);
    ASSERT_TRUE(split.ok);
    ASSERT_EQ(split.entries.size(), 57u);
    for (const std::string& entry : split.entries) {
        EXPECT_EQ(entry.size(), 38u) << entry;
        EXPECT_EQ(Tokens(entry).size(), 3u) << entry;
        EXPECT_TRUE(EndsWith(entry, Blanks(25))) << entry;  // 3 head blanks and 22 field blanks
    }
    EXPECT_EQ(value.size(), 57u * (38 + 3) + 56 * 2);  // entries with their "  0", and the joins
}

TEST(NormalTable, TvEntriesCloseEachDepthBlockBelow4000) {
    const TvParts tv = BuildTVEntries(kTv, "3999");
    const std::string value = ComposeNormalTable(All("120"), FlagsFor("3999", false), tv);
    const std::string tvEntries8 =
        "  0  8    800  600   60" + Blanks(20) + "  0  8    640  480   60" + Blanks(20);
    const std::string last8 = "  0  8   2048 1536   " + Blanks(19) + "120";
    EXPECT_NE(value.find(last8 + tvEntries8 + "  0  16   640  480   "), std::string::npos);
    EXPECT_TRUE(EndsWith(value, "  0  32  2048 1536   " + Blanks(19) + "120" + "  0  32   800  600   60" +
                                    Blanks(20) + "  0  32   640  480   60" + Blanks(20) + "  0"));
    const auto split = SplitTable(value);
    ASSERT_TRUE(split.ok);
    EXPECT_EQ(split.entries.size(), 63u);
}

TEST(NormalTable, RowsOutsideTheTableAreIgnored) {
    Captions c = All("60");
    const std::string base = ComposeNormalTable(c, FlagsFor("3999", false), kNoTv);
    for (Row r : {kR848x480, kR1280x720, kR1360x768, kR1600x900}) c[r] = "120";
    EXPECT_EQ(ComposeNormalTable(c, FlagsFor("3999", false), kNoTv), base);
    EXPECT_EQ(base.find("1600  900"), std::string::npos);
    EXPECT_EQ(base.find(" 848 "), std::string::npos);
}

TEST(RangeList, EveryRowAtNoRate) {
    EXPECT_EQ(ComposeRangeList(All("N/A"), FlagsFor("3999", true), kNoTv),
              "S 320,200,-,-;320,240,-,-;400,300,-,-;480,360,-,-;512,384,-,-;640,400,-,-;"
              "640,480,-,-;800,600,-,-;1024,768,-,-;1152,864,-,-;1280,768,-,-;1280,960,-,-;"
              "1280,1024,-,-;1600,900,-,-;1600,1024,-,-;1600,1200,-,-;1920,1080,-,-;"
              "1920,1200,-,-;1920,1440,-,-;2048,1536,-,-");
}

TEST(RangeList, LadderCaptionsAndTheTvGroup) {
    Captions c = All("120");
    c[kR320x200] = "60";
    c[kR320x240] = "85";
    c[kR640x480] = "N/A";
    const std::string value = ComposeRangeList(c, FlagsFor("3999", true), BuildTVEntries(kTv, "3999"));
    EXPECT_TRUE(StartsWith(value, "S 320,200,-,70-;320,240,-,-75;400,300,-,-100;"));
    EXPECT_NE(value.find(";640,400,-,-100;640,480,-,-;800,600,-,-100;"), std::string::npos);
    EXPECT_TRUE(EndsWith(value, ";2048,1536,-,-100;A 800,600,-,60;640,480,-,60;"));
}

TEST(MaskList, WorkedExample) {
    Captions c = All("120");
    c[kR640x480] = "85";
    c[kR320x200] = "N/A";
    c[kR320x240] = "60";
    const std::string value = ComposeMaskList(c);
    EXPECT_TRUE(StartsWith(value, "SHV 640x480=8055; 320x200=8000; 320x240=803C; 400x300=8"));
    EXPECT_TRUE(EndsWith(value, "; 2048x1536=8078;"));
}

TEST(MaskList, EveryRowAt120) {
    EXPECT_EQ(ComposeMaskList(All("120")),
              "SHV 640x480=8078; 320x200=8078; 320x240=8078; 400x300=8078; 480x360=8078; "
              "512x384=8078; 640x400=8078; 800x600=8078; 848x480=8078; 1024x768=8078; "
              "1152x864=8078; 1280x720=8078; 1280x768=8078; 1280x960=8078; 1280x1024=8078; "
              "1360x768=8078; 1600x900=8078; 1600x1024=8078; 1600x1200=8078; 1920x1080=8078; "
              "1920x1200=8078; 1920x1440=8078; 2048x1536=8078;");
}

TEST(MaskList, AnyRateCaptions) {
    Captions c = All("N/A");
    c[kR640x480] = "90";
    c[kR1360x768] = "4096";
    c[kR2048x1536] = "-1";
    const std::string value = ComposeMaskList(c);
    EXPECT_TRUE(StartsWith(value, "SHV 640x480=805A; 320x200=8000; "));
    EXPECT_NE(value.find("; 1360x768=81000; "), std::string::npos);
    EXPECT_TRUE(EndsWith(value, "; 2048x1536=8FFFF;"));
}

TEST(AllRows120, TwentyRangeFieldsAndTwentyThreeMasks) {
    const std::string range = ComposeRangeList(All("120"), FlagsFor("3999", true), kNoTv);
    EXPECT_EQ(SplitOn(range, ",-,-100").size(), 21u);
    EXPECT_TRUE(EndsWith(range, ",-,-100"));
    EXPECT_EQ(SplitOn(ComposeMaskList(All("120")), "=8078").size(), 24u);
}

// ---- Every version key, both formats, with and without TV-out ---------------------------------

TEST(WrittenValue, EveryVersionKeyBothFormatsWithAndWithoutTv) {
    const std::string table8Head = "8    640  480   " + Blanks(19) + "120  0  8    320  200   ";
    const std::string tableEnd = "  0  32  2048 1536   " + Blanks(19) + "120";
    const std::string tableTvEnd = "  0  32   800  600   60" + Blanks(20) + "  0  32   640  480   60" + Blanks(20);
    const std::string maskItems = "800x600=803C; 640x480=803C;";
    const struct {
        const char* key;
        bool compressed;
        std::string begin, endNoTv, endTv;
    } cases[] = {
        {"3999", false, table8Head, tableEnd + "  0", tableEnd + tableTvEnd + "  0"},
        {"4000", false, table8Head, tableEnd + "  0", tableEnd + "  0 " + maskItems},
        {"4040", false, table8Head, tableEnd + "  0", tableEnd + "  0 " + maskItems},
        {"3999", true, "S 320,200,-,-100;", ";2048,1536,-,-100",
         ";2048,1536,-,-100;A 800,600,-,60;640,480,-,60;"},
        {"4000", true, "S 320,200,-,-100;", ";2048,1536,-,-100", ";2048,1536,-,-100 " + maskItems},
        {"4040", true, "S 320,200,-,-100;", ";2048,1536,-,-100", ";2048,1536,-,-100 " + maskItems},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + (c.compressed ? " compressed" : " normal"));
        const ComposeFlags flags = FlagsFor(c.key, c.compressed);
        const std::string bare = Written(All("120"), flags, BuildTVEntries({}, c.key));
        const std::string withTv = Written(All("120"), flags, BuildTVEntries(kTv, c.key));
        EXPECT_TRUE(StartsWith(bare, c.begin));
        EXPECT_TRUE(StartsWith(withTv, c.begin));
        EXPECT_TRUE(EndsWith(bare, c.endNoTv));
        EXPECT_TRUE(EndsWith(withTv, c.endTv));
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
}

TEST(Composers, EachAtEveryVersionKeyTakesTvOutOnlyWhereItBelongs) {
    // Called directly, each composer puts TV-out entries inside the value only below 4000;
    // the mask list never takes them itself.
    for (const char* key : kKeys) {
        SCOPED_TRACE(key);
        const TvParts tv = BuildTVEntries(kTv, key);
        const bool inside = std::string(key) == "3999";
        for (const char* caption : {"N/A", "120"}) {
            const Captions grid = All(caption);
            const ComposeFlags normal = FlagsFor(key, false), compressed = FlagsFor(key, true);
            const std::string table = ComposeNormalTable(grid, normal, tv);
            const std::string range = ComposeRangeList(grid, compressed, tv);
            EXPECT_EQ(table.find(" 800  600   60") != std::string::npos, inside);
            EXPECT_EQ(SplitTable(table).entries.size(), inside ? 63u : 57u);
            EXPECT_EQ(EndsWith(range, ";A 800,600,-,60;640,480,-,60;"), inside);
            EXPECT_EQ(range.find("x"), std::string::npos);
            EXPECT_EQ(ComposeMaskList(grid).find("800x600=803C"), std::string::npos);
        }
        EXPECT_TRUE(EndsWith(ComposeMaskList(All("N/A")), "; 2048x1536=8000;"));
    }
}

TEST(WrittenValue, OnlyTheSecondTvResolutionKeepsItsOwnBlank) {
    const TvParts tv = BuildTVEntries(TvResolutions{"", "", "640", "480"}, "4100");
    EXPECT_TRUE(EndsWith(Written(All("60"), FlagsFor("4100", true), tv), "2048x1536=803C;  640x480=803C;"));
}

TEST(WrittenValue, TvPartsFromAnotherDriverGenerationStayOut) {
    // Parts built for a pre-4000 driver never leak into a newer layout's blocks, and back.
    const TvParts old = BuildTVEntries(kTv, "3999");
    EXPECT_EQ(ComposeNormalTable(All("60"), FlagsFor("4000", false), old),
              ComposeNormalTable(All("60"), FlagsFor("4000", false), kNoTv));
    EXPECT_EQ(ComposeRangeList(All("60"), FlagsFor("4040", true), old),
              ComposeRangeList(All("60"), FlagsFor("4040", true), kNoTv));
    EXPECT_EQ(FinishModeList("x", "3999", BuildTVEntries(kTv, "4000")), "x");
}

// ---- Random grids -----------------------------------------------------------------------------

class RandomGrids : public ::testing::Test {
protected:
    std::mt19937 rng{20240601u};

    template <typename T, std::size_t N>
    const T& Pick(const T (&pool)[N]) {
        return pool[std::uniform_int_distribution<std::size_t>(0, N - 1)(rng)];
    }

    std::string RandomCaption() {
        static const char* const kOdd[] = {"N/A", "60", "70", "72", "75", "85", "100", "120", "",
                                           "abc", " 60", "60 ", "1e3", "99999", "-5", "0"};
        switch (std::uniform_int_distribution<int>(0, 3)(rng)) {
            case 0: return std::to_string(std::uniform_int_distribution<int>(0, 240)(rng));
            case 1: return std::to_string(std::uniform_int_distribution<int>(-40000, 40000)(rng));
            default: return Pick(kOdd);
        }
    }
};

// A ladder caption's RateField holds just that rate, where it stands in the full field.
void CheckRateField(const std::string& caption, const std::string& field) {
    const std::string full = "60 70 72 75 85 100 120";
    const std::vector<std::string> ladder = Tokens(full);
    const bool onLadder = std::find(ladder.begin(), ladder.end(), caption) != ladder.end();
    if (caption == "N/A") {
        EXPECT_EQ(field, Blanks(22));
    } else if (onLadder) {
        ASSERT_EQ(field.size(), 22u);
        EXPECT_EQ(Tokens(field), std::vector<std::string>{caption});
        EXPECT_EQ(field.find(caption), full.find(caption));
    } else {
        EXPECT_EQ(field, "");
    }
}

void CheckTable(const std::string& value, const Captions& captions, const ComposeFlags& flags,
                const TvParts& tv, int tvCount) {
    const auto split = SplitTable(value);
    ASSERT_TRUE(split.ok);
    EXPECT_EQ(split.tail, "");
    const bool tvInside = !KeyAtLeast(flags.versionKey, "4000");
    const std::size_t perDepth = 19 + (tvInside ? tvCount : 0);
    ASSERT_EQ(split.entries.size(), 3 * perDepth);
    for (int blanks : split.joinBlanks) EXPECT_EQ(blanks, 2);
    for (std::size_t i = 0; i < split.entries.size(); ++i) {
        const std::string& entry = split.entries[i];
        const std::string depth = std::to_string(8 << (i / perDepth));
        const std::size_t k = i % perDepth;
        const std::vector<std::string> tokens = Tokens(entry.substr(0, 16));
        ASSERT_GE(tokens.size(), 1u) << entry;
        EXPECT_EQ(tokens[0], depth) << entry;
        if (k < 19) {
            const Row row = kTableOrder[k];
            EXPECT_EQ(tokens, (std::vector<std::string>{depth, W(row), H(row)})) << entry;
            ASSERT_GE(entry.size(), 16u);
            CheckRateField(captions[row], entry.substr(16));
        } else {
            const std::string& w = k == 19 && !tv.used.w1.empty() && !tv.used.h1.empty() ? tv.used.w1 : tv.used.w2;
            const std::string& h = k == 19 && !tv.used.w1.empty() && !tv.used.h1.empty() ? tv.used.h1 : tv.used.h2;
            ASSERT_FALSE(Tokens(w).empty() || Tokens(h).empty());
            EXPECT_EQ(Tokens(entry), (std::vector<std::string>{depth, Tokens(w)[0], Tokens(h)[0], "60"}));
            EXPECT_TRUE(EndsWith(entry, "   60" + Blanks(20))) << entry;
        }
    }
}

void CheckRangeList(const std::string& value, const Captions& captions, const ComposeFlags& flags,
                    const TvParts& tv) {
    ASSERT_TRUE(StartsWith(value, "S "));
    std::string body = value.substr(2);
    const std::size_t group = body.find(";A ");
    if (!KeyAtLeast(flags.versionKey, "4000") && !tv.compressed.empty()) {
        ASSERT_NE(group, std::string::npos);
        EXPECT_EQ(body.substr(group), tv.compressed);
        EXPECT_EQ(value.back(), ';');
        body.resize(group);
    } else {
        EXPECT_EQ(group, std::string::npos);
        EXPECT_NE(value.back(), ';');
    }
    const std::vector<std::string> entries = SplitOn(body, ";");
    ASSERT_EQ(entries.size(), kRangeOrder.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Row row = kRangeOrder[i];
        EXPECT_EQ(entries[i], W(row) + "," + H(row) + ",-," + CalcRates(captions[row], flags.anyRate, true));
    }
}

void CheckMaskList(const std::string& value, const Captions& captions) {
    ASSERT_TRUE(StartsWith(value, "SHV "));
    ASSERT_TRUE(EndsWith(value, ";"));
    const std::vector<std::string> items = SplitOn(value.substr(4, value.size() - 5), "; ");
    ASSERT_EQ(items.size(), kMaskOrder.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Row row = kMaskOrder[i];
        const std::string prefix = W(row) + "x" + H(row) + "=8";
        ASSERT_TRUE(StartsWith(items[i], prefix)) << items[i];
        const std::string digits = items[i].substr(prefix.size());
        EXPECT_TRUE(digits.size() == 3 || digits.size() == 4) << items[i];
        EXPECT_EQ(digits.find_first_not_of("0123456789ABCDEF"), std::string::npos) << items[i];
        EXPECT_EQ(digits, CalcHexRate(captions[row])) << items[i];
    }
}

TEST_F(RandomGrids, KeepTheirLayoutWhateverTheCaptions) {
    const char* const keys[] = {"3999", "4000", "4040", "4041", "4099", "4100", "N/A", ".930", "4045"};
    const char* const tvTexts[] = {"", "", "800", "600", "640", "480", "1024", "768", "1", "24",
                                   "0800", "abc", "0", "12345", "60;A"};
    for (int n = 0; n < 3000; ++n) {
        Captions captions;
        for (std::string& c : captions) c = RandomCaption();
        const std::string key = Pick(keys);
        const ComposeFlags flags = FlagsFor(key, std::uniform_int_distribution<int>(0, 1)(rng) == 1);
        const TvResolutions stored{Pick(tvTexts), Pick(tvTexts), Pick(tvTexts), Pick(tvTexts)};
        const TvParts tv = BuildTVEntries(stored, key);
        const int tvCount = (IsTvNumber(stored.w1) && IsTvNumber(stored.h1)) +
                            (IsTvNumber(stored.w2) && IsTvNumber(stored.h2));

        const std::string composed = ComposeModeList(captions, flags, tv);
        const std::string written = FinishModeList(composed, key, tv);
        SCOPED_TRACE("grid " + std::to_string(n) + " key " + key + ": " + written);

        // Finishing only adds the "{*}" head and the TV-out mask items.
        const std::string head = KeyAtLeast(key, "4100") ? "{*}" : "";
        ASSERT_TRUE(StartsWith(written, head + composed));
        const std::string tail = written.substr(head.size() + composed.size());
        if (KeyAtLeast(key, "4000") && tvCount > 0) {
            EXPECT_EQ(tail, " " + tv.compressed);
            EXPECT_EQ(SplitOn(tail, "=803C;").size(), static_cast<std::size_t>(tvCount) + 1);
        } else {
            EXPECT_EQ(tail, "");
        }
        for (char ch : written) ASSERT_TRUE(ch >= ' ' && ch <= '~') << static_cast<int>(ch);

        switch (ChooseLayout(key, flags.compressedFormat)) {
            case Layout::NormalModeTable:
                EXPECT_FALSE(KeyAtLeast(key, "4041") || flags.compressedFormat);
                CheckTable(composed, captions, flags, tv, tvCount);
                break;
            case Layout::ModeRangeList:
                EXPECT_TRUE(flags.compressedFormat && !KeyAtLeast(key, "4041"));
                CheckRangeList(composed, captions, flags, tv);
                break;
            case Layout::ModeMaskList:
                EXPECT_TRUE(KeyAtLeast(key, "4041"));
                CheckMaskList(composed, captions);
                break;
        }
        if (HasFatalFailure() || HasFailure()) return;  // one broken grid is enough to read
    }
}

}  // namespace
}  // namespace hzwk
