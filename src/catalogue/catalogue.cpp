#include "catalogue/catalogue.h"

#include <array>
#include <string>

#include "core/driver_context.h"
#include "core/mode_text.h"

namespace hzwk {

namespace {

// ---- The driver's default NormalModeTables ----------------------------------------------
//
// Both tables list every resolution in each depth 8, 16, 32, with the first n rungs of the
// rate ladder; they differ only in n and in two joins that the driver's own table has as a
// single blank.

struct DefaultRow {
    int width, height;
    int normalLow, normal32;          // rungs offered at 8/16 bit and at 32 bit
    int integratedLow, integrated32;
};

constexpr std::array<DefaultRow, 19> kDefaultRows = {{
    {640, 480, 7, 7, 6, 6},
    {320, 200, 4, 4, 4, 4},
    {320, 240, 4, 4, 4, 4},
    {400, 300, 4, 4, 4, 4},
    {480, 360, 4, 4, 4, 4},
    {512, 384, 4, 4, 4, 4},
    {640, 400, 7, 7, 6, 6},
    {800, 600, 7, 7, 6, 6},
    {1024, 768, 7, 7, 6, 6},
    {1152, 864, 7, 7, 6, 6},
    {1280, 768, 7, 7, 6, 6},
    {1280, 960, 7, 7, 6, 6},
    {1280, 1024, 7, 7, 6, 6},
    {1600, 1024, 6, 5, 6, 6},
    {1600, 1200, 6, 5, 6, 6},
    {1920, 1080, 6, 4, 6, 6},
    {1920, 1200, 5, 2, 6, 6},
    {1920, 1440, 4, 1, 6, 6},
    {2048, 1536, 1, 1, 6, 1},
}};

// One entry: its head, the first `rungs` rates of the ladder in their own columns, "  0".
std::string DefaultEntry(int depth, int width, int height, int rungs) {
    return NormalEntryHead(depth, width, height) + LadderRateField(rungs) + "  0";
}

std::string BuildDefaultTable(bool integrated) {
    std::string table;
    for (int depth : {8, 16, 32}) {
        for (const DefaultRow& row : kDefaultRows) {
            if (!table.empty()) {
                // The integrated adapter's table joins 1280x960 to 1280x1024 with one blank
                // at 16 and 32 bit; the driver's own text has it so, and Reset restores it.
                const bool narrowJoin =
                    integrated && depth != 8 && row.width == 1280 && row.height == 1024;
                table += narrowJoin ? " " : "  ";
            }
            const int rungs = integrated ? (depth == 32 ? row.integrated32 : row.integratedLow)
                                         : (depth == 32 ? row.normal32 : row.normalLow);
            table += DefaultEntry(depth, row.width, row.height, rungs);
        }
    }
    return table;
}

// ---- The driver's default compressed lists, copied as the driver ships them -------------

constexpr char kM1[] =
    "S 2048x1536x32=1;"
    " 800x600 848x480=1DFF;"
    " 1920x1080x32 1920x1200x32 1920x1440x8,16=1F;"
    " 640x480 1024x768x8,16=1FFF;"
    " 1280x720x32 1280x768x32 1280x960x32 1280x1024x32 1360x768x32=2FF;"
    " 1600x1024x32 1600x1200x32 1920x1080x8,16 1920x1200x8,16=3F;"
    " 1600x900x8,16=3FF;"
    " 1152x864x32=6FF;"
    " 1600x900x32 1600x1024x8,16 1600x1200x8,16=7F;"
    " 1280x720x8,16 1280x768x8,16 1280x960x8,16 1280x1024x8,16 1360x768x8,16=7FF;"
    " 1920x1440x32=B;"
    " 320x200 320x240 400x300=F;"
    " S 480x360 512x384 640x400 2048x1536x8,16=F;"
    " 1024x768x32 1152x864x8,16=FFF;";

constexpr char kM2[] =
    "S 1920x1440x32 2048x1536x8,16=1;"
    " 800x600=1DFF;"
    " 1600x900x32 1600x1024x32 1600x1200x32 1920x1200x8,16=1F;"
    " 640x480=1FFF;"
    " 1152x864x32=2FF;"
    " 1920x1200x32=3;"
    " 1600x1024x8,16 1600x1200x8,16 1920x1080x8,16=3F;"
    " 1280x720x8,16 1280x768x8,16 1280x960x8,16 1280x1024x8,16=3FF;"
    " 1280x720x32 1280x768x32 1280x960x32 1280x1024x32 1600x900x8,16=7F;"
    " 1024x768x32 1152x864x8,16=7FF;"
    " 320x200 320x240 400x300 480x360 512x384 640x400 1920x1080x32 1920x1440x8,16=F;"
    " S 1024x768x8,16=FFF;";

constexpr char kM3[] =
    "S 320x200 320x240 400x300 480x360 512x384 640x400=F;"
    "SHV 2048x1536x32=1;"
    " 800x600 848x480=1DFF;"
    " 1920x1080x32 1920x1200x32 1920x1440x8,16=1F;"
    " 640x480 1024x768x8,16=1FFF;"
    " 1280x720x32 1280x768x32 1280x960x32 1280x1024x32 1360x768x32=2FF;"
    " 1600x1024x32 1600x1200x32 1920x1080x8,16 1920x1200x8,16=3F;"
    " 1600x900x8,16=3FF;"
    " 1152x864x32=6FF;"
    " 1600x900x32 1600x1024x8,16 1600x1200x8,16=7F;"
    " 1280x720x8,16 1280x768x8,16 1280x960x8,16 1280x1024x8,16 1360x768x8,16=7FF;"
    " SHV 1920x1440x32=B;"
    " 2048x1536x8,16=F;"
    " 1024x768x32 1152x864x8,16=FFF;";

constexpr char kM4[] =
    "S 1920x1200x32=1;"
    " 800x600=1DFF;"
    " 1600x1024x8,16 1600x1200x8,16 1920x1080x8,16=1F;"
    " 640x480=1FFF;"
    " 1280x1024x32=3F;"
    " 1152x864x8,16=3FF;"
    " 1920x1080x32=7;"
    " 1280x1024x8,16=7F;"
    " 1024x768=7FF;"
    " 320x200 320x240 400x300 480x360 512x384 640x400 1600x1024x32 1600x1200x32 1920x1200x8,16=F;"
    " 1152x864x32=FF;";

constexpr char kP1[] =
    "S 1600,900,-16,120;"
    "1600,900,32,100-;"
    "1600,1024,-16,120;"
    "1600,1024,32,100-;"
    "1600,1200,-16,120;"
    "1600,1200,32,100-;"
    "1920,1080,-16,120;"
    "1920,1080,32,85-;"
    "1920,1200,-16,100-;"
    "1920,1200,32,72-;"
    "1920,1440,-16,85-;"
    "1920,1440,32,70-;"
    "2048,1536,-16,70-;"
    "2048,1536,32,-";

constexpr char kP2[] =
    "S 1280,768,-,-;"
    "1280,960,-,-;"
    "1280,1024,32,120;"
    "1600,900,-16,100-;"
    "1600,900,32,85-;"
    "1600,1024,-16,100-;"
    "1600,1024,32,85-;"
    "1600,1200,-16,100-;"
    "1600,1200,32,85-;"
    "1920,1080,-16,100-;"
    "1920,1080,32,75-;"
    "1920,1200,-16,85-;"
    "1920,1200,32,70-;"
    "1920,1440,-,-;"
    "2048,1536,-,-";

constexpr char kP3[] =
    "S 1280,768,-,-;"
    "1280,960,-,-;"
    "1280,1024,32,120;"
    "1600,900,-16,100-;"
    "1600,900,32,85-;"
    "1600,1024,-16,100-;"
    "1600,1024,32,85-;"
    "1600,1200,-16,100-;"
    "1600,1200,32,85-;"
    "1920,1080,-16,100-;"
    "1920,1080,32,70-;"
    "1920,1200,-16,85-;"
    "1920,1200,32,70-;"
    "1920,1440,-,-;"
    "2048,1536,-,-";

constexpr char kP4[] =
    "S 1600,900,-16,120;"
    "1600,900,32,100-;"
    "1600,1024,-16,120;"
    "1600,1024,32,100-;"
    "1600,1200,-16,120;"
    "1600,1200,32,100-;"
    "1920,1080,-16,120;"
    "1920,1080,32,85-;"
    "1920,1200,-16,100-;"
    "1920,1200,32,-;"
    "1920,1440,-16,85-;"
    "1920,1440,32,-;"
    "2048,1536,-16,70-;"
    "2048,1536,32,-";

constexpr char kStarList[] =
    "{*}S 640x400=7F;"
    "320x200 320x240 400x300 480x360 512x384=F;"
    "SHV 1600x1200x32=1F;"
    "1600x1200x8,16=3F;"
    "640x480 800x600 1024x768 1152x864 1280x960 1280x1024=7F;"
    "848x480=9;"
    "{110-289}SHV 1920x1440x32 2048x1536x8,16=1;"
    "1920x1200x8,16=1F;"
    "1920x1200x32=3;"
    "1920x1080x8,16=3F;"
    "1920x1080x32 1920x1440x8,16=F;"
    "{113-153,178-17A,188-201,258-289}S 1600x1024x16,32=1;"
    "{113-153,200,201}S 1600x1024x32=1E;"
    "1600x1024x16=3E;"
    "1600x1024x8=3F;"
    "{153,178-17A,188-201,258-289}HV 1600x1024x16,32=1;"
    "{200,201}S 1600x900x32=1F;"
    "1600x900x8,16=3F;"
    "1280x768=7F;";


// ---- The two catalogues ----------------------------------------------------------------

enum class Table { kNormal, kIntegrated };
constexpr Table kNormal = Table::kNormal;
constexpr Table kIntegrated = Table::kIntegrated;

struct NormalAdapter {
    const char* description;
    const char* valueName;
    Table table;
};

constexpr std::array<NormalAdapter, 34> kNormalAdapters = {{
    {"NVIDIA GeForce3", "NV20_Modes", kNormal},
    {"NVIDIA GeForce2 GTS/GeForce2 Pro", "NV15_Modes", kNormal},
    {"NVIDIA RIVA TNT", "NV4_Modes", kNormal},
    {"NVIDIA RIVA TNT2/TNT2 Pro", "NV5_Modes", kNormal},
    {"NVIDIA Aladdin TNT2", "NV0A_Modes", kNormal},
    {"NVIDIA Vanta/Vanta LT", "NVVANTA_Modes", kNormal},
    {"NVIDIA RIVA TNT2 Ultra", "NV5ULTRA_Modes", kNormal},
    {"NVIDIA RIVA TNT2 Model 64/Model 64 Pro", "NV5M64_Modes", kNormal},
    {"NVIDIA GeForce 256", "NV10_Modes", kNormal},
    {"NVIDIA GeForce DDR", "NV10DDR_Modes", kNormal},
    {"NVIDIA Quadro", "NV10GL_Modes", kNormal},
    {"NVIDIA GeForce2 MX/MX 400", "NV11_Modes", kNormal},
    {"NVIDIA GeForce2 MX 100/200", "NV11DDR_Modes", kNormal},
    {"NVIDIA GeForce2 MX-100/200", "NV11DDR_Modes", kNormal},
    {"NVIDIA GeForce2 MX", "NV11_Modes", kNormal},
    {"NVIDIA Quadro2 MXR/EX", "NV11GL_Modes", kNormal},
    {"NVIDIA GeForce2 Integrated GPU", "NV11M_Modes", kIntegrated},
    {"NVIDIA GeForce2 Ti", "NV15DDR_Modes", kNormal},
    {"NVIDIA GeForce2 Ultra", "NV15BR_Modes", kNormal},
    {"NVIDIA Quadro2 Pro", "NV15GL_Modes", kNormal},
    {"NVIDIA GeForce4 MX 460", "NV17_Modes", kNormal},
    {"NVIDIA GeForce4 MX 440", "NV17_Modes", kNormal},
    {"NVIDIA GeForce4 MX 420", "NV17_Modes", kNormal},
    {"NVIDIA Quadro4 500/550 XGL", "NV17GL_Modes", kNormal},
    {"NVIDIA Quadro4 200/400 NVS", "NV17GL_Modes", kNormal},
    {"NVIDIA GeForce4 Ti 4600", "NV25_Modes", kNormal},
    {"NVIDIA GeForce4 Ti 4400", "NV25_Modes", kNormal},
    {"NVIDIA GeForce4 Ti 4200", "NV25_Modes", kNormal},
    {"NVIDIA Quadro4 900 XGL", "NV25GL_Modes", kNormal},
    {"NVIDIA Quadro4 750 XGL", "NV10GL_Modes", kNormal},
    {"NVIDIA Quadro4 720 XGL", "NV10GL_Modes", kNormal},
    {"NVIDIA GeForce3 Ti 200", "NV20_1_Modes", kNormal},
    {"NVIDIA GeForce3 Ti 500", "NV20_2_Modes", kNormal},
    {"NVIDIA Quadro DCC", "NV20_3_Modes", kNormal},
}};

struct CompressedAdapter {
    const char* description;
    const char* valueName;
    const char* anyRateDefault;  // nullptr: the driver ships none
    const char* rangeDefault;
};

constexpr std::array<CompressedAdapter, 35> kCompressedAdapters = {{
    {"NVIDIA GeForce3", "NV20_Modes_Delta", kM1, kP1},
    {"NVIDIA GeForce2 GTS/GeForce2 Pro", "NV15_Modes_Delta", kM1, kP1},
    {"NVIDIA RIVA TNT", "NV4_Modes_Delta", kM4, kP2},
    {"NVIDIA RIVA TNT2/TNT2 Pro", "NV5_Modes_Delta", kM2, kP1},
    {"NVIDIA Aladdin TNT2", "NV0A_Modes_Delta", kM2, kP1},
    {"NVIDIA Vanta/Vanta LT", "NVVANTA_Modes_Delta", kM4, kP3},
    {"NVIDIA RIVA TNT2 Ultra", "NV5ULTRA_Modes_Delta", kM2, kP1},
    {"NVIDIA RIVA TNT2 Model 64/Model 64 Pro", "NV5M64_Modes_Delta", kM2, kP4},
    {"NVIDIA GeForce 256", "NV10_Modes_Delta", kM1, kP1},
    {"NVIDIA GeForce DDR", "NV10DDR_Modes_Delta", kM1, kP1},
    {"NVIDIA Quadro", "NV10GL_Modes_Delta", kM1, kP1},
    {"NVIDIA GeForce2 MX/MX 400", "NV11_Modes_Delta", kM3, kP1},
    {"NVIDIA GeForce2 MX 100/200", "NV11DDR_Modes_Delta", kM3, kP1},
    {"NVIDIA Quadro2 MXR/EX", "NV11GL_Modes_Delta", kM3, kP1},
    {"NVIDIA GeForce2 Integrated GPU", "NV11M_Modes_Delta", kM3, kP1},
    {"NVIDIA GeForce2 Ti", "NV15DDR_Modes_Delta", kM1, kP1},
    {"NVIDIA GeForce2 Ultra", "NV15BR_Modes_Delta", kM1, kP1},
    {"NVIDIA Quadro2 Pro", "NV15GL_Modes_Delta", kM1, kP1},
    {"NVIDIA GeForce4 MX 460", "NV17_Modes_Delta", kM3, kP1},
    {"NVIDIA GeForce4 MX 440", "NV17_Modes_Delta", kM3, kP1},
    {"NVIDIA GeForce4 MX 420", "NV17_Modes_Delta", kM3, kP1},
    {"NVIDIA Quadro4 500/550 XGL", "NV17GL_Modes_Delta", kM3, kP1},
    {"NVIDIA Quadro4 200/400 NVS", "NV17GL_Modes_Delta", kM3, kP1},
    {"NVIDIA GeForce4 Ti 4600", "NV25_Modes_Delta", kM3, kP1},
    {"NVIDIA GeForce4 Ti 4400", "NV25_Modes_Delta", kM3, kP1},
    {"NVIDIA GeForce4 Ti 4200", "NV25_Modes_Delta", kM3, kP1},
    {"NVIDIA Quadro4 900 XGL", "NV25GL_Modes_Delta", kM3, kP1},
    {"NVIDIA Quadro4 750 XGL", "NV10GL_Modes_Delta", kM1, kP1},
    {"NVIDIA Quadro4 720 XGL", "NV10GL_Modes_Delta", kM1, kP1},
    {"NVIDIA GeForce3 Ti 200", "NV20_1_Modes_Delta", kM1, kP1},
    {"NVIDIA GeForce3 Ti 500", "NV20_2_Modes_Delta", kM1, kP1},
    {"NVIDIA Quadro DCC", "NV20_3_Modes_Delta", kM1, kP1},
    {"NVIDIA GeForce4 Ti 4200 with AGP8X", "NV28_Modes_Delta", kM3, nullptr},
    {"NVIDIA GeForce4 MX 440SE with AGP8X", "NV18_Modes_Delta", kM3, nullptr},
    {"NVIDIA GeForce4 MX 440 with AGP8X", "NV18_Modes_Delta", kM3, nullptr},
}};

}  // namespace

bool IsModeListValueName(const std::string& name) {
    for (const NormalAdapter& a : kNormalAdapters)
        if (name == a.valueName) return true;
    for (const CompressedAdapter& a : kCompressedAdapters)
        if (name == a.valueName) return true;
    return false;
}

const std::string& NormalDefaultTable() {
    static const std::string table = BuildDefaultTable(false);
    return table;
}

const std::string& IntegratedDefaultTable() {
    static const std::string table = BuildDefaultTable(true);
    return table;
}

const std::string& StarDefaultList() {
    static const std::string list = kStarList;
    return list;
}

std::string LookupNormalAdapter(const std::string& description, const std::string& versionKey,
                                std::string& defaultModeList) {
    std::string valueName;
    for (const NormalAdapter& adapter : kNormalAdapters) {
        if (description != adapter.description) continue;
        valueName = adapter.valueName;
        defaultModeList =
            adapter.table == Table::kIntegrated ? IntegratedDefaultTable() : NormalDefaultTable();
        break;
    }
    // The newest drivers share one default for every adapter, known or not.
    if (KeyAtLeast(versionKey, kV4100)) defaultModeList = StarDefaultList();
    return valueName;
}

std::string LookupCompressedAdapter(const std::string& description, bool anyRate,
                                    std::string& defaultModeList) {
    for (const CompressedAdapter& adapter : kCompressedAdapters) {
        if (description != adapter.description) continue;
        const char* list = anyRate ? adapter.anyRateDefault : adapter.rangeDefault;
        if (list != nullptr) defaultModeList = list;
        return adapter.valueName;
    }
    return std::string();
}

}  // namespace hzwk
