// The registry layer's read and write rules, and REGEDIT4 files: random keys and values
// written and read back byte-exact, what regedit's forms import as, and files refused whole.
#include "fakes.h"

#include <tuple>

namespace hzwk {
namespace {

using namespace std::string_literals;

const char kKey[] = "SOFTWARE\\HZWK";
const char kDevice[] = "System\\CurrentControlSet\\Control\\Video\\{GUID}\\0000";

// Reads take only the types and sizes the rules accept, with Windows' own codes; names match as
// Windows matches them; writes store exactly their bytes; refused access gives defaults, changes nothing.
TEST(RegistryRules, ReadsOnlyWhatTheRulesAccept) {
    MemoryRegistry reg;
    ApiRegistry rules(reg);
    // asText: GetStringValue with default "DEF"; asNumber: GetDwordValue with default 77
    const struct { uint32_t type; std::string bytes, asText; int32_t asNumber; } cases[] = {
        {kRegSz, "6.14.10.4109\0"s, "6.14.10.4109", 77}, {kRegSz, "6.14", "6.14", 77}, {kRegSz, "", "", 77},
        {kRegSz, "ab\0cd\0"s, "ab", 77},                 {kRegExpandSz, "%X%\0"s, "DEF", 77},
        {kRegMultiSz, "nv4\0\0"s, "DEF", 77},            {kRegBinary, "\x01\0\0\0"s, "DEF", 77},
        {kRegDword, "\0\0\0\x80"s, "DEF", INT32_MIN},    {kRegDword, "\x01\0\0\0\0\0\0\0"s, "DEF", 77},
        {kRegDword, "\x01\x02\x83", "DEF", 0x830201},    {5, "\0\0\0\x01"s, "DEF", 77},
    };
    for (const auto& c : cases) {
        reg.SetRaw(kKey, "Value", c.type, c.bytes);
        EXPECT_EQ(rules.GetStringValue(kKey, "Value", "DEF"), c.asText) << c.type << " " << c.bytes;
        EXPECT_EQ(rules.GetDwordValue(kKey, "Value", 77), c.asNumber) << c.type << " " << c.bytes;
    }
    EXPECT_EQ(rules.GetDwordValue("SOFTWARE\\Nowhere", "LoadOnStartup", -5), -5);
    EXPECT_EQ((std::vector<long>{kRegSz, kRegExpandSz, kRegBinary, kRegDword, kRegMultiSz, kErrorFileNotFound, kErrorAccessDenied,
               kErrorMoreData, kErrorNoMoreItems, kErrorKeyDeleted}), (std::vector<long>{1, 2, 3, 4, 7, 2, 5, 234, 259, 1018}));

    // Names and paths match as Windows matches them; the first spelling stays.
    reg.SetRaw("System\\Video\\{GUID}", "Device Description", kRegSz, "NVIDIA GeForce4\0"s);
    rules.SaveStringValue("SYSTEM\\video\\{guid}\\", "device description", "x");
    EXPECT_EQ(reg.ValueNames("System\\Video\\{GUID}"), std::vector<std::string>{"Device Description"});
    EXPECT_EQ(rules.GetStringValue("System\\\\Video\\{GUID}", "Device Description", "DEF") +
                  rules.GetStringValue("System\\Video\\{GUID}\0junk"s, "DEVICE DESCRIPTION", "DEF"), "DEFx");
    EXPECT_FALSE(rules.SaveStringValue("", "V", "x"));  // the machine root holds no values

    // Writes store exactly their bytes, creating missing keys.
    ASSERT_TRUE(rules.SaveStringValue("SOFTWARE\\A\\B", "LastDetVersion", "6.14.10.4109"));
    EXPECT_EQ(*reg.GetRaw("SOFTWARE\\A\\B", "LastDetVersion"), (RegData{kRegSz, "6.14.10.4109"}));  // no NUL
    ASSERT_TRUE(rules.SaveDwordValue(kKey, "N", -2));
    EXPECT_EQ(*reg.GetRaw(kKey, "N"), (RegData{kRegDword, "\xfe\xff\xff\xff"s}));
    EXPECT_TRUE(rules.DeleteRegValue(kKey, "n"));
    EXPECT_FALSE(rules.DeleteRegValue(kKey, "N"));  // nothing there: no effect

    // Refused access gives the defaults and changes nothing.
    reg.SetRaw(kKey, "S", kRegSz, "text\0"s);
    reg.SetRaw(kKey, "D", kRegDword, "\x01\0\0\0"s);
    reg.FailReads(true);
    EXPECT_EQ(rules.GetStringValue(kKey, "S", "DEF") + std::to_string(rules.GetDwordValue(kKey, "D", 9)), "DEF9");
    EXPECT_FALSE(rules.QueryRaw(kKey, "S", 255).found);
    reg.FailReads(false);

    const MemoryRegistry before = reg;
    reg.FailWrites(true);
    EXPECT_FALSE(rules.SaveStringValue(kKey, "S", "new") || rules.SaveStringValue("SOFTWARE\\New\\Key", "S", "new") ||
                 rules.SaveDwordValue(kKey, "D", 2) || rules.DeleteRegValue(kKey, "S"));
    EXPECT_TRUE(reg.SameContent(before));
    reg.FailWrites(false);

    // A denied key is closed with everything below it, and only it.
    reg.SetRaw("SYSTEM\\nvx", "V", kRegSz, "sibling\0"s);
    reg.DenyKey("system\\NV", true);
    EXPECT_FALSE(rules.SaveStringValue("SYSTEM\\nv\\Device0", "NV25_Modes", "{...}"));
    EXPECT_EQ(rules.GetStringValue("SYSTEM\\nvx", "V", ""), "sibling");
    EXPECT_EQ(reg.OpenHandles(), 0);
}

// Windows as the registry rules may meet it: it notes how each key is opened, may announce
// more bytes for an ANSI string than it then delivers, may lose a value between the two
// queries or announce a size that must not be allocated, and never ends a subkey list.
class ScriptedApi final : public RegistryBackend {
public:
    std::string opens, delivered;
    bool missing = false, secondFails = false, keepSize = false;  // missing: no key is found
    uint32_t announced = 0;
    int queries = 0;

    long OpenKey(const char*, RegHandle* out) override { return Note("open ", out); }
    long OpenKeyRead(const char*, RegHandle* out) override { return Note("read ", out); }
    long CreateKey(const char*, RegHandle* out) override { return Note("create ", out); }
    long QueryValue(RegHandle, const char*, uint32_t* type, unsigned char* data, uint32_t* size) override {
        ++queries, *type = kRegSz;
        if (data == nullptr) return *size = announced, kErrorSuccess;
        if (secondFails) return kErrorFileNotFound;
        if (delivered.size() > *size) return kErrorMoreData;
        std::copy(delivered.begin(), delivered.end(), data);
        if (!keepSize) *size = static_cast<uint32_t>(delivered.size());
        return kErrorSuccess;
    }
    long SetValue(RegHandle, const char*, uint32_t, const unsigned char*, uint32_t) override { return 0; }
    long DeleteValue(RegHandle, const char*) override { return kErrorSuccess; }
    long CloseKey(RegHandle) override { return kErrorSuccess; }
    long EnumKey(RegHandle, uint32_t, std::string* name) override { return *name = "K", kErrorSuccess; }
    long Note(const char* how, RegHandle* out) { return opens += how, *out = 1, missing ? kErrorFileNotFound : kErrorSuccess; }
};

// Reads and deletes never create a key, there or not; the raw query and the subkey list open
// for reading only, which the monitor keys allow where a full open is refused. A string read
// survives a system that announces more than it delivers, loses the value, or asks too much.
TEST(RegistryRules, ReadsOpenWithoutCreatingAndSurviveAnUntrustworthySystem) {
    for (const bool missing : {false, true}) {
        ScriptedApi api;
        api.missing = missing;
        ApiRegistry rules(api);
        rules.GetStringValue("K", "S", ""), rules.GetDwordValue("K", "S", 0), rules.DeleteRegValue("K", "S");
        rules.QueryRaw("K", "S", 255), rules.SubkeyNames("K");
        EXPECT_EQ(api.opens + std::to_string(api.queries), std::string("open open open read read ") + (missing ? "0" : "3"));
    }
    ScriptedApi api;
    api.announced = 24, api.delivered = "6.14.10.4109";  // announced twice the text: the Unicode size
    EXPECT_EQ(ApiRegistry(api).GetStringValue("K", "V", "DEF"), "6.14.10.4109");
    api.keepSize = true;  // says it filled all 24: the rest is the read's blank pre-fill
    EXPECT_EQ(ApiRegistry(api).GetStringValue("K", "V", "DEF"), "6.14.10.4109" + std::string(12, ' '));
    api.secondFails = true;
    EXPECT_EQ(ApiRegistry(api).GetStringValue("K", "V", "DEF"), "DEF");

    ScriptedApi huge;
    huge.announced = 0xFFFFFFFFu;
    EXPECT_EQ(ApiRegistry(huge).GetStringValue("K", "V", "DEF"), "DEF");
    EXPECT_EQ(huge.queries, 1);
    EXPECT_EQ(ApiRegistry(huge).SubkeyNames("K").size(), ApiRegistry::kMaxSubkeys);
}

// Random keys and values of every type, names and texts with quotes, backslashes, NULs, line
// breaks and high bytes, written to a .reg file and read back byte-exact; the file keeps
// regedit's lines within 80 columns.
TEST(RegFile, RandomRegistriesRoundTripByteExact) {
    std::mt19937 rng(2017);
    const std::string alphabet = "aZ09 _\"\\\r\n\0\xe9\xff;=[]@-,"s;
    const uint32_t types[] = {kRegSz, kRegSz, kRegDword, kRegDword, kRegBinary, kRegMultiSz, kRegExpandSz, 0x12345678};
    for (int run = 0; run < 60; ++run) {
        MemoryRegistry reg, read;
        for (int v = 0; v < 8; ++v) {
            std::string key = "SOFTWARE", name, bytes(rng() % (rng() % 4 ? 13 : 121), ' ');
            for (char& c : bytes) c = alphabet[rng() % alphabet.size()];
            for (int n = rng() % 7; n > 0; --n)  // names hold no line break or NUL
                if (const char c = alphabet[rng() % alphabet.size()]; c != '\r' && c != '\n' && c) name += c;
            for (int depth = rng() % 3; depth > 0; --depth) key += "\\K" + std::to_string(rng() % 3) + " {x}";
            const uint32_t type = types[rng() % 8];
            if (type == kRegDword && rng() % 2) bytes = std::string(4, char(rng()));
            if (type == kRegSz && rng() % 2) bytes.erase(std::remove(bytes.begin(), bytes.end(), '\0'), bytes.end()) += '\0';
            reg.SetRaw(key, name, type, bytes);
        }
        std::string written, error;
        ASSERT_TRUE(ExportRegText(reg, &written, &error)) << error;
        SCOPED_TRACE("run " + std::to_string(run) + ":\n" + written);
        ASSERT_TRUE(ImportRegText(written, read, &error)) << error;
        EXPECT_TRUE(read.SameContent(reg));
        for (const std::string& line : SplitFileLines(written)) EXPECT_LE(line.size(), 80u) << line;
        if (HasFailure()) break;
    }
}

MemoryRegistry Imported(const std::string& text) {
    MemoryRegistry reg;
    std::string error;
    EXPECT_TRUE(ImportRegText(text, reg, &error)) << error;
    return reg;
}

// A UTF-8 mark before the header is skipped, other roots are skipped, and deletions of keys
// and values there or not are carried out.
TEST(RegFile, ImportsEachFormAsRegeditDoes) {
    MemoryRegistry reg = Imported(
        "\xEF\xBB\xBFREGEDIT4 \r\n\r\n; a comment\r\n[HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\VIDEO]\r\n"
        "\"\\\\Device\\\\Video0\"=\"\\\\Registry\\\\Machine\\\\System\\\\X\"\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Video\\{GUID}\\0000]\r\n"
        "\"Device Description\"=\"NVIDIA \\\"quoted\\\" GeForce\"\r\n@=\"unnamed\"\r\n"
        "\"InstalledDisplayDrivers\"=hex(7):6e,76,34,5f,64,69,73,70,00,00\r\n\"UseCompressedModeFormat\"=dword:00000001\r\n"
        "\"Short\"=DWORD:1F\r\n\"Blob\"=hex:01,Ab,\\\r\n  cF,04,\\\r\n  ff\r\n\"Nothing\"=hex:\r\n\t\"Indented\"\t= \"x\"\r\n"
        "\"Gone\"=\"x\"\r\n[HKEY_CURRENT_USER\\Software\\HZWK]\r\n\"UserValue\"=\"ignored\"\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Old\\Deep]\r\n\"V\"=\"x\"\r\n[-HKEY_CURRENT_USER\\Software\\Gone]\r\n"
        "[hkey_local_machine\\SYSTEM\\CurrentControlSet\\Control\\Video\\{guid}\\0000]\r\n\"Gone\"=-\r\n\"NeverThere\"=-\r\n"
        "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Old]\r\n[-HKEY_LOCAL_MACHINE\\SOFTWARE\\NeverThere]\r\n");
    const std::tuple<const char*, const char*, std::optional<RegData>> expected[] = {
        {"HARDWARE\\DEVICEMAP\\VIDEO", "\\Device\\Video0", RegData{kRegSz, "\\Registry\\Machine\\System\\X\0"s}},
        {kDevice, "Device Description", RegData{kRegSz, "NVIDIA \"quoted\" GeForce\0"s}},
        {kDevice, "", RegData{kRegSz, "unnamed\0"s}}, {kDevice, "InstalledDisplayDrivers", RegData{kRegMultiSz, "nv4_disp\0\0"s}},
        {kDevice, "UseCompressedModeFormat", RegData{kRegDword, "\x01\0\0\0"s}}, {kDevice, "Short", RegData{kRegDword, "\x1f\0\0\0"s}},
        {kDevice, "Blob", RegData{kRegBinary, "\x01\xab\xcf\x04\xff"s}}, {kDevice, "Nothing", RegData{kRegBinary, ""}},
        {kDevice, "Indented", RegData{kRegSz, "x\0"s}}, {kDevice, "Gone", std::nullopt}, {kDevice, "UserValue", std::nullopt},
    };
    for (const auto& [key, name, data] : expected) EXPECT_EQ(reg.GetRaw(key, name), data) << name;
    EXPECT_EQ(reg.SubkeyNames(""), (std::vector<std::string>{"HARDWARE", "SOFTWARE", "System"}));
    EXPECT_EQ(reg.SubkeyNames("SOFTWARE"), std::vector<std::string>{});
}

TEST(RegFile, SavedTextHasRegeditsShape) {
    MemoryRegistry reg;
    reg.SetRaw("SOFTWARE\\HZWK", "LastDetVersion", kRegSz, "6.14.10.3090\0"s);
    reg.SetRaw("SOFTWARE\\HZWK", "ResW1", kRegSz, "800");
    reg.SetRaw("SOFTWARE\\HZWK", "LoadOnStartup", kRegDword, "\x01\0\0\0"s);
    reg.SetRaw("SOFTWARE\\HZWK\\Sub", "Bin", kRegBinary, std::string(40, '\xab'));
    std::string text, error;
    ASSERT_TRUE(ExportRegText(reg, &text, &error));
    EXPECT_EQ(text,
              "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\HZWK]\r\n"
              "\"LastDetVersion\"=\"6.14.10.3090\"\r\n\"ResW1\"=hex(1):38,30,30\r\n\"LoadOnStartup\"=dword:00000001\r\n"
              "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\HZWK\\Sub]\r\n"
              "\"Bin\"=hex:ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,\\\r\n"
              "  ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab\r\n\r\n");
}

TEST(RegFile, MalformedFilesAreRefusedWholeWithTheirLine) {
    const std::string head = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\New]\n\"Early\"=\"x\"\n";
    std::string deepest = "AB";  // as deep as Windows allows; one more cannot be made
    for (size_t i = 1; i < kMaxKeyDepth; ++i) deepest += "\\AB";
    EXPECT_TRUE(Imported("REGEDIT4\n[HKEY_LOCAL_MACHINE\\" + deepest + "]\n\"V\"=\"x\"\n").GetRaw(deepest, "V"));
    const std::pair<std::string, int> cases[] = {
        {"", 1}, {"Windows Registry Editor Version 5.00\r\n", 1}, {"\xff\xfeRE"s, 1}, {"R\0E\0"s, 1},
        {"REGEDIT4\n\"Orphan\"=\"x\"\n", 2}, {head + "[HKEY_LOCAL_MACHINE\\SOFTWARE\n", 4},
        {head + "[HKEY_LOCAL_MASHINE\\SOFTWARE]\n", 4}, {head + "[HKEY_LOCAL_MACHINE\\A\\\\B]\n", 4},
        {head + "[-HKEY_LOCAL_MACHINE]\n", 4}, {head + "[HKEY_LOCAL_MACHINE\\" + deepest + "\\A]\n", 4},
        {head + "\"a\0b\"=\"x\"\n"s, 4}, {head + "\"V\"=\"\\Device\"\n", 4}, {head + "\"V\"=\"open\n", 4},
        {head + "\"V\"=dword:123456789\n", 4}, {head + "\"V\"=dword:\n", 4}, {head + "\"V\"=hex(g):01\n", 4},
        {head + "\"V\"=hex(7:01\n", 4}, {head + "\"V\"=hexx01\n", 4}, {head + "\"V\"=hex:01,,02\n", 4}, {head + "\"V\"=hex:,01\n", 4},
        {head + "\"V\"=hex:123\n", 4}, {head + "\"V\"=hex:1z\n", 4}, {head + "\"V\"=hex: \\\n\n", 5}, {head + "\"V\"=hex:z1\n", 4},
        {head + "\"V\"=hex:01,\\\n  02,\\", 5}, {head + "\"V\"=hex:01,\\\n  02,\\\n  zz\n", 6}, {head + "garbage\n", 4},
        {head + "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\New]\n\"V\"=\"x\"\n", 5},  // a deleted key takes no values
    };
    std::string errors;  // every message, pinned below
    for (const auto& [text, line] : cases) {
        MemoryRegistry reg;
        reg.SetRaw("SOFTWARE\\HZWK", "Kept", kRegSz, "yes"s);
        const MemoryRegistry before = reg;
        std::string error;
        EXPECT_FALSE(ImportRegText(text, reg, &error)) << text;
        EXPECT_EQ(error.rfind("line " + std::to_string(line) + ":", 0), 0u) << text << "\n" << error;
        EXPECT_TRUE(reg.SameContent(before)) << text;  // nothing of the good first lines either
        errors += error + "\n";
    }
    EXPECT_EQ(test::Fnv1a(errors), 0x29ffb78cbd773dfaull) << errors;
}

}  // namespace
}  // namespace hzwk
