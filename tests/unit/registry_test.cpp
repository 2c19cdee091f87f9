// The registry layer: the read and write rules every caller relies on, refused access,
// and the exact calls handed to Windows (sizes, buffers, types, handles).
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "registry/api_registry.h"
#include "registry/memory_registry.h"
#include "registry/settings.h"

namespace hzwk {
namespace {

using namespace std::string_literals;

const char kKey[] = "SOFTWARE\\HZWK";

class RegistryTest : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(reg.LeakedHandles(), 0); }
    MemoryRegistry reg;
};

// ---- reading ----

struct StoredValue {
    const char* what;
    uint32_t type;
    std::string bytes;
    std::string asText;  // GetStringValue with default "DEF"
    int32_t asNumber;    // GetDwordValue with default 77
};

TEST_F(RegistryTest, ReadsOnlyWhatTheRulesAccept) {
    const std::vector<StoredValue> cases = {
        {"REG_SZ with its NUL", kRegSz, "6.14.10.4109\0"s, "6.14.10.4109", 77},
        {"REG_SZ without NUL", kRegSz, "6.14.10.4109", "6.14.10.4109", 77},
        {"empty REG_SZ", kRegSz, "", "", 77},
        {"REG_SZ of one NUL", kRegSz, "\0"s, "", 77},
        {"REG_SZ with an inner NUL", kRegSz, "ab\0cd\0"s, "ab", 77},
        {"REG_SZ holding a number", kRegSz, "1\0"s, "1", 77},
        {"REG_EXPAND_SZ", kRegExpandSz, "%SystemRoot%\0"s, "DEF", 77},
        {"REG_MULTI_SZ", kRegMultiSz, "nv4_disp\0\0"s, "DEF", 77},
        {"REG_BINARY of 4 bytes", kRegBinary, "\x01\0\0\0"s, "DEF", 77},
        {"REG_DWORD 1", kRegDword, "\x01\0\0\0"s, "DEF", 1},
        {"REG_DWORD 2 (LoadOnStartup not exactly 1)", kRegDword, "\x02\0\0\0"s, "DEF", 2},
        {"REG_DWORD 0xFFFFFFFF", kRegDword, "\xff\xff\xff\xff"s, "DEF", -1},
        {"REG_DWORD 0x80000000", kRegDword, "\0\0\0\x80"s, "DEF", INT32_MIN},
        {"REG_DWORD of 8 bytes", kRegDword, "\x01\0\0\0\0\0\0\0"s, "DEF", 77},
        {"REG_DWORD of 2 bytes", kRegDword, "\x01\0"s, "DEF", 77},
        {"REG_DWORD_BIG_ENDIAN", 5, "\0\0\0\x01"s, "DEF", 77},
        {"REG_NONE", kRegNone, "", "DEF", 77},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        reg.SetRaw(kKey, "Value", c.type, c.bytes);
        EXPECT_EQ(reg.GetStringValue(kKey, "Value", "DEF"), c.asText);
        EXPECT_EQ(reg.GetDwordValue(kKey, "Value", 77), c.asNumber);
    }
}

TEST_F(RegistryTest, MissingKeyOrValueGivesTheDefault) {
    reg.SetRaw(kKey, "Other", kRegSz, "x\0"s);
    EXPECT_EQ(reg.GetStringValue(kKey, "LastDetVersion", "6.14.10.3090"), "6.14.10.3090");
    EXPECT_EQ(reg.GetStringValue("SOFTWARE\\Nowhere", "Other", ""), "");
    EXPECT_EQ(reg.GetDwordValue(kKey, "LoadOnStartup", 0), 0);
    EXPECT_EQ(reg.GetDwordValue("SOFTWARE\\Nowhere", "LoadOnStartup", -5), -5);
    EXPECT_FALSE(reg.KeyExists("SOFTWARE\\Nowhere"));  // reading creates nothing
}

TEST_F(RegistryTest, NamesIgnoreCaseButKeepTheirFirstSpelling) {
    reg.SetRaw("System\\CurrentControlSet\\Control\\Video\\{GUID}\\0000", "Device Description",
               kRegSz, "NVIDIA GeForce4 Ti 4600\0"s);
    EXPECT_EQ(reg.GetStringValue("SYSTEM\\currentcontrolset\\CONTROL\\video\\{guid}\\0000",
                                 "DEVICE DESCRIPTION", ""),
              "NVIDIA GeForce4 Ti 4600");
    reg.SaveStringValue("SYSTEM\\CURRENTCONTROLSET\\Control\\Video\\{GUID}\\0000",
                        "device description", "x");
    EXPECT_EQ(reg.SubkeyNames(""), std::vector<std::string>{"System"});
    EXPECT_EQ(reg.ValueNames("System\\CurrentControlSet\\Control\\Video\\{GUID}\\0000"),
              std::vector<std::string>{"Device Description"});
}

TEST_F(RegistryTest, KeyPathsAreCheckedLikeWindowsChecksThem) {
    reg.SetRaw(kKey, "V", kRegSz, "ok\0"s);
    EXPECT_EQ(reg.GetStringValue("SOFTWARE\\HZWK\\", "V", "DEF"), "ok");    // trailing '\'
    EXPECT_EQ(reg.GetStringValue("\\SOFTWARE\\HZWK", "V", "DEF"), "DEF");   // leading '\'
    EXPECT_EQ(reg.GetStringValue("SOFTWARE\\\\HZWK", "V", "DEF"), "DEF");   // empty part
    EXPECT_EQ(reg.GetStringValue("SOFTWARE\\HZWK\0junk"s, "V", "DEF"), "ok");  // ANSI text ends at NUL
    EXPECT_FALSE(reg.SaveStringValue("SOFTWARE\\\\HZWK", "V", "x"));
    EXPECT_FALSE(reg.SaveStringValue("", "V", "x"));  // the machine root holds no values
    EXPECT_EQ(reg.SubkeyNames("SOFTWARE"), std::vector<std::string>{"HZWK"});
}

// ---- writing ----

TEST_F(RegistryTest, SaveStringValueStoresTheCharactersWithoutNul) {
    ASSERT_TRUE(reg.SaveStringValue(kKey, "LastDetVersion", "6.14.10.4109"));
    const auto raw = reg.GetRaw(kKey, "LastDetVersion");
    ASSERT_TRUE(raw.has_value());
    EXPECT_EQ(raw->type, uint32_t(kRegSz));
    EXPECT_EQ(raw->bytes, "6.14.10.4109");
    EXPECT_EQ(reg.GetStringValue(kKey, "LastDetVersion", ""), "6.14.10.4109");

    ASSERT_TRUE(reg.SaveStringValue(kKey, "ResW1", ""));
    EXPECT_EQ(reg.GetRaw(kKey, "ResW1")->bytes, "");
    EXPECT_EQ(reg.GetStringValue(kKey, "ResW1", "DEF"), "");
}

TEST_F(RegistryTest, SaveStringValueCreatesMissingParentsAndReplacesOtherTypes) {
    const std::string deep = "SOFTWARE\\A\\B\\C";
    ASSERT_TRUE(reg.SaveStringValue(deep, "V", "x"));
    EXPECT_TRUE(reg.KeyExists("SOFTWARE\\A"));
    EXPECT_TRUE(reg.KeyExists("SOFTWARE\\A\\B"));
    EXPECT_TRUE(reg.KeyExists(deep));

    reg.SetRaw(kKey, "LoadOnStartup", kRegDword, "\x01\0\0\0"s);
    ASSERT_TRUE(reg.SaveStringValue(kKey, "LoadOnStartup", "1"));
    EXPECT_EQ(reg.GetRaw(kKey, "LoadOnStartup")->type, uint32_t(kRegSz));
    EXPECT_EQ(reg.GetDwordValue(kKey, "LoadOnStartup", 0), 0);
}

TEST_F(RegistryTest, SaveDwordValueStoresFourLittleEndianBytes) {
    ASSERT_TRUE(reg.SaveDwordValue(kKey, "LoadOnStartup", 1));
    EXPECT_EQ(*reg.GetRaw(kKey, "LoadOnStartup"), (RegData{kRegDword, "\x01\0\0\0"s}));
    ASSERT_TRUE(reg.SaveDwordValue(kKey, "N", -2));
    EXPECT_EQ(reg.GetRaw(kKey, "N")->bytes, "\xfe\xff\xff\xff"s);
    EXPECT_EQ(reg.GetDwordValue(kKey, "N", 0), -2);
}

TEST_F(RegistryTest, DeleteRegValueRemovesOnlyWhatIsThere) {
    reg.SetRaw(reg::kRunKey, "HZWK", kRegSz, "\"C:\\hzwk.exe\" /startup"s);
    reg.SetRaw(reg::kRunKey, "Other", kRegSz, "x"s);
    EXPECT_TRUE(reg.DeleteRegValue(reg::kRunKey, "hzwk"));
    EXPECT_FALSE(reg.GetRaw(reg::kRunKey, "HZWK").has_value());
    EXPECT_TRUE(reg.GetRaw(reg::kRunKey, "Other").has_value());

    // Nothing to delete: no effect, reported as not done, and no key appears.
    EXPECT_FALSE(reg.DeleteRegValue(reg::kRunKey, "HZWK"));
    EXPECT_FALSE(reg.DeleteRegValue("SOFTWARE\\Nowhere\\Run", "HZWK"));
    EXPECT_FALSE(reg.KeyExists("SOFTWARE\\Nowhere"));
}

// ---- the raw multi-string read ----

TEST_F(RegistryTest, QueryRawReportsLikeAFixedBufferQuery) {
    const std::string key = "System\\Video\\0000";
    reg.SetRaw(key, "InstalledDisplayDrivers", kRegMultiSz, "nv4_disp\0\0"s);
    reg.SetRaw(key, "Exactly255", kRegBinary, std::string(255, 'a'));
    reg.SetRaw(key, "Long", kRegMultiSz, std::string(300, 'b'));
    reg.SetRaw(key, "Empty", kRegMultiSz, "");

    RawQuery q = reg.QueryRaw(key, "InstalledDisplayDrivers", 255);
    EXPECT_TRUE(q.keyOpened && q.found && !q.tooLarge);
    EXPECT_EQ(q.type, uint32_t(kRegMultiSz));
    EXPECT_EQ(q.size, 10u);
    EXPECT_EQ(q.data, "nv4_disp\0\0"s);

    q = reg.QueryRaw(key, "Exactly255", 255);
    EXPECT_TRUE(q.found);
    EXPECT_EQ(q.data.size(), 255u);

    q = reg.QueryRaw(key, "Long", 255);
    EXPECT_TRUE(q.keyOpened && !q.found && q.tooLarge);
    EXPECT_EQ(q.type, uint32_t(kRegMultiSz));
    EXPECT_EQ(q.size, 300u);
    EXPECT_TRUE(q.data.empty());

    q = reg.QueryRaw(key, "Empty", 0);  // a zero-sized buffer is still a buffer
    EXPECT_TRUE(q.found);
    EXPECT_EQ(q.size, 0u);
    q = reg.QueryRaw(key, "InstalledDisplayDrivers", 0);
    EXPECT_TRUE(q.tooLarge);
    EXPECT_EQ(q.size, 10u);

    q = reg.QueryRaw(key, "Missing", 255);
    EXPECT_TRUE(q.keyOpened);
    EXPECT_FALSE(q.found || q.tooLarge);
    EXPECT_EQ(q.type, uint32_t(kRegNone));

    q = reg.QueryRaw("System\\Video\\0001", "InstalledDisplayDrivers", 255);
    EXPECT_FALSE(q.keyOpened || q.found || q.tooLarge);
}

// ---- refused access ----

TEST_F(RegistryTest, RefusedReadsGiveDefaults) {
    reg.SetRaw(kKey, "S", kRegSz, "text\0"s);
    reg.SetRaw(kKey, "D", kRegDword, "\x01\0\0\0"s);
    reg.FailReads(true);
    EXPECT_EQ(reg.GetStringValue(kKey, "S", "DEF"), "DEF");
    EXPECT_EQ(reg.GetDwordValue(kKey, "D", 9), 9);
    const RawQuery q = reg.QueryRaw(kKey, "S", 255);
    EXPECT_TRUE(q.keyOpened);
    EXPECT_FALSE(q.found || q.tooLarge);
    reg.FailReads(false);
    EXPECT_EQ(reg.GetStringValue(kKey, "S", "DEF"), "text");
}

TEST_F(RegistryTest, RefusedWritesChangeNothingAndSaySo) {
    reg.SetRaw(kKey, "S", kRegSz, "old"s);
    const MemoryRegistry before = reg;
    reg.FailWrites(true);
    EXPECT_FALSE(reg.SaveStringValue(kKey, "S", "new"));
    EXPECT_FALSE(reg.SaveStringValue("SOFTWARE\\New\\Key", "S", "new"));
    EXPECT_FALSE(reg.SaveDwordValue(kKey, "D", 1));
    EXPECT_FALSE(reg.DeleteRegValue(kKey, "S"));
    EXPECT_TRUE(reg.SameContent(before));
    EXPECT_EQ(reg.GetStringValue(kKey, "S", ""), "old");  // reads still work
    reg.FailWrites(false);
    EXPECT_TRUE(reg.SaveStringValue(kKey, "S", "new"));
}

TEST_F(RegistryTest, ADeniedKeyIsClosedWithEverythingBelowIt) {
    const std::string device = "SYSTEM\\CurrentControlSet\\Services\\nv\\Device0";
    reg.SetRaw(device, "UseCompressedModeFormat", kRegDword, "\x01\0\0\0"s);
    reg.SetRaw(device + "\\Sub", "V", kRegSz, "x\0"s);
    reg.SetRaw("SYSTEM\\CurrentControlSet\\Services\\nvx", "V", kRegSz, "sibling\0"s);
    reg.DenyKey("system\\currentcontrolset\\services\\NV", true);

    EXPECT_EQ(reg.GetDwordValue(device, "UseCompressedModeFormat", 0), 0);
    EXPECT_EQ(reg.GetStringValue(device + "\\Sub", "V", "DEF"), "DEF");
    EXPECT_FALSE(reg.QueryRaw(device, "UseCompressedModeFormat", 255).keyOpened);
    EXPECT_FALSE(reg.SaveStringValue(device, "NV25_Modes", "{...}"));
    EXPECT_FALSE(reg.DeleteRegValue(device, "UseCompressedModeFormat"));
    EXPECT_EQ(reg.GetStringValue("SYSTEM\\CurrentControlSet\\Services\\nvx", "V", ""), "sibling");

    reg.DenyKey("SYSTEM\\CurrentControlSet\\Services\\nv", false);
    EXPECT_EQ(reg.GetDwordValue(device, "UseCompressedModeFormat", 0), 1);
}

// ---- what reaches Windows ----

// Passes every call on to the in-memory calls and notes what it was given.
class RecordingApi final : public RegApi {
public:
    explicit RecordingApi(MemoryRegistry& reg) : inner_(reg) {}
    std::vector<std::string> calls;
    std::vector<uint32_t> sizesOnEntry;      // QueryValue's *size as passed in
    std::vector<std::string> buffersOnEntry;  // QueryValue's buffer as passed in ("null" if none)
    uint32_t setType = 0;
    std::string setBytes;
    uint32_t setSize = 0;
    int opened = 0, closed = 0;

    long OpenKey(const char* path, RegHandle* out) override {
        calls.push_back("RegOpenKeyA " + std::string(path));
        const long rc = inner_.OpenKey(path, out);
        return Count(rc, *out);
    }
    long OpenKeyRead(const char* path, RegHandle* out) override {
        calls.push_back("RegOpenKeyExA KEY_READ " + std::string(path));
        const long rc = inner_.OpenKeyRead(path, out);
        return Count(rc, *out);
    }
    long CreateKey(const char* path, RegHandle* out) override {
        calls.push_back("RegCreateKeyA " + std::string(path));
        const long rc = inner_.CreateKey(path, out);
        return Count(rc, *out);
    }
    long QueryValue(RegHandle key, const char* name, uint32_t* type, unsigned char* data,
                    uint32_t* size) override {
        calls.push_back("RegQueryValueExA " + std::string(name));
        sizesOnEntry.push_back(size ? *size : 0xDEAD);
        buffersOnEntry.push_back(data ? std::string(reinterpret_cast<char*>(data), *size) : "null");
        return inner_.QueryValue(key, name, type, data, size);
    }
    long SetValue(RegHandle key, const char* name, uint32_t type, const unsigned char* data,
                  uint32_t size) override {
        calls.push_back("RegSetValueExA " + std::string(name));
        setType = type;
        setSize = size;
        setBytes.assign(reinterpret_cast<const char*>(data), size);
        return inner_.SetValue(key, name, type, data, size);
    }
    long DeleteValue(RegHandle key, const char* name) override {
        calls.push_back("RegDeleteValueA " + std::string(name));
        return inner_.DeleteValue(key, name);
    }
    long CloseKey(RegHandle key) override {
        calls.push_back("RegCloseKey");
        ++closed;
        return inner_.CloseKey(key);
    }

private:
    long Count(long rc, RegHandle h) {
        if (rc == kErrorSuccess && h != 0) ++opened;
        return rc;
    }
    MemoryRegApi inner_;
};

TEST_F(RegistryTest, StringWriteCountsNoTerminatingNul) {
    RecordingApi api(reg);
    EXPECT_TRUE(ApiRegistry(api).SaveStringValue(kKey, "LastDetVersion", "6.14.10.4109"));
    EXPECT_EQ(api.calls, (std::vector<std::string>{"RegCreateKeyA SOFTWARE\\HZWK",
                                                   "RegSetValueExA LastDetVersion", "RegCloseKey"}));
    EXPECT_EQ(api.setType, uint32_t(kRegSz));
    EXPECT_EQ(api.setSize, 12u);
    EXPECT_EQ(api.setBytes, "6.14.10.4109");
}

TEST_F(RegistryTest, StringReadAsksTheSizeThenFillsASpaceFilledBuffer) {
    reg.SetRaw(kKey, "ResW1", kRegSz, "800\0"s);
    RecordingApi api(reg);
    EXPECT_EQ(ApiRegistry(api).GetStringValue(kKey, "ResW1", ""), "800");
    EXPECT_EQ(api.calls, (std::vector<std::string>{"RegOpenKeyA SOFTWARE\\HZWK",
                                                   "RegQueryValueExA ResW1",
                                                   "RegQueryValueExA ResW1", "RegCloseKey"}));
    ASSERT_EQ(api.buffersOnEntry.size(), 2u);
    EXPECT_EQ(api.buffersOnEntry[0], "null");
    EXPECT_EQ(api.sizesOnEntry[1], 4u);
    EXPECT_EQ(api.buffersOnEntry[1], "    ");
}

TEST_F(RegistryTest, DwordReadUsesAFourByteBuffer) {
    reg.SetRaw(kKey, "LoadOnStartup", kRegDword, "\x01\0\0\0"s);
    RecordingApi api(reg);
    EXPECT_EQ(ApiRegistry(api).GetDwordValue(kKey, "LoadOnStartup", 0), 1);
    ASSERT_EQ(api.sizesOnEntry.size(), 1u);
    EXPECT_EQ(api.sizesOnEntry[0], 4u);
    EXPECT_NE(api.buffersOnEntry[0], "null");

    RecordingApi write(reg);
    ApiRegistry(write).SaveDwordValue(kKey, "LoadOnStartup", 1);
    EXPECT_EQ(write.setType, uint32_t(kRegDword));
    EXPECT_EQ(write.setSize, 4u);
}

TEST_F(RegistryTest, ReadsAndDeletesOpenWithoutCreatingAndEveryOpenIsClosed) {
    reg.SetRaw(kKey, "S", kRegSz, "x"s);
    RecordingApi api(reg);
    ApiRegistry rules(api);
    rules.GetStringValue(kKey, "S", "");
    rules.GetStringValue("SOFTWARE\\Missing", "S", "");
    rules.GetDwordValue(kKey, "S", 0);
    rules.DeleteRegValue("SOFTWARE\\Missing", "S");
    rules.DeleteRegValue(kKey, "S");
    rules.QueryRaw(kKey, "S", 255);
    rules.QueryRaw("SOFTWARE\\Missing", "S", 255);
    rules.SaveStringValue(kKey, "S", "y");
    std::vector<std::string> creates;
    for (const auto& call : api.calls)
        if (call.rfind("RegCreateKeyA", 0) == 0) creates.push_back(call);
    EXPECT_EQ(creates, std::vector<std::string>{"RegCreateKeyA SOFTWARE\\HZWK"});
    EXPECT_EQ(api.opened, api.closed);
    EXPECT_FALSE(reg.KeyExists("SOFTWARE\\Missing"));
    EXPECT_NE(std::find(api.calls.begin(), api.calls.end(), "RegOpenKeyExA KEY_READ SOFTWARE\\HZWK"),
              api.calls.end());
}

// Windows may announce more bytes for an ANSI string than it then delivers, a value may
// vanish between the two queries, and a broken size must not make us allocate gigabytes.
class ScriptedApi final : public RegApi {
public:
    uint32_t announced = 0;
    std::string delivered;
    bool secondFails = false;
    int queries = 0;

    long OpenKey(const char*, RegHandle* out) override { *out = 1; return kErrorSuccess; }
    long OpenKeyRead(const char*, RegHandle* out) override { *out = 1; return kErrorSuccess; }
    long CreateKey(const char*, RegHandle* out) override { *out = 1; return kErrorSuccess; }
    long QueryValue(RegHandle, const char*, uint32_t* type, unsigned char* data,
                    uint32_t* size) override {
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
    long SetValue(RegHandle, const char*, uint32_t, const unsigned char*, uint32_t) override {
        return kErrorSuccess;
    }
    long DeleteValue(RegHandle, const char*) override { return kErrorSuccess; }
    long CloseKey(RegHandle) override { return kErrorSuccess; }
};

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
}

}  // namespace
}  // namespace hzwk
