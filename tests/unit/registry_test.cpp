// The registry layer: the read and write rules every caller relies on, refused access,
// and what it asks of a Windows that answers oddly.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "registry/registry_rules.h"
#include "profile/memory_registry.h"
#include "registry/settings.h"

namespace hzwk {
namespace {

using namespace std::string_literals;

const char kKey[] = "SOFTWARE\\HZWK";

class RegistryTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(reg.OpenHandles(), 0); }
    MemoryRegistry reg;
    ApiRegistry rules{reg};
};

TEST_F(RegistryTest, ReadsOnlyWhatTheRulesAccept) {
    const struct {
        const char* what;
        uint32_t type;
        std::string bytes;
        std::string asText;  // GetStringValue with default "DEF"
        int32_t asNumber;    // GetDwordValue with default 77
    } cases[] = {
        {"REG_SZ with its NUL", kRegSz, "6.14.10.4109\0"s, "6.14.10.4109", 77},
        {"REG_SZ without NUL", kRegSz, "6.14.10.4109", "6.14.10.4109", 77},
        {"empty REG_SZ", kRegSz, "", "", 77},
        {"REG_SZ with an inner NUL", kRegSz, "ab\0cd\0"s, "ab", 77},
        {"REG_EXPAND_SZ", kRegExpandSz, "%SystemRoot%\0"s, "DEF", 77},
        {"REG_MULTI_SZ", kRegMultiSz, "nv4_disp\0\0"s, "DEF", 77},
        {"REG_BINARY of 4 bytes", kRegBinary, "\x01\0\0\0"s, "DEF", 77},
        {"REG_DWORD 2 (LoadOnStartup not exactly 1)", kRegDword, "\x02\0\0\0"s, "DEF", 2},
        {"REG_DWORD 0x80000000", kRegDword, "\0\0\0\x80"s, "DEF", INT32_MIN},
        {"REG_DWORD of 8 bytes", kRegDword, "\x01\0\0\0\0\0\0\0"s, "DEF", 77},
        {"REG_DWORD of 1 byte (hex(4):01)", kRegDword, "\x01", "DEF", 1},
        {"REG_DWORD of 3 bytes", kRegDword, "\x01\x02\x83", "DEF", 0x830201},
        {"REG_DWORD_BIG_ENDIAN", 5, "\0\0\0\x01"s, "DEF", 77},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        reg.SetRaw(kKey, "Value", c.type, c.bytes);
        EXPECT_EQ(rules.GetStringValue(kKey, "Value", "DEF"), c.asText);
        EXPECT_EQ(rules.GetDwordValue(kKey, "Value", 77), c.asNumber);
    }
    // A missing value or key gives the default.
    EXPECT_EQ(rules.GetStringValue(kKey, "Missing", "6.14.10.3090"), "6.14.10.3090");
    EXPECT_EQ(rules.GetDwordValue("SOFTWARE\\Nowhere", "LoadOnStartup", -5), -5);
}

TEST_F(RegistryTest, NamesAndPathsAreMatchedLikeWindowsMatchesThem) {
    reg.SetRaw("System\\Video\\{GUID}", "Device Description", kRegSz, "NVIDIA GeForce4\0"s);
    EXPECT_EQ(rules.GetStringValue("SYSTEM\\video\\{guid}", "DEVICE DESCRIPTION", ""), "NVIDIA GeForce4");
    rules.SaveStringValue("SYSTEM\\VIDEO\\{GUID}", "device description", "x");
    EXPECT_EQ(reg.SubkeyNames(""), std::vector<std::string>{"System"});  // first spelling kept
    EXPECT_EQ(reg.ValueNames("System\\Video\\{GUID}"), std::vector<std::string>{"Device Description"});

    reg.SetRaw(kKey, "V", kRegSz, "ok\0"s);
    EXPECT_EQ(rules.GetStringValue("SOFTWARE\\HZWK\\", "V", "DEF"), "ok");      // trailing '\'
    EXPECT_EQ(rules.GetStringValue("SOFTWARE\\\\HZWK", "V", "DEF"), "DEF");     // empty part
    EXPECT_EQ(rules.GetStringValue("SOFTWARE\\HZWK\0junk"s, "V", "DEF"), "ok");  // ANSI ends at NUL
    EXPECT_FALSE(rules.SaveStringValue("", "V", "x"));  // the machine root holds no values
}

TEST_F(RegistryTest, WritesStoreExactlyTheirBytesAndCreateMissingKeys) {
    ASSERT_TRUE(rules.SaveStringValue("SOFTWARE\\A\\B", "LastDetVersion", "6.14.10.4109"));
    EXPECT_TRUE(reg.KeyExists("SOFTWARE\\A"));
    EXPECT_EQ(*reg.GetRaw("SOFTWARE\\A\\B", "LastDetVersion"), (RegData{kRegSz, "6.14.10.4109"}));  // no NUL
    ASSERT_TRUE(rules.SaveStringValue(kKey, "ResW1", ""));
    EXPECT_EQ(rules.GetStringValue(kKey, "ResW1", "DEF"), "");

    ASSERT_TRUE(rules.SaveDwordValue(kKey, "N", -2));
    EXPECT_EQ(*reg.GetRaw(kKey, "N"), (RegData{kRegDword, "\xfe\xff\xff\xff"s}));
    ASSERT_TRUE(rules.SaveStringValue(kKey, "N", "1"));  // replaces the type too
    EXPECT_EQ(rules.GetDwordValue(kKey, "N", 0), 0);

    reg.SetRaw(reg::kRunKey, "HZWK", kRegSz, "\"C:\\hzwk.exe\" /startup"s);
    EXPECT_TRUE(rules.DeleteRegValue(reg::kRunKey, "hzwk"));
    EXPECT_FALSE(reg.GetRaw(reg::kRunKey, "HZWK").has_value());
    EXPECT_FALSE(rules.DeleteRegValue(reg::kRunKey, "HZWK"));  // nothing there: no effect
    EXPECT_FALSE(rules.DeleteRegValue("SOFTWARE\\Nowhere\\Run", "HZWK"));
}

TEST_F(RegistryTest, RefusedAccessGivesDefaultsAndChangesNothing) {
    reg.SetRaw(kKey, "S", kRegSz, "text\0"s);
    reg.SetRaw(kKey, "D", kRegDword, "\x01\0\0\0"s);
    reg.FailReads(true);
    EXPECT_EQ(rules.GetStringValue(kKey, "S", "DEF"), "DEF");
    EXPECT_EQ(rules.GetDwordValue(kKey, "D", 9), 9);
    EXPECT_FALSE(rules.QueryRaw(kKey, "S", 255).found);
    reg.FailReads(false);

    const MemoryRegistry before = reg;
    reg.FailWrites(true);
    EXPECT_FALSE(rules.SaveStringValue(kKey, "S", "new"));
    EXPECT_FALSE(rules.SaveStringValue("SOFTWARE\\New\\Key", "S", "new"));
    EXPECT_FALSE(rules.SaveDwordValue(kKey, "D", 2));
    EXPECT_FALSE(rules.DeleteRegValue(kKey, "S"));
    EXPECT_TRUE(reg.SameContent(before));
    EXPECT_EQ(rules.GetStringValue(kKey, "S", ""), "text");  // reads still work
    reg.FailWrites(false);

    // A denied key is closed with everything below it, and only it.
    const std::string device = "SYSTEM\\Services\\nv\\Device0";
    reg.SetRaw(device, "UseCompressedModeFormat", kRegDword, "\x01\0\0\0"s);
    reg.SetRaw("SYSTEM\\Services\\nvx", "V", kRegSz, "sibling\0"s);
    reg.SetRaw("SYSTEM\\Services\\nv", "V", kRegSz, "denied\0"s);
    reg.DenyKey("system\\services\\NV", true);
    EXPECT_EQ(rules.GetStringValue("SYSTEM\\Services\\nv", "V", "DEF"), "DEF");  // the key itself
    EXPECT_EQ(rules.GetDwordValue(device, "UseCompressedModeFormat", 0), 0);
    EXPECT_FALSE(rules.SaveStringValue(device, "NV25_Modes", "{...}"));
    EXPECT_EQ(rules.GetStringValue("SYSTEM\\Services\\nvx", "V", ""), "sibling");
    reg.DenyKey("SYSTEM\\Services\\nv", false);
    EXPECT_EQ(rules.GetDwordValue(device, "UseCompressedModeFormat", 0), 1);
}

// Windows as the registry rules may meet it: it notes how each key is opened, may announce
// more bytes for an ANSI string than it then delivers, may lose a value between the two
// queries or announce a size that must not be allocated, and never ends a subkey list.
class ScriptedApi final : public RegistryBackend {
public:
    std::string opens;
    bool missing = false;  // no key is found
    uint32_t announced = 0;
    std::string delivered;
    bool secondFails = false;
    int queries = 0;

    long OpenKey(const char*, RegHandle* out) override { return Note("open ", out); }
    long OpenKeyRead(const char*, RegHandle* out) override { return Note("read ", out); }
    long CreateKey(const char*, RegHandle* out) override { return Note("create ", out); }
    long QueryValue(RegHandle, const char*, uint32_t* type, unsigned char* data, uint32_t* size) override {
        ++queries;
        *type = kRegSz;
        if (data == nullptr) {
            *size = announced;
            return kErrorSuccess;
        }
        if (secondFails) return kErrorFileNotFound;
        if (delivered.size() > *size) return kErrorMoreData;
        std::copy(delivered.begin(), delivered.end(), data);
        *size = static_cast<uint32_t>(delivered.size());
        return kErrorSuccess;
    }
    long SetValue(RegHandle, const char*, uint32_t, const unsigned char*, uint32_t) override { return 0; }
    long DeleteValue(RegHandle, const char*) override { return kErrorSuccess; }
    long CloseKey(RegHandle) override { return kErrorSuccess; }
    long EnumKey(RegHandle, uint32_t, std::string* name) override {
        *name = "K";
        return kErrorSuccess;
    }

private:
    long Note(const char* how, RegHandle* out) {
        opens += how;
        *out = 1;
        return missing ? kErrorFileNotFound : kErrorSuccess;
    }
};

// Reads and deletes never create a key, there or not; the raw query and the subkey list open
// for reading only, which the monitor keys allow where a full open is refused.
TEST(RegistryRules, ReadsAndDeletesOpenWithoutCreating) {
    for (const bool missing : {false, true}) {
        ScriptedApi api;
        api.missing = missing;
        ApiRegistry rules(api);
        rules.GetStringValue("K", "S", "");
        rules.GetDwordValue("K", "S", 0);
        rules.DeleteRegValue("K", "S");
        rules.QueryRaw("K", "S", 255);
        rules.SubkeyNames("K");
        EXPECT_EQ(api.opens, "open open open read read ") << missing;
    }
}

TEST(RegistryRules, StringReadSurvivesAnUntrustworthySystem) {
    ScriptedApi api;
    api.announced = 24;  // twice the text: the Unicode size
    api.delivered = "6.14.10.4109";
    EXPECT_EQ(ApiRegistry(api).GetStringValue("K", "V", "DEF"), "6.14.10.4109");
    api.secondFails = true;
    EXPECT_EQ(ApiRegistry(api).GetStringValue("K", "V", "DEF"), "DEF");

    ScriptedApi huge;
    huge.announced = 0xFFFFFFFFu;
    EXPECT_EQ(ApiRegistry(huge).GetStringValue("K", "V", "DEF"), "DEF");
    EXPECT_EQ(huge.queries, 1);
    EXPECT_EQ(ApiRegistry(huge).SubkeyNames("K").size(), ApiRegistry::kMaxSubkeys);
}

}  // namespace
}  // namespace hzwk
