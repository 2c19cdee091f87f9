// The adapter catalogues: value names, default lists, and the driver's default tables.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "mode_list_text.h"

namespace hzwk {
namespace {

using testing::EndsWith;
using testing::SplitOn;
using testing::StartsWith;
using testing::SplitTable;
using testing::Tokens;

constexpr char kUntouched[] = "<untouched>";

struct Found {
    std::string name;
    std::string list;
};

Found Normal(const std::string& description, const std::string& versionKey) {
    Found f{"", kUntouched};
    f.name = LookupNormalAdapter(description, versionKey, f.list);
    return f;
}

Found Compressed(const std::string& description, bool anyRate) {
    Found f{"", kUntouched};
    f.name = LookupCompressedAdapter(description, anyRate, f.list);
    return f;
}

// The eight compressed defaults, each reached through an adapter that uses it.
const std::string M1() { return Compressed("NVIDIA GeForce3", true).list; }
const std::string M2() { return Compressed("NVIDIA RIVA TNT2/TNT2 Pro", true).list; }
const std::string M3() { return Compressed("NVIDIA GeForce4 Ti 4600", true).list; }
const std::string M4() { return Compressed("NVIDIA RIVA TNT", true).list; }
const std::string P1() { return Compressed("NVIDIA GeForce3", false).list; }
const std::string P2() { return Compressed("NVIDIA RIVA TNT", false).list; }
const std::string P3() { return Compressed("NVIDIA Vanta/Vanta LT", false).list; }
const std::string P4() { return Compressed("NVIDIA RIVA TNT2 Model 64/Model 64 Pro", false).list; }

// ---- Normal-format catalogue ----------------------------------------------------------------

TEST(NormalCatalogue, KnownAdaptersBelow4100) {
    const struct {
        const char* description;
        const char* name;
        bool integrated;
    } cases[] = {
        {"NVIDIA GeForce4 Ti 4600", "NV25_Modes", false},
        {"NVIDIA GeForce2 Integrated GPU", "NV11M_Modes", true},
        {"NVIDIA GeForce2 MX", "NV11_Modes", false},
        {"NVIDIA GeForce2 MX/MX 400", "NV11_Modes", false},
        {"NVIDIA GeForce2 MX 100/200", "NV11DDR_Modes", false},
        {"NVIDIA GeForce2 MX-100/200", "NV11DDR_Modes", false},
        {"NVIDIA GeForce3", "NV20_Modes", false},
        {"NVIDIA Quadro", "NV10GL_Modes", false},
        {"NVIDIA Quadro4 750 XGL", "NV10GL_Modes", false},
        {"NVIDIA Quadro4 720 XGL", "NV10GL_Modes", false},
        {"NVIDIA Aladdin TNT2", "NV0A_Modes", false},
        {"NVIDIA Quadro DCC", "NV20_3_Modes", false},
    };
    for (const auto& c : cases) {
        for (const char* key : {"2000", ".930", "3999", "4045", "4099"}) {
            SCOPED_TRACE(std::string(c.description) + " @ " + key);
            const Found f = Normal(c.description, key);
            EXPECT_EQ(f.name, c.name);
            EXPECT_EQ(f.list, c.integrated ? IntegratedDefaultTable() : NormalDefaultTable());
        }
    }
}

TEST(NormalCatalogue, NearMissesMatchNothingAndLeaveTheDefaultAlone) {
    for (const char* description :
         {"nvidia geforce3", "NVIDIA GEFORCE3", "NVIDIA GeForce3 ", " NVIDIA GeForce3", "GeForce3",
          "NVIDIA GeForce", "NVIDIA GeForce3 Ti", "NVIDIA GeForce4 Ti 4200 with AGP8X",
          "NVIDIA GeForce4 MX 440SE with AGP8X", "NVIDIA GeForce4 MX 440 with AGP8X", "",
          "NVIDIA GeForce3\t"}) {
        SCOPED_TRACE(description);
        const Found f = Normal(description, "4045");
        EXPECT_EQ(f.name, "");
        EXPECT_EQ(f.list, kUntouched);
    }
    const Found withNul = Normal(std::string("NVIDIA GeForce3\0", 16), "3999");
    EXPECT_EQ(withNul.name, "");
}

TEST(NormalCatalogue, From4100EveryAdapterGetsTheStarList) {
    for (const char* key : {"4100", "4109", "5216", "N/A", "A000"}) {
        SCOPED_TRACE(key);
        const Found known = Normal("NVIDIA GeForce4 Ti 4600", key);
        EXPECT_EQ(known.name, "NV25_Modes");
        EXPECT_EQ(known.list, StarDefaultList());
        const Found unknown = Normal("Some Other Adapter", key);
        EXPECT_EQ(unknown.name, "");
        EXPECT_EQ(unknown.list, StarDefaultList());
    }
}

// ---- Compressed-format catalogue ------------------------------------------------------------

TEST(CompressedCatalogue, NamesAndBothDefaults) {
    const struct {
        const char* description;
        const char* name;
        std::string anyRate, ranges;
    } cases[] = {
        {"NVIDIA GeForce4 Ti 4600", "NV25_Modes_Delta", M3(), P1()},
        {"NVIDIA RIVA TNT", "NV4_Modes_Delta", M4(), P2()},
        {"NVIDIA Vanta/Vanta LT", "NVVANTA_Modes_Delta", M4(), P3()},
        {"NVIDIA RIVA TNT2 Model 64/Model 64 Pro", "NV5M64_Modes_Delta", M2(), P4()},
        {"NVIDIA Quadro4 750 XGL", "NV10GL_Modes_Delta", M1(), P1()},
        {"NVIDIA GeForce2 Integrated GPU", "NV11M_Modes_Delta", M3(), P1()},
        {"NVIDIA GeForce4 Ti 4200 with AGP8X", "NV28_Modes_Delta", M3(), kUntouched},
        {"NVIDIA GeForce4 MX 440SE with AGP8X", "NV18_Modes_Delta", M3(), kUntouched},
        {"NVIDIA GeForce4 MX 440 with AGP8X", "NV18_Modes_Delta", M3(), kUntouched},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        const Found withAnyRate = Compressed(c.description, true);
        const Found withLadder = Compressed(c.description, false);
        EXPECT_EQ(withAnyRate.name, c.name);
        EXPECT_EQ(withLadder.name, c.name);
        EXPECT_EQ(withAnyRate.list, c.anyRate);
        EXPECT_EQ(withLadder.list, c.ranges);
    }
}

TEST(CompressedCatalogue, NearMissesAndNormalOnlyRowsMatchNothing) {
    for (const char* description :
         {"NVIDIA GeForce2 MX", "NVIDIA GeForce2 MX-100/200", "nvidia geforce4 ti 4600",
          "NVIDIA GeForce4 Ti 4600 ", "NVIDIA GeForce4 Ti 4200 with agp8x",
          "NVIDIA GeForce4 Ti 4200 with AGP8X ", ""}) {
        for (bool anyRate : {false, true}) {
            SCOPED_TRACE(description);
            const Found f = Compressed(description, anyRate);
            EXPECT_EQ(f.name, "");
            EXPECT_EQ(f.list, kUntouched);
        }
    }
}

TEST(Catalogues, BothNameTheSameValueFamily) {
    // Every adapter known to both catalogues keeps its normal value name with "_Delta" added.
    const char* descriptions[] = {
        "NVIDIA GeForce3", "NVIDIA GeForce2 GTS/GeForce2 Pro", "NVIDIA RIVA TNT",
        "NVIDIA RIVA TNT2/TNT2 Pro", "NVIDIA Aladdin TNT2", "NVIDIA Vanta/Vanta LT",
        "NVIDIA RIVA TNT2 Ultra", "NVIDIA RIVA TNT2 Model 64/Model 64 Pro", "NVIDIA GeForce 256",
        "NVIDIA GeForce DDR", "NVIDIA Quadro", "NVIDIA GeForce2 MX/MX 400",
        "NVIDIA GeForce2 MX 100/200", "NVIDIA GeForce2 MX-100/200", "NVIDIA GeForce2 MX",
        "NVIDIA Quadro2 MXR/EX", "NVIDIA GeForce2 Integrated GPU", "NVIDIA GeForce2 Ti",
        "NVIDIA GeForce2 Ultra", "NVIDIA Quadro2 Pro", "NVIDIA GeForce4 MX 460",
        "NVIDIA GeForce4 MX 440", "NVIDIA GeForce4 MX 420", "NVIDIA Quadro4 500/550 XGL",
        "NVIDIA Quadro4 200/400 NVS", "NVIDIA GeForce4 Ti 4600", "NVIDIA GeForce4 Ti 4400",
        "NVIDIA GeForce4 Ti 4200", "NVIDIA Quadro4 900 XGL", "NVIDIA Quadro4 750 XGL",
        "NVIDIA Quadro4 720 XGL", "NVIDIA GeForce3 Ti 200", "NVIDIA GeForce3 Ti 500",
        "NVIDIA Quadro DCC", "NVIDIA GeForce4 Ti 4200 with AGP8X",
        "NVIDIA GeForce4 MX 440SE with AGP8X", "NVIDIA GeForce4 MX 440 with AGP8X",
    };
    int normalRows = 0, compressedRows = 0;
    for (const char* d : descriptions) {
        SCOPED_TRACE(d);
        const std::string normal = Normal(d, "3999").name;
        const std::string compressed = Compressed(d, true).name;
        normalRows += !normal.empty();
        compressedRows += !compressed.empty();
        if (!normal.empty()) {
            EXPECT_TRUE(EndsWith(normal, "_Modes"));
        }
        if (!compressed.empty()) {
            EXPECT_TRUE(EndsWith(compressed, "_Modes_Delta"));
        }
        if (!normal.empty() && !compressed.empty()) {
            EXPECT_EQ(compressed, normal + "_Delta");
        }
    }
    EXPECT_EQ(normalRows, 34);
    EXPECT_EQ(compressedRows, 35);
}

// ---- The compressed default lists ------------------------------------------------------------

uint64_t Fnv1a(const std::string& text) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001b3ull;
    }
    return hash;
}

TEST(DefaultLists, AreTheDriversTextsToTheByte) {
    // Fingerprints of the lists as NVIDIA's drivers ship them: one changed byte trips this.
    const struct {
        const char* name;
        std::string list;
        std::size_t length;
        uint64_t fingerprint;
    } lists[] = {
        {"M1", M1(), 514, 0x78330c691903fb44ull}, {"M2", M2(), 459, 0x6f191f6800b67c3dull},
        {"M3", M3(), 519, 0x9589751a4a4b871full}, {"M4", M4(), 287, 0x334d8273559c23daull},
        {"P1", P1(), 246, 0xfdc61d5814d09d77ull}, {"P2", P2(), 249, 0xffd53da1ef82075eull},
        {"P3", P3(), 249, 0xefc233c1491969b9ull}, {"P4", P4(), 242, 0x7d511b1e14a62257ull},
        {"{*}", StarDefaultList(), 510, 0xd7ebc4be2de76625ull},
    };
    for (const auto& l : lists) {
        SCOPED_TRACE(l.name);
        EXPECT_EQ(l.list.size(), l.length);
        EXPECT_EQ(Fnv1a(l.list), l.fingerprint);
    }
}

TEST(DefaultLists, MaskListsBeginAndEndAsShipped) {
    EXPECT_TRUE(StartsWith(M1(), "S 2048x1536x32=1; 800x600 848x480=1DFF; "));
    EXPECT_TRUE(StartsWith(M3(), "S 320x200 320x240 400x300 480x360 512x384 640x400=F;SHV 2048x1536x32=1; "));
    EXPECT_TRUE(EndsWith(M3(), "; SHV 1920x1440x32=B; 2048x1536x8,16=F; 1024x768x32 1152x864x8,16=FFF;"));
    EXPECT_TRUE(EndsWith(M4(), "1600x1200x32 1920x1200x8,16=F; 1152x864x32=FF;"));
    for (const std::string& m : {M1(), M2(), M3(), M4(), StarDefaultList()}) {
        EXPECT_EQ(m.back(), ';');
        EXPECT_EQ(m.find("  "), std::string::npos);
        EXPECT_EQ(m.find(";;"), std::string::npos);
    }
    const std::string& star = StarDefaultList();
    EXPECT_TRUE(StartsWith(star, "{*}S 640x400=7F;320x200 320x240 400x300 480x360 512x384=F;SHV "));
    EXPECT_NE(star.find(";{110-289}SHV 1920x1440x32 2048x1536x8,16=1;"), std::string::npos);
    EXPECT_NE(star.find(";{113-153,178-17A,188-201,258-289}S 1600x1024x16,32=1;"), std::string::npos);
    EXPECT_TRUE(EndsWith(star, ";{200,201}S 1600x900x32=1F;1600x900x8,16=3F;1280x768=7F;"));
}

// Entries of a range list keyed by "width,height,depths".
std::vector<std::string> RangeEntries(const std::string& list) {
    EXPECT_TRUE(StartsWith(list, "S "));
    return SplitOn(list.substr(2), ";");
}

TEST(DefaultLists, RangeListsAreWellFormedAndDifferOnlyWhereTheDriversDo) {
    for (const std::string& p : {P1(), P2(), P3(), P4()}) {
        EXPECT_NE(p.back(), ';');
        for (const std::string& entry : RangeEntries(p)) {
            EXPECT_EQ(SplitOn(entry, ",").size(), 4u) << entry;
            EXPECT_EQ(entry.find(' '), std::string::npos) << entry;
        }
    }
    for (const std::string& p : {P1(), P4()}) {
        EXPECT_TRUE(StartsWith(p, "S 1600,900,-16,120;1600,900,32,100-;"));
        EXPECT_TRUE(EndsWith(p, ";2048,1536,-16,70-;2048,1536,32,-"));
    }
    for (const std::string& p : {P2(), P3()}) {
        EXPECT_TRUE(StartsWith(p, "S 1280,768,-,-;1280,960,-,-;1280,1024,32,120;"));
        EXPECT_TRUE(EndsWith(p, ";1920,1440,-,-;2048,1536,-,-"));
    }

    auto differences = [](const std::string& a, const std::string& b) {
        std::vector<std::string> ea = RangeEntries(a), eb = RangeEntries(b), diff;
        EXPECT_EQ(ea.size(), eb.size());
        for (std::size_t i = 0; i < ea.size() && i < eb.size(); ++i)
            if (ea[i] != eb[i]) diff.push_back(ea[i] + " | " + eb[i]);
        return diff;
    };
    EXPECT_EQ(differences(P2(), P3()),
              std::vector<std::string>({"1920,1080,32,75- | 1920,1080,32,70-"}));
    EXPECT_EQ(differences(P1(), P4()),
              std::vector<std::string>({"1920,1200,32,72- | 1920,1200,32,-",
                                        "1920,1440,32,70- | 1920,1440,32,-"}));
}

// ---- The two default NormalModeTables -------------------------------------------------------

struct Resolution {
    int width, height;
    int normalLow, normal32, integratedLow, integrated32;  // rungs offered
};

// The driver's order, with the number of rungs from 60 upward each table offers.
const Resolution kDefaultOrder[] = {
    {640, 480, 7, 7, 6, 6},    {320, 200, 4, 4, 4, 4},    {320, 240, 4, 4, 4, 4},
    {400, 300, 4, 4, 4, 4},    {480, 360, 4, 4, 4, 4},    {512, 384, 4, 4, 4, 4},
    {640, 400, 7, 7, 6, 6},    {800, 600, 7, 7, 6, 6},    {1024, 768, 7, 7, 6, 6},
    {1152, 864, 7, 7, 6, 6},   {1280, 768, 7, 7, 6, 6},   {1280, 960, 7, 7, 6, 6},
    {1280, 1024, 7, 7, 6, 6},  {1600, 1024, 6, 5, 6, 6},  {1600, 1200, 6, 5, 6, 6},
    {1920, 1080, 6, 4, 6, 6},  {1920, 1200, 5, 2, 6, 6},  {1920, 1440, 4, 1, 6, 6},
    {2048, 1536, 1, 1, 6, 1},
};

void CheckDefaultTable(const std::string& table, bool integrated) {
    const auto split = SplitTable(table);
    ASSERT_TRUE(split.ok);
    EXPECT_EQ(split.tail, "");
    ASSERT_EQ(split.entries.size(), 57u);
    const std::vector<std::string> ladder = {"60", "70", "72", "75", "85", "100", "120"};
    for (std::size_t i = 0; i < 57; ++i) {
        const std::string& entry = split.entries[i];
        const int depth = i < 19 ? 8 : i < 38 ? 16 : 32;
        const Resolution& r = kDefaultOrder[i % 19];
        SCOPED_TRACE("entry " + std::to_string(i) + ": " + entry);
        ASSERT_EQ(entry.size(), 38u);
        // Head: depth left-justified, width and height right-justified in 4 columns.
        EXPECT_EQ(entry.substr(0, 2), depth == 8 ? "8 " : std::to_string(depth));
        EXPECT_EQ(entry.substr(2, 2), "  ");
        EXPECT_EQ(std::stoi(entry.substr(4, 4)), r.width);
        EXPECT_NE(entry[7], ' ');
        EXPECT_EQ(entry[8], ' ');
        EXPECT_EQ(std::stoi(entry.substr(9, 4)), r.height);
        EXPECT_NE(entry[12], ' ');
        EXPECT_EQ(entry.substr(13, 3), "   ");
        // RateField: a run of rungs from 60 up, single blanks, then blanks to 22 columns.
        const int rungs = integrated ? (depth == 32 ? r.integrated32 : r.integratedLow)
                                     : (depth == 32 ? r.normal32 : r.normalLow);
        const std::string field = entry.substr(16);
        const std::vector<std::string> rates = Tokens(field);
        EXPECT_EQ(rates, std::vector<std::string>(ladder.begin(), ladder.begin() + rungs));
        EXPECT_TRUE(StartsWith(field, "60"));
        EXPECT_EQ(field.substr(0, field.find_last_not_of(' ') + 1).find("  "), std::string::npos);
    }
    for (std::size_t j = 0; j < split.joinBlanks.size(); ++j) {
        // Join j stands before entry j + 1; entries 31 and 50 are 1280x1024 at 16 and 32 bit.
        const bool narrow = integrated && (j + 1 == 31 || j + 1 == 50);
        EXPECT_EQ(split.joinBlanks[j], narrow ? 1 : 2) << "join before entry " << j + 1;
    }
}

TEST(DefaultTables, NormalTableHasTheDriversShape) {
    const std::string& table = NormalDefaultTable();
    CheckDefaultTable(table, false);
    EXPECT_TRUE(StartsWith(table, "8    640  480   60 70 72 75 85 100 120  0  "
                                  "8    320  200   60 70 72 75             0  8    320  240   "));
    EXPECT_NE(table.find("  0  16   320  200   60 70 72 75             0  "), std::string::npos);
    EXPECT_TRUE(EndsWith(table, "  0  32  2048 1536   60" + std::string(22, ' ') + "0"));
}

TEST(DefaultTables, IntegratedTableStopsAt100AndHasTwoNarrowJoins) {
    const std::string& table = IntegratedDefaultTable();
    CheckDefaultTable(table, true);
    EXPECT_EQ(table.find(" 120 "), std::string::npos);
    EXPECT_TRUE(StartsWith(table, "8    640  480   60 70 72 75 85 100      0  8    320  200   "));
    EXPECT_TRUE(EndsWith(table, "  0  32  2048 1536   60" + std::string(22, ' ') + "0"));
    EXPECT_NE(table.find("16  1280  960   60 70 72 75 85 100      0 16  1280 1024   "),
              std::string::npos);
    EXPECT_NE(table.find("32  1280  960   60 70 72 75 85 100      0 32  1280 1024   "),
              std::string::npos);
    EXPECT_EQ(table.size(), NormalDefaultTable().size() - 2);
}

}  // namespace
}  // namespace hzwk
