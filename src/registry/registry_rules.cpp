#include "registry/registry_rules.h"

#include <algorithm>
#include <limits>
#include <new>
#include <vector>

namespace hzwk {

namespace {

// No text the program reads comes near this; a larger announced size is not believed.
constexpr uint32_t kMaxTextBytes = 64u << 20;

// Closes the key on every way out of an operation: no handle outlives a call.
class OpenedKey {
public:
    explicit OpenedKey(RegistryBackend& api) : api_(api) {}
    ~OpenedKey() {
        if (handle_ != 0) api_.CloseKey(handle_);
    }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;

    RegHandle* out() { return &handle_; }
    RegHandle get() const { return handle_; }
    bool ok() const { return handle_ != 0; }

private:
    RegistryBackend& api_;
    RegHandle handle_ = 0;
};

// A failed open that still handed back a handle is closed by the guard all the same.
bool Open(const OpenedKey& key, long rc) { return rc == kErrorSuccess && key.ok(); }

}  // namespace

std::string ApiRegistry::GetStringValue(const std::string& key, const std::string& name,
                                        const std::string& defaultText) {
    OpenedKey hkey(api_);
    if (!Open(hkey, api_.OpenKey(key.c_str(), hkey.out()))) return defaultText;

    uint32_t type = kRegNone;
    uint32_t size = 0;
    if (api_.QueryValue(hkey.get(), name.c_str(), &type, nullptr, &size) != kErrorSuccess ||
        type != kRegSz) {
        return defaultText;
    }
    if (size == 0) return std::string();
    if (size > kMaxTextBytes) return defaultText;

    std::string buffer;
    try {
        buffer.assign(size, ' ');
    } catch (const std::bad_alloc&) {
        return defaultText;
    }
    uint32_t filled = size;
    uint32_t typeAgain = kRegNone;
    if (api_.QueryValue(hkey.get(), name.c_str(), &typeAgain,
                        reinterpret_cast<unsigned char*>(&buffer[0]), &filled) != kErrorSuccess) {
        // The value changed between the two queries; the buffer holds nothing reliable.
        return defaultText;
    }
    // Windows may announce more bytes than an ANSI read delivers; never show the padding.
    buffer.resize(std::min(filled, size));
    return buffer.substr(0, buffer.find('\0'));
}

bool ApiRegistry::SaveStringValue(const std::string& key, const std::string& name,
                                  const std::string& text) {
    // The characters only: the stored size counts no terminating NUL.
    return SaveRawValue(key, name, RegData{kRegSz, text});
}

int32_t ApiRegistry::GetDwordValue(const std::string& key, const std::string& name,
                                   int32_t defaultNumber) {
    OpenedKey hkey(api_);
    if (!Open(hkey, api_.OpenKey(key.c_str(), hkey.out()))) return defaultNumber;

    unsigned char buffer[4] = {0, 0, 0, 0};
    uint32_t size = sizeof buffer;
    uint32_t type = kRegNone;
    // A longer value does not fit: the query fails and the default stands.
    if (api_.QueryValue(hkey.get(), name.c_str(), &type, buffer, &size) != kErrorSuccess ||
        type != kRegDword || size > sizeof buffer) {
        return defaultNumber;
    }
    // A shorter one (hex(4):01, as hand-made .reg files store a flag) is the number its bytes
    // give, little-endian, the missing high bytes zero.
    uint32_t number = 0;
    for (uint32_t i = 0; i < size; ++i) number |= uint32_t(buffer[i]) << (8 * i);
    return static_cast<int32_t>(number);
}

bool ApiRegistry::SaveDwordValue(const std::string& key, const std::string& name,
                                 int32_t number) {
    const uint32_t n = static_cast<uint32_t>(number);
    const char bytes[4] = {static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16),
                           static_cast<char>(n >> 24)};
    return SaveRawValue(key, name, RegData{kRegDword, std::string(bytes, sizeof bytes)});
}

bool ApiRegistry::DeleteRegValue(const std::string& key, const std::string& name) {
    OpenedKey hkey(api_);
    if (!Open(hkey, api_.OpenKey(key.c_str(), hkey.out()))) return false;
    return api_.DeleteValue(hkey.get(), name.c_str()) == kErrorSuccess;
}

RawQuery ApiRegistry::QueryRaw(const std::string& key, const std::string& name,
                               uint32_t bufferSize) {
    RawQuery result;
    OpenedKey hkey(api_);
    const long opened = api_.OpenKeyRead(key.c_str(), hkey.out());
    if (!Open(hkey, opened)) {
        result.missing = opened == kErrorFileNotFound;
        return result;
    }
    result.keyOpened = true;

    std::vector<unsigned char> buffer;
    try {
        // One byte more than asked so that a zero-sized buffer is still a real pointer:
        // a null one would turn the query into a size-only question.
        buffer.assign(size_t(bufferSize) + 1, 0);
    } catch (const std::bad_alloc&) {
        return result;
    }
    uint32_t size = bufferSize;
    uint32_t type = kRegNone;
    const long rc = api_.QueryValue(hkey.get(), name.c_str(), &type, buffer.data(), &size);
    if (rc == kErrorSuccess) {
        result.found = true;
        result.type = type;
        result.size = size;
        result.data.assign(reinterpret_cast<const char*>(buffer.data()), std::min(size, bufferSize));
    } else if (rc == kErrorMoreData) {
        result.tooLarge = true;
        result.type = type;
        result.size = size;
    } else {
        result.missing = rc == kErrorFileNotFound;
    }
    return result;
}

std::vector<std::string> ApiRegistry::SubkeyNames(const std::string& key) {
    std::vector<std::string> names;
    OpenedKey hkey(api_);
    if (!Open(hkey, api_.OpenKeyRead(key.c_str(), hkey.out()))) return names;
    // Bounded, so that a registry that never says "no more" cannot hold up the start.
    for (uint32_t i = 0; i < kMaxSubkeys; ++i) {
        std::string name;
        if (api_.EnumKey(hkey.get(), i, &name) != kErrorSuccess) break;
        names.push_back(std::move(name));
    }
    return names;
}

bool ApiRegistry::SaveRawValue(const std::string& key, const std::string& name, const RegData& data) {
    if (data.bytes.size() > std::numeric_limits<uint32_t>::max()) return false;
    OpenedKey hkey(api_);
    if (!Open(hkey, api_.CreateKey(key.c_str(), hkey.out()))) return false;
    return api_.SetValue(hkey.get(), name.c_str(), data.type,
                         reinterpret_cast<const unsigned char*>(data.bytes.data()),
                         static_cast<uint32_t>(data.bytes.size())) == kErrorSuccess;
}

}  // namespace hzwk
