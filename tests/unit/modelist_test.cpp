// The adapter catalogues; the grid and its calculator; the driver's mode-list value: a reader
// of the three layouts, written from their description and not from the composers, reads every
// written value back into the rows' rates and the TV-out resolutions; a few values are pinned to the byte.
#include "fakes.h"

#include <cstdio>
#include <utility>

#include "catalogue/catalogue.h"
#include "core/mode_text.h"
#include "grid/grid.h"
#include "modelist/compose.h"

namespace hzwk {
namespace {

const int kRungs[] = {60, 70, 72, 75, 85, 100, 120};
const size_t kRungColumn[] = {0, 3, 6, 9, 12, 15, 19};  // in the 22-column RateField

// Reads one value. Each fact is "depth WxH rates" (depth "-": every depth, "0": none named); a
// TV-out mask item after the list is "WxH", " WxH" when a blank of its own precedes it. Text out
// of its place is a problem, and reading stops there.
struct Reader {
    const std::string& v;
    size_t at = 0;
    std::vector<std::string> facts = {}, tv = {};
    std::string problem = "";
    bool star = false;

    void Fail(const std::string& what) { problem = what + " at " + std::to_string(at) + ": " + v.substr(at, 30); }
    bool Eat(const std::string& s) { return v.compare(at, s.size(), s) == 0 ? (at += s.size(), true) : false; }
    std::string Digits(const char* set = "0123456789") {
        const size_t end = std::min(v.find_first_not_of(set, at), v.size());
        return v.substr(std::exchange(at, end), end - at);
    }
    // Width, the separator, height: "WxH", or "" when either is missing.
    std::string Pair(const char* separator) {
        const std::string w = Digits(), sep = Eat(separator) ? "x" : "", h = Digits();
        return w.empty() || sep.empty() || h.empty() ? "" : w + sep + h;
    }
    // Mask items after the list: one blank, then "WxH=803C;" items, the second after a blank.
    void TvTail() {
        if (at < v.size() && !Eat(" ")) return Fail("no blank before the TV-out items");
        while (at < v.size() && problem.empty()) {
            const bool blank = Eat(" ");
            const std::string pair = Pair("x");
            pair.empty() || !Eat("=803C;") ? Fail("TV-out item") : tv.push_back((blank ? " " : "") + pair);
        }
    }
    // Depth left in 2 columns and 2 blanks, width and height in 4 columns (a 3-digit number gets
    // one blank; TV-out numbers of other lengths stand as they are), 3 blanks, then the RateField,
    // each rung in its own columns, or no field at all for a caption off the ladder; then "  0".
    // Entries are joined by two blanks.
    void Table() {
        do {
            const size_t start = at;
            std::string n[3];
            for (auto& token : n) {
                while (at < v.size() && v[at] == ' ') ++at;
                token = Digits();
            }
            const auto wide = [](const std::string& s) { return s.size() == 3 ? " " + s : s; };
            at = start;
            if (n[2].empty() || !Eat(n[0] + std::string(4 - n[0].size(), ' ') + wide(n[1]) + " " + wide(n[2]) + "   "))
                return Fail("entry head");
            std::string rates = "(no field)", field = v.substr(at, 22), blanked = field;
            if (!Eat("  0")) {
                rates.clear();
                for (int i = 0; i < 7; ++i) {
                    const std::string rung = std::to_string(kRungs[i]);
                    if (field.compare(kRungColumn[i], rung.size(), rung) != 0) continue;
                    rates += (rates.empty() ? "" : " ") + rung;
                    blanked.replace(kRungColumn[i], rung.size(), rung.size(), ' ');
                }
                at += field.size();
                if (blanked != std::string(22, ' ') || !Eat("  0")) return Fail("RateField");
            }
            facts.push_back(n[0] + " " + n[1] + "x" + n[2] + " " + rates);
        } while (v.compare(at, 2, "  ") == 0 && v.find_first_not_of("0123456789", at + 2) > at + 2 &&
                 v.find_first_not_of("0123456789", at + 2) < v.size() && v[v.find_first_not_of("0123456789", at + 2)] == ' ' &&
                 Eat("  "));  // two blanks and a depth: another entry, not a TV-out item
        TvTail();
    }
    // "S ", then "W,H,depths,rates" entries joined by ";", then a ";A " group of TV-out entries
    // "W,H,-,60;" or the mask items. A rates field names rungs: "-" all, "R" one, "R-" from R
    // up, "-R" up to R; the fact lists them.
    void Ranges() {
        if (!Eat("S ")) return Fail("no S group");
        do {
            const std::string pair = Pair(","), depths = Eat(",") ? Digits("-0123456789") : "";
            if (pair.empty() || depths.empty() || !Eat(",")) return Fail("range entry");
            const std::string field = Digits("-0123456789");
            const bool from = field.size() > 1 && field.back() == '-', upTo = field.size() > 1 && field[0] == '-';
            const int r = field.size() > 1 ? std::stoi(field.substr(upTo, field.size() - from - upTo)) : 0;
            std::string rates;
            for (int rung : kRungs)
                if (field == "-" || rung == r || (from && rung >= r) || (upTo && rung <= r))
                    rates += (rates.empty() ? "" : " ") + std::to_string(rung);
            facts.push_back(depths + " " + pair + " " + (field.empty() ? "(no field)" : rates));
        } while (v.compare(at, 3, ";A ") != 0 && Eat(";"));
        if (Eat(";A "))
            while (at < v.size() && problem.empty()) {
                const std::string pair = Pair(",");
                pair.empty() || !Eat(",-,60;") ? Fail("TV-out group") : tv.push_back(pair);
            }
        TvTail();
    }
    // Optionally "{*}", then "SHV " and "WxH=8" items with 3 or more upper-case hex digits (no
    // zero beyond the third), 23 of them joined by "; " and ended by ";", then the mask items.
    void Masks() {
        star = Eat("{*}");
        if (!Eat("SHV ")) return Fail("no SHV group");
        do {
            const std::string pair = Pair("x"), hex = Eat("=8") ? Digits("0123456789ABCDEF") : "";
            if (pair.empty() || hex.size() < 3 || (hex.size() > 3 && hex[0] == '0')) return Fail("mask item");
            facts.push_back("0 " + pair + " " + hex);
        } while (facts.size() < 23 && Eat("; "));  // the TV-out items after the list look alike
        Eat(";") ? TvTail() : Fail("no ; after the last item");
    }
};

// The rows a layout carries, in its order: resolution order (width, then height), without the
// three newest rows below the mask list and without 1600 x 900 in the table; 640 x 480 first
// but in the range list.
std::vector<int> RowsOf(Layout layout) {
    std::vector<int> rows;
    for (int r = 0; r < kRowCount; ++r) {
        const int w = kRows[r].width, h = kRows[r].height;
        const bool newest = (w == 848 && h == 480) || (w == 1280 && h == 720) || (w == 1360 && h == 768);
        if ((layout != Layout::ModeMaskList && newest) || (layout == Layout::NormalModeTable && w == 1600 && h == 900))
            continue;
        rows.push_back(r);
    }
    std::sort(rows.begin(), rows.end(), [](int a, int b) {
        return std::make_pair(kRows[a].width, kRows[a].height) < std::make_pair(kRows[b].width, kRows[b].height);
    });
    if (layout != Layout::ModeRangeList) std::stable_partition(rows.begin(), rows.end(), [](int r) { return r == kR640x480; });
    return rows;
}

bool OnLadder(const std::string& caption) {
    return std::any_of(std::begin(kRungs), std::end(kRungs), [&](int r) { return caption == std::to_string(r); });
}

// What the driver is to read for one caption in each layout.
std::string Expected(Layout layout, const std::string& caption) {
    if (layout == Layout::ModeMaskList) {
        const long n = caption == "N/A" ? 0 : std::strtol(caption.c_str(), nullptr, 10);
        char hex[16];
        std::snprintf(hex, sizeof hex, "%03lX", n < -32768 || n > 32767 ? 0 : (n & 0xFFFF));
        return hex;
    }
    if (caption != "N/A" && !OnLadder(caption)) return "(no field)";
    const int x = caption == "N/A" ? 0 : std::stoi(caption);
    std::string rates;  // the table: the caption's rung; the range list: 60 offers the rungs above it,
    for (int rung : kRungs)  // any other rung those below it, "N/A" every rung
        if (layout == Layout::NormalModeTable ? rung == x : (x == 0 || (x == 60 ? rung > 60 : rung < x)))
            rates += (rates.empty() ? "" : " ") + std::to_string(rung);
    return rates;
}

std::string RandomCaption(std::mt19937& rng, bool anyRate) {
    const int pick = int(rng() % 10);
    if (pick == 0) return "N/A";
    if (pick <= 5 && !anyRate) return std::to_string(kRungs[rng() % 7]);
    if (pick <= 7) return std::to_string(1 + rng() % 240);
    const long odd[] = {0, 59, 4095, 4096, 32767, 32768, -1, -32768, -32769, 99999};
    return std::to_string(odd[rng() % 10]);
}

std::string RandomTvNumber(std::mt19937& rng) {
    const int digits = 1 + int(rng() % 8 < 6 ? 2 + rng() % 2 : rng() % 2);
    std::string n = std::to_string(1 + rng() % 9);
    while (int(n.size()) < digits) n += char('0' + rng() % 10);
    return rng() % 8 == 0 ? std::string() : n;
}

TEST(ModeList, EveryWrittenValueReadsBackAsItsGridAndTvOut) {
    const char* keys[] = {".930", "3090", "3999", "4000", "4012", "4040", "404", "4041", "4045", "4099", "4100", "4109", "N/A"};
    std::mt19937 rng(1717);
    for (int run = 0; run < 400; ++run) {
        const std::string key = keys[rng() % 13];
        const bool compressed = rng() % 2, anyRate = (key >= "4041" && compressed) || key >= "4100";
        const Layout layout = key >= "4041" ? Layout::ModeMaskList : compressed ? Layout::ModeRangeList : Layout::NormalModeTable;
        Captions c;
        for (auto& caption : c) caption = RandomCaption(rng, anyRate);
        const TvResolutions stored{RandomTvNumber(rng), RandomTvNumber(rng), RandomTvNumber(rng), RandomTvNumber(rng)};
        const TvParts tv = BuildTVEntries(stored, key);
        const std::string logged = ComposeModeList(c, {key, compressed, anyRate}, tv), value = FinishModeList(logged, key, tv);

        std::vector<std::string> facts, items, pairs;
        if (!stored.w1.empty() && !stored.h1.empty()) pairs.push_back(stored.w1 + "x" + stored.h1);
        if (!stored.w2.empty() && !stored.h2.empty()) pairs.push_back(stored.w2 + "x" + stored.h2);
        for (const char* depth : layout == Layout::NormalModeTable ? std::vector<const char*>{"8", "16", "32"}
                                                                   : std::vector<const char*>{"-"}) {
            for (int r : RowsOf(layout))
                facts.push_back(std::string(layout == Layout::ModeMaskList ? "0" : depth) + " " +
                                std::to_string(kRows[r].width) + "x" + std::to_string(kRows[r].height) + " " +
                                Expected(layout, c[r]));
            if (layout == Layout::NormalModeTable && key < "4000")
                for (const auto& p : pairs) facts.push_back(std::string(depth) + " " + p + " 60");
        }
        if (key >= "4000" || layout == Layout::ModeRangeList) items = pairs;
        if (key >= "4000" && !stored.w2.empty() && !stored.h2.empty()) items.back() = " " + items.back();

        Reader read{value};
        layout == Layout::NormalModeTable ? read.Table() : layout == Layout::ModeRangeList ? read.Ranges() : read.Masks();
        SCOPED_TRACE("run " + std::to_string(run) + ": " + key + (compressed ? " compressed TV " : " normal TV ") + stored.w1 +
                     "x" + stored.h1 + ", " + stored.w2 + "x" + stored.h2 + "\nvalue: " + value);
        EXPECT_EQ(read.problem + std::to_string(value.size() - read.at) + std::to_string(read.star),
                  "0" + std::to_string(key >= "4100"));
        EXPECT_EQ(read.facts, facts);
        EXPECT_EQ(read.tv, items);
        // The log line is the value before the "{*}" and the mask items; the name follows the head.
        EXPECT_EQ(value.substr(read.star ? 3 : 0, logged.size()), logged);
        if (HasFailure()) break;
    }
}

// The adapter catalogues: each adapter's value names and default lists, pinned to the byte.

// Descriptions are matched whole and exactly; an unknown one leaves the list untouched. From
// 4100 (and for the unreadable "N/A") every adapter, known or not, gets the "{*}" list.
TEST(Catalogues, EveryAdaptersNamesAndDefaultsInBothCatalogues) {
    const std::string descriptions[] = {
        "NVIDIA GeForce3", "NVIDIA GeForce2 GTS/GeForce2 Pro", "NVIDIA RIVA TNT", "NVIDIA RIVA TNT2/TNT2 Pro",
        "NVIDIA Aladdin TNT2", "NVIDIA Vanta/Vanta LT", "NVIDIA RIVA TNT2 Ultra",
        "NVIDIA RIVA TNT2 Model 64/Model 64 Pro", "NVIDIA GeForce 256", "NVIDIA GeForce DDR", "NVIDIA Quadro",
        "NVIDIA GeForce2 MX/MX 400", "NVIDIA GeForce2 MX 100/200", "NVIDIA GeForce2 MX-100/200", "NVIDIA GeForce2 MX",
        "NVIDIA Quadro2 MXR/EX", "NVIDIA GeForce2 Integrated GPU", "NVIDIA GeForce2 Ti", "NVIDIA GeForce2 Ultra",
        "NVIDIA Quadro2 Pro", "NVIDIA GeForce4 MX 460", "NVIDIA GeForce4 MX 440", "NVIDIA GeForce4 MX 420",
        "NVIDIA Quadro4 500/550 XGL", "NVIDIA Quadro4 200/400 NVS", "NVIDIA GeForce4 Ti 4600",
        "NVIDIA GeForce4 Ti 4400", "NVIDIA GeForce4 Ti 4200", "NVIDIA Quadro4 900 XGL", "NVIDIA Quadro4 750 XGL",
        "NVIDIA Quadro4 720 XGL", "NVIDIA GeForce3 Ti 200", "NVIDIA GeForce3 Ti 500", "NVIDIA Quadro DCC",
        "NVIDIA GeForce4 Ti 4200 with AGP8X", "NVIDIA GeForce4 MX 440SE with AGP8X",
        "NVIDIA GeForce4 MX 440 with AGP8X", "nvidia geforce3", "NVIDIA GeForce3 ", " NVIDIA GeForce3", "GeForce3",
        "NVIDIA GeForce", "", std::string("NVIDIA GeForce3\0", 16),
    };
    std::string rows;
    for (const std::string& d : descriptions) {
        rows += d + "=";
        for (const char* key : {".930", "4099", "4100", "N/A", "any rate", "ladder"}) {
            std::string list = "<untouched>";
            const std::string name = key[0] == 'a' || key[0] == 'l' ? LookupCompressedAdapter(d, key[0] == 'a', list)
                                                                    : LookupNormalAdapter(d, key, list);
            rows += name + "," + std::to_string(test::Fnv1a(list)) + ",";
        }
        rows += ";\n";
    }
    EXPECT_EQ(test::Fnv1a(rows), 0x1b2b181965f14873ull) << rows;
    // The lists as NVIDIA's drivers ship them.
    const std::pair<std::string, uint64_t> lists[] = {{StarDefaultList(), 0xd7ebc4be2de76625ull},
        {NormalDefaultTable(), 0x00485cb2dcf6ee00ull}, {IntegratedDefaultTable(), 0x1092de611417e9c3ull}};
    for (const auto& [list, fingerprint] : lists) EXPECT_EQ(test::Fnv1a(list), fingerprint) << list;
}

// The grid: the change rule, current rates, stepper sync, the frequency calculator, and the
// number parsers behind the captions and the frequency box.

// Every row's "caption@position", a "-" after a locked one.
std::string Shown(const Grid& g) {
    std::string shown;
    for (const auto& r : g.Rows()) shown += r.caption + "@" + std::to_string(r.position) + (r.enabled ? " " : "- ");
    return shown;
}

// The last matching mode wins; 4 bpp counts only for the three smallest rows; rates below 60
// show "N/A". Steppers follow a caption they can show and stay put otherwise; enabled states stay.
TEST(Grid, CurrentRatesTakeTheLastMatchingModeAndMoveTheirSteppers) {
    Grid g;
    g.SetPosition(kR1600x1200, 3), g.SetPosition(kR800x600, 5);  // "N/A" takes the second back to 0
    g.SetEnabled(kR640x480, false);
    g.ReadCurrentRates({{1024, 768, 32, 85}, {1024, 768, 32, 60}, {640, 480, 32, 75}, {640, 480, 4, 60}, {640, 480, 16, 0}, {320, 240, 4, 60},
                        {320, 200, 4, 70}, {400, 300, 4, 72}, {800, 600, 32, 59}, {1280, 1024, 16, 1}, {1600, 1200, 32, 90}});
    EXPECT_EQ(Shown(g), "70@2 60@1 72@3 N/A@0 N/A@0 N/A@0 75@4- N/A@0 60@1 N/A@0 N/A@0 N/A@0 N/A@0 N/A@0 N/A@0 90@3 "
                     "N/A@0 N/A@0 N/A@0 N/A@0 N/A@0 N/A@0 N/A@0 ");
    g.SyncSteppers();  // on the ladder a row at "N/A" is locked
    EXPECT_TRUE(g.Row(kR640x480).enabled && !g.Row(kR480x360).enabled && g.Row(kR1600x1200).enabled);

    Grid any(true);
    any.SetPosition(kR320x240, 50), any.SetPosition(kR1024x768, 70);
    any.ReadCurrentRates({{800, 600, 32, 240}, {320, 240, 32, 85}, {320, 200, 32, 75}});
    // 320 x 200 at its stepper's own top; 85 is beyond 320 x 240's 75: the stepper stays.
    EXPECT_EQ(Shown(any), "75@75 85@50 N/A@0 N/A@0 N/A@0 N/A@0 N/A@0 240@240 N/A@0 N/A@0 N/A@0 N/A@0 N/A@0 N/A@0 N/A@0 "
                          "N/A@0 N/A@0 N/A@0 N/A@0 N/A@0 N/A@0 N/A@0 N/A@0 ");
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
        EXPECT_EQ(Shown(g), anyRate ? "70@70 N/A@0 N/A@0 N/A@0 N/A@0 85@85 188@188 150@150 116@116 103@103 116@116 92@92 87@87 "
                                   "99@99 87@87 74@74 82@82 74@74 61@61 N/A@0 188@188 124@124 116@116 "
                                 : "70@2 N/A@0 N/A@0 N/A@0 N/A@0 85@5 188@7 150@7 116@7 103@7 116@7 92@7 87@7 "
                                   "99@7 87@7 74@7 82@7 74@7 61@7 N/A@0 188@7 124@7 116@7 ");  // rates stay off the ladder
    }
    const std::pair<const char*, const char*> edges[] = {
        {"122.5263", "240"}, {"123.04", "240"}, {"130", "240"}, {"32.842", "62"}, {"31,578", "60"}, {"31.0", "N/A"},
        {"99999999999999999999999999", "240"}, {"-99999999999999999999999999", "N/A"}, {" 70 ", "136"},
        {"", "N/A"}, {"abc", "N/A"}, {"96k", "N/A"}, {"1e3", "N/A"}, {"9.6.1", "N/A"}, {"-", "N/A"}, {"*96", "N/A"}};
    Grid g(true);
    for (const auto& [kHz, caption] : edges) {
        g.FillFromHFreq("96"), g.FillFromHFreq(kHz);
        EXPECT_EQ(g.Row(kR640x480).caption + "@" + std::to_string(g.Row(kR640x480).position),
                  caption + std::string("@") + (std::string(caption) == "N/A" ? "0" : caption)) << kHz;
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
