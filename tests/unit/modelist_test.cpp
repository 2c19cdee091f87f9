// The driver's mode-list value: a reader of the three layouts, written from their description
// and not from the composers, reads every written value back into the rows' rates and the
// TV-out resolutions; a few values are pinned to the byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "fakes.h"
#include "core/mode_text.h"
#include "modelist/compose.h"
#include "registry/settings.h"

namespace hzwk {
namespace {

using test::All;
using test::Blanks;

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
            if (n[2].empty() || !Eat(n[0] + Blanks(4 - int(n[0].size())) + wide(n[1]) + " " + wide(n[2]) + "   "))
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
                if (blanked != Blanks(22) || !Eat("  0")) return Fail("RateField");
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
        const ComposeFlags flags{key, compressed, anyRate};
        const std::string logged = ComposeModeList(c, flags, tv), value = FinishModeList(logged, key, tv);

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
        std::string inputs = key + (compressed ? " compressed" : " normal") + " TV " + stored.w1 + "x" + stored.h1 +
                             ", " + stored.w2 + "x" + stored.h2 + "; captions";
        for (const auto& caption : c) inputs += " " + caption;
        SCOPED_TRACE("run " + std::to_string(run) + ": " + inputs + "\nvalue: " + value);
        EXPECT_EQ(read.problem + std::to_string(value.size() - read.at) + std::to_string(read.star),
                  "0" + std::to_string(key >= "4100"));
        EXPECT_EQ(read.facts, facts);
        EXPECT_EQ(read.tv, items);
        // The log line is the value before the "{*}" and the mask items; the name follows the head.
        EXPECT_EQ(value.substr(read.star ? 3 : 0, logged.size()), logged);
        EXPECT_TRUE(ChooseLayout(key, compressed) == layout && AnyRateFor(key, compressed) == anyRate);
        EXPECT_EQ(ModeValueNameFor("NV25_Modes", key), key >= "4100" ? "NV_Modes" : "NV25_Modes");
        if (HasFailure()) break;
    }
}

// The table's entry order and heads, to the byte (the reader above pins the other layouts' order).
TEST(ModeList, GoldenValues) {
    Captions c = All("60");
    c[kR640x480] = "85";
    c[kR320x200] = "N/A";
    const std::string table = ComposeNormalTable(c, {"3999", false, false}, {});
    const std::string head = "8    640  480" + Blanks(15) + "85" + Blanks(10) + "0  8    320  200" + Blanks(27) +
                             "0  8    320  240   60" + Blanks(20) + "  0  ";
    EXPECT_EQ(table.substr(0, head.size()), head);
    EXPECT_EQ(test::Fnv1a(ComposeNormalTable(All("N/A"), {"3999", false, false}, {})), 0xfb0990ecbc653147ull);
    // Captions no grid makes: compared exactly, or read as a whole number within 16 bits.
    for (const char* odd : {"060", " 60", "n/a", ""}) EXPECT_EQ(CalcRates(odd, false, true) + CalcRates(odd, false, false), "");
    EXPECT_EQ(CalcHexRate("060") + CalcHexRate("+60") + CalcHexRate("60 ") + CalcHexRate("0x3C"), "03C000000000");
}

// Only what the TV-out window could store reaches the driver's value.
TEST(TvOut, StoredValuesThatAreNoNumbersAreDropped) {
    MemoryRegistry registry;
    ApiRegistry rules(registry);
    for (const auto& [name, text] : {std::pair{reg::kResW1, "800"}, {reg::kResH1, "600;A 1,1"}, {reg::kResH2, "0480"}})
        rules.SaveStringValue(reg::kSettingsKey, name, text);
    registry.SetRaw(reg::kSettingsKey, reg::kResW2, kRegDword, std::string("\x80\x02\0\0", 4));
    const TvResolutions read = ReadTvResolutions(rules);
    EXPECT_EQ(read.w1 + "," + read.h1 + "," + read.w2 + "," + read.h2, "800,,,0480");
    for (const char* no : {"0", "0000", "10000", "-800", "8e2", " 800"}) EXPECT_FALSE(IsTvNumber(no)) << no;
    EXPECT_EQ(BuildTVEntries({"800", "600", "", "480"}, "3999").used.w1, " 800");  // as the report shows it
    const std::pair<TvResolutions, const char*> lines[] = {{{"800", "600", "640", "480"}, "Added Resolutions: 800x600; 640x480"},
        {{"", "", "640", "480"}, "Added Resolutions: ; 640x480"}, {{"", "600", "", "480"}, "Added Resolutions: x600x480"},
        {{"abc", "0", "", "-1"}, "Added Resolutions: None"}};
    for (const auto& [stored, line] : lines) EXPECT_EQ(Label50Caption(stored), line);
}

}  // namespace
}  // namespace hzwk
