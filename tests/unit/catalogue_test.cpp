// The adapter catalogues: value names, default lists, and the driver's default tables.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "catalogue/catalogue.h"
#include "mode_list_text.h"

namespace hzwk {
namespace {

using testing::StartsWith;

constexpr char kUntouched[] = "<untouched>";

struct Found {
    std::string name, list;
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

// The compressed defaults, each reached through an adapter that uses it.
std::string M1() { return Compressed("NVIDIA GeForce3", true).list; }
std::string M2() { return Compressed("NVIDIA RIVA TNT2/TNT2 Pro", true).list; }
std::string M3() { return Compressed("NVIDIA GeForce4 Ti 4600", true).list; }
std::string M4() { return Compressed("NVIDIA RIVA TNT", true).list; }
std::string P1() { return Compressed("NVIDIA GeForce3", false).list; }
std::string P2() { return Compressed("NVIDIA RIVA TNT", false).list; }
std::string P3() { return Compressed("NVIDIA Vanta/Vanta LT", false).list; }
std::string P4() { return Compressed("NVIDIA RIVA TNT2 Model 64/Model 64 Pro", false).list; }

TEST(NormalCatalogue, NamesAndTablesBelow4100AndTheStarListFrom4100) {
    const struct {
        const char* description;
        const char* name;
        bool integrated;
    } cases[] = {
        {"NVIDIA GeForce4 Ti 4600", "NV25_Modes", false},
        {"NVIDIA GeForce2 Integrated GPU", "NV11M_Modes", true},
        {"NVIDIA GeForce2 MX", "NV11_Modes", false},
        {"NVIDIA GeForce2 MX-100/200", "NV11DDR_Modes", false},
        {"NVIDIA Quadro4 720 XGL", "NV10GL_Modes", false},
        {"NVIDIA Quadro DCC", "NV20_3_Modes", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        for (const char* key : {".930", "3999", "4099"}) {
            EXPECT_EQ(Normal(c.description, key).name, c.name) << key;
            EXPECT_EQ(Normal(c.description, key).list,
                      c.integrated ? IntegratedDefaultTable() : NormalDefaultTable()) << key;
        }
    }
    // From 4100 (and for the unreadable "N/A") every adapter, known or not, gets "{*}".
    for (const char* key : {"4100", "N/A"}) {
        EXPECT_EQ(Normal("NVIDIA GeForce4 Ti 4600", key).name, "NV25_Modes");
        EXPECT_EQ(Normal("NVIDIA GeForce4 Ti 4600", key).list, StarDefaultList());
        EXPECT_EQ(Normal("Some Other Adapter", key).list, StarDefaultList());
    }
}

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
        {"NVIDIA GeForce4 MX 440 with AGP8X", "NV18_Modes_Delta", M3(), kUntouched},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        EXPECT_EQ(Compressed(c.description, true).name, c.name);
        EXPECT_EQ(Compressed(c.description, true).list, c.anyRate);
        EXPECT_EQ(Compressed(c.description, false).name, c.name);
        EXPECT_EQ(Compressed(c.description, false).list, c.ranges);
    }
}

TEST(Catalogues, MatchWholeDescriptionsExactly) {
    for (const char* description : {"nvidia geforce3", "NVIDIA GeForce3 ", " NVIDIA GeForce3",
                                    "GeForce3", "NVIDIA GeForce", "NVIDIA GeForce3 Ti", ""}) {
        SCOPED_TRACE(description);
        EXPECT_EQ(Normal(description, "4045").name, "");
        EXPECT_EQ(Normal(description, "4045").list, kUntouched);
        for (bool anyRate : {false, true}) {
            EXPECT_EQ(Compressed(description, anyRate).name, "");
            EXPECT_EQ(Compressed(description, anyRate).list, kUntouched);
        }
    }
    EXPECT_EQ(Normal(std::string("NVIDIA GeForce3\0", 16), "3999").name, "");
    EXPECT_EQ(Normal("NVIDIA GeForce4 MX 440 with AGP8X", "3999").name, "");  // compressed only
    EXPECT_EQ(Compressed("NVIDIA GeForce2 MX", true).name, "");                // normal only
}

TEST(Catalogues, EveryAdapterNamesTheSameValueFamilyInBoth) {
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
        const std::string normal = Normal(d, "3999").name, compressed = Compressed(d, true).name;
        normalRows += !normal.empty();
        compressedRows += !compressed.empty();
        if (!normal.empty() && !compressed.empty()) {
            EXPECT_EQ(compressed, normal + "_Delta") << d;
        }
    }
    EXPECT_EQ(normalRows, 34);
    EXPECT_EQ(compressedRows, 35);
}

// ---- The default lists, to the byte -----------------------------------------------------------

uint64_t Fnv1a(const std::string& text) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : text) hash = (hash ^ c) * 0x100000001b3ull;
    return hash;
}

TEST(DefaultLists, AreTheDriversTextsToTheByte) {
    // Lengths and fingerprints of the lists as NVIDIA's drivers ship them.
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
        {"normal table", NormalDefaultTable(), 2449, 0x00485cb2dcf6ee00ull},
        {"integrated table", IntegratedDefaultTable(), 2447, 0x1092de611417e9c3ull},
    };
    for (const auto& l : lists) {
        EXPECT_EQ(l.list.size(), l.length) << l.name;
        EXPECT_EQ(Fnv1a(l.list), l.fingerprint) << l.name;
    }
}

TEST(DefaultTables, HaveTheDriversShape) {
    // 57 entries of 38 characters (head and RateField) ended by "  0" and joined by two
    // blanks; the integrated table joins 1280x960 to 1280x1024 at 16 and 32 bit by one.
    for (bool integrated : {false, true}) {
        const std::string& table = integrated ? IntegratedDefaultTable() : NormalDefaultTable();
        const auto split = testing::SplitTable(table);
        ASSERT_TRUE(split.ok && split.tail.empty());
        ASSERT_EQ(split.entries.size(), 57u);
        for (const std::string& entry : split.entries) EXPECT_EQ(entry.size(), 38u) << entry;
        for (std::size_t j = 0; j < split.joinBlanks.size(); ++j) {
            const bool narrow = integrated && (j + 1 == 31 || j + 1 == 50);
            EXPECT_EQ(split.joinBlanks[j], narrow ? 1 : 2) << "join before entry " << j + 1;
        }
        EXPECT_EQ(split.entries[56], "32  2048 1536   60" + std::string(20, ' '));
    }
    EXPECT_TRUE(StartsWith(NormalDefaultTable(), "8    640  480   60 70 72 75 85 100 120  0  "
                                                 "8    320  200   60 70 72 75             0"));
    EXPECT_TRUE(StartsWith(IntegratedDefaultTable(), "8    640  480   60 70 72 75 85 100      0  "));
}

}  // namespace
}  // namespace hzwk
