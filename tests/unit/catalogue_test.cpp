// The adapter catalogues: value names, default lists, and the driver's default tables.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "catalogue/catalogue.h"
#include "fakes.h"

namespace hzwk {
namespace {

using test::Fnv1a;

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

TEST(NormalCatalogue, TheAdaptersTableBelow4100AndTheStarListFrom4100) {
    for (const char* key : {".930", "3999", "4099"}) {
        EXPECT_EQ(Normal("NVIDIA GeForce4 Ti 4600", key).list, NormalDefaultTable()) << key;
        EXPECT_EQ(Normal("NVIDIA GeForce2 Integrated GPU", key).list, IntegratedDefaultTable()) << key;
    }
    // From 4100 (and for the unreadable "N/A") every adapter, known or not, gets "{*}".
    for (const char* key : {"4100", "N/A"}) {
        EXPECT_EQ(Normal("NVIDIA GeForce4 Ti 4600", key).name, "NV25_Modes");
        EXPECT_EQ(Normal("NVIDIA GeForce4 Ti 4600", key).list, StarDefaultList());
        EXPECT_EQ(Normal("Some Other Adapter", key).list, StarDefaultList());
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

TEST(Catalogues, EveryAdaptersNamesAndDefaults) {
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
    // Each adapter's names and defaults in both catalogues, pinned as one text.
    std::string rows;
    for (const char* d : descriptions) {
        const Found normal = Normal(d, "3999");
        rows += std::string(d) + "=" + normal.name + "," + std::to_string(Fnv1a(normal.list));
        for (bool anyRate : {true, false}) {
            const Found compressed = Compressed(d, anyRate);
            rows += "," + compressed.name + "," + std::to_string(Fnv1a(compressed.list));
        }
        rows += ";";
    }
    EXPECT_EQ(Fnv1a(rows), 0xea935fb593dbdddeull) << rows;
}

// Lengths and fingerprints of the lists as NVIDIA's drivers ship them; the compressed ones
// each reached through an adapter that uses it.
TEST(DefaultLists, AreTheDriversTextsToTheByte) {
    const struct {
        const char* name;
        std::string list;
        std::size_t length;
        uint64_t fingerprint;
    } lists[] = {
        {"GeForce3 any rate", Compressed("NVIDIA GeForce3", true).list, 514, 0x78330c691903fb44ull},
        {"TNT2 any rate", Compressed("NVIDIA RIVA TNT2/TNT2 Pro", true).list, 459, 0x6f191f6800b67c3dull},
        {"GeForce4 any rate", Compressed("NVIDIA GeForce4 Ti 4600", true).list, 519, 0x9589751a4a4b871full},
        {"TNT any rate", Compressed("NVIDIA RIVA TNT", true).list, 287, 0x334d8273559c23daull},
        {"GeForce3 ladder", Compressed("NVIDIA GeForce3", false).list, 246, 0xfdc61d5814d09d77ull},
        {"TNT ladder", Compressed("NVIDIA RIVA TNT", false).list, 249, 0xffd53da1ef82075eull},
        {"Vanta ladder", Compressed("NVIDIA Vanta/Vanta LT", false).list, 249, 0xefc233c1491969b9ull},
        {"TNT2 M64 ladder", Compressed("NVIDIA RIVA TNT2 Model 64/Model 64 Pro", false).list, 242,
         0x7d511b1e14a62257ull},
        {"{*}", StarDefaultList(), 510, 0xd7ebc4be2de76625ull},
        {"normal table", NormalDefaultTable(), 2449, 0x00485cb2dcf6ee00ull},
        {"integrated table", IntegratedDefaultTable(), 2447, 0x1092de611417e9c3ull},
    };
    for (const auto& l : lists) {
        EXPECT_EQ(l.list.size(), l.length) << l.name;
        EXPECT_EQ(Fnv1a(l.list), l.fingerprint) << l.name;
    }
}

}  // namespace
}  // namespace hzwk
