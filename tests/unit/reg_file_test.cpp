// REGEDIT4 files: what regedit's forms import as, byte-exact round trips, and files
// that must be refused whole.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "profile/memory_registry.h"
#include "profile/reg_file.h"
#include "registry/registry_rules.h"

namespace hzwk {
namespace {

using namespace std::string_literals;

const char kDevice[] = "System\\CurrentControlSet\\Control\\Video\\{GUID}\\0000";

MemoryRegistry Imported(const std::string& text) {
    MemoryRegistry reg;
    std::string error;
    EXPECT_TRUE(ImportRegText(text, reg, &error)) << error;
    return reg;
}

// Other roots are skipped, and deletions of keys and values there or not are carried out.
TEST(RegFile, ImportsEachFormAsRegeditDoes) {
    MemoryRegistry reg = Imported(
        "REGEDIT4\r\n"
        "\r\n"
        "; a comment\r\n"
        "[HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\VIDEO]\r\n"
        "\"\\\\Device\\\\Video0\"=\"\\\\Registry\\\\Machine\\\\System\\\\X\"\r\n"
        "\r\n"
        "[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Video\\{GUID}\\0000]\r\n"
        "\"Device Description\"=\"NVIDIA \\\"quoted\\\" GeForce\"\r\n"
        "@=\"unnamed\"\r\n"
        "\"InstalledDisplayDrivers\"=hex(7):6e,76,34,5f,64,69,73,70,00,00\r\n"
        "\"UseCompressedModeFormat\"=dword:00000001\r\n"
        "\"Short\"=DWORD:1F\r\n"
        "\"Blob\"=hex:01,02,\\\r\n"
        "  03,04,\\\r\n"
        "  ff\r\n"
        "\"Nothing\"=hex:\r\n"
        "  \"Indented\" = \"x\"\r\n"
        "\"Gone\"=\"x\"\r\n"
        "[HKEY_CURRENT_USER\\Software\\HZWK]\r\n"
        "\"UserValue\"=\"ignored\"\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Old\\Deep]\r\n"
        "\"V\"=\"x\"\r\n"
        "[-HKEY_CURRENT_USER\\Software\\Gone]\r\n"
        "[hkey_local_machine\\SYSTEM\\CurrentControlSet\\Control\\Video\\{guid}\\0000]\r\n"
        "\"Gone\"=-\r\n"
        "\"NeverThere\"=-\r\n"
        "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Old]\r\n"
        "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\NeverThere]\r\n");

    struct Expect {
        const char* key;
        const char* name;
        std::optional<RegData> data;
    };
    const std::vector<Expect> expected = {
        {"HARDWARE\\DEVICEMAP\\VIDEO", "\\Device\\Video0", RegData{kRegSz, "\\Registry\\Machine\\System\\X\0"s}},
        {kDevice, "Device Description", RegData{kRegSz, "NVIDIA \"quoted\" GeForce\0"s}},
        {kDevice, "", RegData{kRegSz, "unnamed\0"s}},
        {kDevice, "InstalledDisplayDrivers", RegData{kRegMultiSz, "nv4_disp\0\0"s}},
        {kDevice, "UseCompressedModeFormat", RegData{kRegDword, "\x01\0\0\0"s}},
        {kDevice, "Short", RegData{kRegDword, "\x1f\0\0\0"s}},
        {kDevice, "Blob", RegData{kRegBinary, "\x01\x02\x03\x04\xff"s}},
        {kDevice, "Nothing", RegData{kRegBinary, ""}},
        {kDevice, "Indented", RegData{kRegSz, "x\0"s}},
        {kDevice, "Gone", std::nullopt},
        {kDevice, "UserValue", std::nullopt},
    };
    for (const auto& e : expected) EXPECT_EQ(reg.GetRaw(e.key, e.name), e.data) << e.name;
    // A quoted text is imported with its NUL, and reads back as the text.
    EXPECT_EQ(ApiRegistry(reg).GetStringValue(kDevice, "Device Description", ""), "NVIDIA \"quoted\" GeForce");
    EXPECT_EQ(reg.SubkeyNames(""), (std::vector<std::string>{"HARDWARE", "SOFTWARE", "System"}));
    EXPECT_EQ(reg.SubkeyNames("SOFTWARE"), std::vector<std::string>{});
}

TEST(RegFile, MalformedFilesAreRefusedWholeWithTheirLine) {
    struct Bad {
        std::string text;
        std::string mentions;
    };
    const std::string head = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\New]\n\"Early\"=\"x\"\n";
    std::string deepest = "A";  // as deep as Windows allows; one more cannot be made
    for (size_t i = 1; i < kMaxKeyDepth; ++i) deepest += "\\A";
    EXPECT_TRUE(Imported("REGEDIT4\n[HKEY_LOCAL_MACHINE\\" + deepest + "]\n\"V\"=\"x\"\n").GetRaw(deepest, "V"));
    const std::string tooDeep = "[HKEY_LOCAL_MACHINE\\" + deepest + "\\A";
    const std::vector<Bad> cases = {
        {"", "line 1"},
        {"Windows Registry Editor Version 5.00\r\n", "Unicode"},
        {"\xff\xfeR\0E\0"s, "Unicode"},
        {"REGEDIT4\n\"Orphan\"=\"x\"\n", "line 2"},
        {head + "[HKEY_LOCAL_MACHINE\\SOFTWARE\n", "line 4"},
        {head + "[HKEY_LOCAL_MASHINE\\SOFTWARE]\n", "unknown root"},
        {head + "[HKEY_LOCAL_MACHINE\\A\\\\B]\n", "line 4"},
        {head + "[-HKEY_LOCAL_MACHINE]\n", "line 4"},
        {head + tooDeep + "]\n", "line 4"},
        {head + "\"a\0b\"=\"x\"\n"s, "line 4"},
        {head + "\"V\"=\"\\Device\\Video0\"\n", "unknown escape"},
        {head + "\"V\"=\"open\n", "closing quote"},
        {head + "\"V\"=dword:123456789\n", "dword"},
        {head + "\"V\"=hex:01,zz\n", "zz"},
        {head + "\"V\"=hex:01,,02\n", "line 4"},
        {head + "\"V\"=hex:01,\\\n  02,\\", "end of the file"},
        {head + "\"V\"=hex:01,\\\n  02,\\\n  zz\n", "line 6"},
        {head + "garbage\n", "line 4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        MemoryRegistry reg;
        reg.SetRaw("SOFTWARE\\HZWK", "Kept", kRegSz, "yes"s);
        const MemoryRegistry before = reg;
        std::string error;
        EXPECT_FALSE(ImportRegText(c.text, reg, &error));
        EXPECT_NE(error.find(c.mentions), std::string::npos) << error;
        EXPECT_TRUE(reg.SameContent(before));  // nothing of the good first lines either
    }
}

// Names and values whose bytes a plain "text" would not carry exactly (the value forms a
// backup takes are the backup tests' own).
MemoryRegistry AwkwardRegistry() {
    MemoryRegistry reg;
    const std::string k = "SOFTWARE\\HZWK";
    reg.SetRaw(k, "Quotes \"and\" \\slashes\\", kRegSz, "say \"hi\" C:\\x\\\0"s);
    reg.SetRaw(k, "HighBytes", kRegSz, "caf\xe9 \x80\xff\0"s);
    reg.SetRaw(k, "", kRegSz, "the unnamed value\0"s);
    reg.SetRaw(k, "ShortDword", kRegDword, "\x01\x02\x03"s);
    reg.SetRaw(k, "Expand", kRegExpandSz, "%SystemRoot%\0"s);
    reg.SetRaw(k, "OddType", 0x12345678u, "\x01"s);
    std::string everyByte;
    for (int i = 0; i < 256; ++i) everyByte.push_back(char(i));
    reg.SetRaw(kDevice, "NV25_Modes", kRegBinary, everyByte);
    reg.CreateKey("SOFTWARE\\Empty Key\\Below");
    return reg;
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
              "REGEDIT4\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\HZWK]\r\n"
              "\"LastDetVersion\"=\"6.14.10.3090\"\r\n"
              "\"ResW1\"=hex(1):38,30,30\r\n"
              "\"LoadOnStartup\"=dword:00000001\r\n"
              "\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\HZWK\\Sub]\r\n"
              "\"Bin\"=hex:ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,\\\r\n"
              "  ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab\r\n"
              "\r\n");
}

// Values a plain "text" would not carry exactly go to disk and come back byte-exact, and the
// file written again is the same text.
TEST(RegFile, FilesOnDiskRoundTripByteExact) {
    char dir[] = "/tmp/hzwk-regfile-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string path = std::string(dir) + "/registry.reg";
    const MemoryRegistry original = AwkwardRegistry();
    std::string error, text, again;
    ASSERT_TRUE(ExportRegFile(path, original, &error)) << error;
    ASSERT_TRUE(ExportRegFile(path, original, &error)) << error;  // replaces an existing file
    MemoryRegistry loaded;
    ASSERT_TRUE(ImportRegFile(path, loaded, &error)) << error;
    EXPECT_TRUE(loaded.SameContent(original));
    ASSERT_TRUE(ExportRegText(original, &text, &error) && ExportRegText(loaded, &again, &error));
    EXPECT_EQ(again, text);

    EXPECT_FALSE(ImportRegFile(std::string(dir) + "/missing.reg", loaded, &error));
    EXPECT_NE(error.find("missing.reg"), std::string::npos);
    EXPECT_FALSE(ExportRegFile(std::string(dir) + "/no/such/dir/x.reg", original, &error));
    // A name a .reg file cannot hold is reported, and nothing is written.
    MemoryRegistry unwritable;
    unwritable.SetRaw("SOFTWARE\\HZWK", "two\nlines", kRegSz, "x"s);
    EXPECT_FALSE(ExportRegFile(path, unwritable, &error));
    ASSERT_TRUE(ImportRegFile(path, loaded, &error));
    EXPECT_TRUE(loaded.SameContent(original));
    std::remove(path.c_str());
    rmdir(dir);
}

}  // namespace
}  // namespace hzwk
