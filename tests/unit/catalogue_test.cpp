// The adapter catalogues: each adapter's value names and default lists, pinned to the byte.
#include <gtest/gtest.h>

#include <string>

#include "catalogue/catalogue.h"
#include "fakes.h"

namespace hzwk {
namespace {

using test::Fnv1a;

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
            rows += name + "," + std::to_string(Fnv1a(list)) + ",";
        }
        rows += ";\n";
    }
    EXPECT_EQ(Fnv1a(rows), 0x1b2b181965f14873ull) << rows;
    // The lists as NVIDIA's drivers ship them.
    const std::pair<std::string, uint64_t> lists[] = {{StarDefaultList(), 0xd7ebc4be2de76625ull},
        {NormalDefaultTable(), 0x00485cb2dcf6ee00ull}, {IntegratedDefaultTable(), 0x1092de611417e9c3ull}};
    for (const auto& [list, fingerprint] : lists) EXPECT_EQ(Fnv1a(list), fingerprint) << list;
}

}  // namespace
}  // namespace hzwk
