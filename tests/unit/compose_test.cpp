// The three layouts of the driver's mode list, composed from the grid and finished for writing.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/driver_context.h"
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
    return {key, compressed, (KeyAtLeast(key, "4041") && compressed) || KeyAtLeast(key, "4100")};
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

// ---- Worked examples and whole grids ---------------------------------------------------------

TEST(NormalTable, WorkedExample) {
    Captions c = All("60");
    c[kR640x480] = "85";
    c[kR320x200] = "N/A";
    const std::string value = ComposeNormalTable(c, FlagsFor("3999", false), {});
    EXPECT_TRUE(StartsWith(value, "8    640  480" + Blanks(15) + "85" + Blanks(10) + "0  8    320  200" +
                                      Blanks(27) + "0  8    320  240   60" + Blanks(20) + "  0  "));
    EXPECT_TRUE(EndsWith(value, "  0  32  2048 1536   60" + Blanks(20) + "  0"));
}

TEST(NormalTable, EveryRowAtNoRateIs57EmptyEntriesInTheDriversOrder) {
    const std::string value = ComposeNormalTable(All("N/A"), FlagsFor("3999", false), {});
    const auto split = SplitTable(value);
    ASSERT_TRUE(split.ok);
    ASSERT_EQ(split.entries.size(), 57u);
    const std::vector<std::string> order = Tokens(
        "640x480 320x200 320x240 400x300 480x360 512x384 640x400 800x600 1024x768 1152x864 "
        "1280x768 1280x960 1280x1024 1600x1024 1600x1200 1920x1080 1920x1200 1920x1440 2048x1536");
    for (std::size_t i = 0; i < 57; ++i) {
        const std::vector<std::string> t = Tokens(split.entries[i]);
        ASSERT_EQ(t.size(), 3u) << split.entries[i];
        EXPECT_EQ(t[0] + " " + t[1] + "x" + t[2], std::to_string(8 << (i / 19)) + " " + order[i % 19]);
        EXPECT_TRUE(EndsWith(split.entries[i], Blanks(25))) << split.entries[i];  // 3 + 22 blanks
    }
    EXPECT_EQ(value.size(), 57u * (38 + 3) + 56 * 2);
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
    EXPECT_TRUE(StartsWith(value, "SHV 640x480=8055; 320x200=8000; 320x240=803C; 400x300=8078; "));
    EXPECT_NE(value.find("; 1360x768=805A; "), std::string::npos);
    EXPECT_EQ(ComposeMaskList(All("120")),
              "SHV 640x480=8078; 320x200=8078; 320x240=8078; 400x300=8078; 480x360=8078; "
              "512x384=8078; 640x400=8078; 800x600=8078; 848x480=8078; 1024x768=8078; "
              "1152x864=8078; 1280x720=8078; 1280x768=8078; 1280x960=8078; 1280x1024=8078; "
              "1360x768=8078; 1600x900=8078; 1600x1024=8078; 1600x1200=8078; 1920x1080=8078; "
              "1920x1200=8078; 1920x1440=8078; 2048x1536=8078;");
}

// ---- Every version key, both formats, with and without TV-out ---------------------------------

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
        EXPECT_TRUE(StartsWith(bare, c.begin) && StartsWith(withTv, c.begin));
        EXPECT_TRUE(EndsWith(bare, c.endNoTv)) << bare;
        EXPECT_TRUE(EndsWith(withTv, c.endTv)) << withTv;
        if (!c.compressed) {
            EXPECT_EQ(SplitTable(withTv).entries.size(), std::string(c.key) == "3999" ? 63u : 57u);
        }
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
    EXPECT_TRUE(EndsWith(Written(All("60"), FlagsFor("4100", true),
                                 BuildTVEntries({"", "", "640", "480"}, "4100")),
                         "2048x1536=803C;  640x480=803C;"));
}

// ---- Random grids -----------------------------------------------------------------------------

// Each layout's entries, read back, name a grid row and carry that row's caption converted.
std::string RowOf(const std::string& width, const std::string& height, const Captions& captions) {
    for (std::size_t r = 0; r < kRows.size(); ++r)
        if (std::to_string(kRows[r].width) == width && std::to_string(kRows[r].height) == height)
            return captions[r];
    ADD_FAILURE() << "no grid row " << width << "x" << height;
    return "";
}

TEST(RandomGrids, KeepTheirLayoutWhateverTheCaptions) {
    std::mt19937 rng{20240601u};
    auto pick = [&](const std::vector<std::string>& pool) {
        return pool[std::uniform_int_distribution<std::size_t>(0, pool.size() - 1)(rng)];
    };
    const std::vector<std::string> odd = {"N/A", "60", "70", "72", "75", "85", "100", "120", "",
                                          "abc", " 60", "60 ", "1e3", "99999", "-5", "0"};
    const std::vector<std::string> keys = {"3999", "4000", "4040", "4041", "4099", "4100", "N/A", ".930"};
    const std::vector<std::string> tvTexts = {"", "", "800", "600", "640", "1024", "1", "0800", "abc", "0", "12345"};
    for (int n = 0; n < 1500; ++n) {
        Captions captions;
        for (std::string& c : captions) {
            const int number = std::uniform_int_distribution<int>(-40000, 40000)(rng);
            c = rng() % 2 ? pick(odd) : std::to_string(rng() % 2 ? number : number / 160);
        }
        const std::string key = pick(keys);
        const ComposeFlags flags = FlagsFor(key, rng() % 2 == 1);
        const TvResolutions stored{pick(tvTexts), pick(tvTexts), pick(tvTexts), pick(tvTexts)};
        const TvParts tv = BuildTVEntries(stored, key);
        const std::size_t tvCount = (IsTvNumber(stored.w1) && IsTvNumber(stored.h1)) +
                                    (IsTvNumber(stored.w2) && IsTvNumber(stored.h2));
        const std::string composed = ComposeModeList(captions, flags, tv);
        const std::string written = FinishModeList(composed, key, tv);
        SCOPED_TRACE("grid " + std::to_string(n) + " key " + key + ": " + written);

        // Finishing only adds the "{*}" head and, from 4000, the TV-out mask items.
        const std::string head = KeyAtLeast(key, "4100") ? "{*}" : "";
        ASSERT_TRUE(StartsWith(written, head + composed));
        const bool tail = KeyAtLeast(key, "4000") && tvCount > 0;
        EXPECT_EQ(written.substr(head.size() + composed.size()), tail ? " " + tv.compressed : "");
        const bool tvInside = !KeyAtLeast(key, "4000") && tvCount > 0;

        switch (ChooseLayout(key, flags.compressedFormat)) {
            case Layout::NormalModeTable: {
                const auto split = SplitTable(composed);
                ASSERT_TRUE(split.ok && split.tail.empty());
                const std::size_t perDepth = 19 + (tvInside ? tvCount : 0);
                ASSERT_EQ(split.entries.size(), 3 * perDepth);
                for (std::size_t i = 0; i < split.entries.size(); ++i) {
                    const std::string& entry = split.entries[i];
                    const std::string depth = std::to_string(8 << (i / perDepth));
                    if (i % perDepth >= 19) {  // a TV-out entry closing the depth block
                        EXPECT_EQ(Tokens(entry).front(), depth);
                        EXPECT_EQ(Tokens(entry).size(), 4u) << entry;
                        EXPECT_TRUE(EndsWith(entry, "   60" + Blanks(20))) << entry;
                        continue;
                    }
                    const std::vector<std::string> t = Tokens(entry.substr(0, 16));
                    ASSERT_EQ(t.size(), 3u) << entry;
                    EXPECT_EQ(t[0], depth) << entry;
                    EXPECT_EQ(entry.substr(16), CalcRates(RowOf(t[1], t[2], captions), false, false)) << entry;
                }
                break;
            }
            case Layout::ModeRangeList: {
                ASSERT_TRUE(StartsWith(composed, "S "));
                std::string body = composed.substr(2);
                EXPECT_EQ(EndsWith(body, ";"), tvInside);
                if (tvInside) body.resize(body.size() - tv.compressed.size());
                const std::vector<std::string> entries = SplitOn(body, ";");
                ASSERT_EQ(entries.size(), 20u);
                for (const std::string& e : entries) {
                    const std::vector<std::string> f = SplitOn(e, ",");
                    ASSERT_EQ(f.size(), 4u) << e;
                    EXPECT_EQ(f[2], "-");
                    EXPECT_EQ(f[3], CalcRates(RowOf(f[0], f[1], captions), false, true)) << e;
                }
                break;
            }
            case Layout::ModeMaskList: {
                ASSERT_TRUE(StartsWith(composed, "SHV ") && EndsWith(composed, ";"));
                const std::vector<std::string> items = SplitOn(composed.substr(4, composed.size() - 5), "; ");
                ASSERT_EQ(items.size(), 23u);
                for (const std::string& item : items) {
                    const std::size_t x = item.find('x'), eq = item.find("=8");
                    ASSERT_TRUE(x != std::string::npos && eq != std::string::npos) << item;
                    EXPECT_EQ(item.substr(eq + 2),
                              CalcHexRate(RowOf(item.substr(0, x), item.substr(x + 1, eq - x - 1), captions)));
                }
                break;
            }
        }
        if (HasFailure()) return;  // one broken grid is enough to read
    }
}

}  // namespace
}  // namespace hzwk
