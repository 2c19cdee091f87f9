// registry/: the registry port and its rules over the advapi32 calls. Depends only on core/.
// The program's one way into the registry. Every key lies under HKEY_LOCAL_MACHINE,
// so the root is implied. Reads never fail: a missing key or value, or a value of
// another type, yields the caller's default. Writes report whether they took, for
// the few callers (Apply, Set Defaults, auto-start) that must not claim success.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace hzwk {

// Registry value types, numbered as Windows numbers them.
enum RegType : uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegMultiSz = 7,
};

// Windows keeps key trees at most 512 levels deep.
inline constexpr size_t kMaxKeyDepth = 512;

// A value's type and its bytes exactly as stored (a REG_SZ may or may not end in NUL).
struct RegData {
    uint32_t type = kRegNone;
    std::string bytes;
    bool operator==(const RegData& o) const { return type == o.type && bytes == o.bytes; }
};

// Outcome of a raw fixed-buffer query, as RegQueryValueExA reports it.
struct RawQuery {
    bool keyOpened = false;  // the key could be opened for reading
    bool found = false;      // the query succeeded and `data` holds the value
    bool tooLarge = false;   // the value exists but did not fit the buffer
    bool missing = false;    // the key or the value is not there (any other failure: none of the three)
    uint32_t type = kRegNone;
    uint32_t size = 0;       // bytes the value holds (what the query reported)
    std::string data;        // the bytes copied into the buffer: at most the buffer's size
};

class RegistryAccess {
public:
    virtual ~RegistryAccess() = default;

    virtual std::string GetStringValue(const std::string& key, const std::string& name,
                                       const std::string& defaultText) = 0;
    virtual bool SaveStringValue(const std::string& key, const std::string& name,
                                 const std::string& text) = 0;
    virtual int32_t GetDwordValue(const std::string& key, const std::string& name,
                                  int32_t defaultNumber) = 0;
    virtual bool SaveDwordValue(const std::string& key, const std::string& name,
                                int32_t number) = 0;
    virtual bool DeleteRegValue(const std::string& key, const std::string& name) = 0;

    // Reads a value into a buffer of `bufferSize` bytes without interpreting it
    // (used for the driver's multi-string InstalledDisplayDrivers).
    virtual RawQuery QueryRaw(const std::string& key, const std::string& name,
                              uint32_t bufferSize) = 0;
    // The key's subkeys in the registry's order; empty when the key cannot be read.
    virtual std::vector<std::string> SubkeyNames(const std::string& key) = 0;
    // Writes exactly this type and these bytes (putting a backed-up value back); creates missing keys.
    virtual bool SaveRawValue(const std::string& key, const std::string& name, const RegData& data) = 0;
};

}  // namespace hzwk
