// The registry rules of the program, written once over the advapi32 calls of a
// RegistryBackend. Windows (Win32RegistryBackend) and the in-memory registry of profiles and
// tests (MemoryRegistry) both answer those calls, so what a test sees on the in-memory model
// is what Windows gets.
#pragma once

#include "registry/registry_backend.h"
#include "registry/registry_port.h"

namespace hzwk {

class ApiRegistry : public RegistryAccess {
public:
    explicit ApiRegistry(RegistryBackend& api) : api_(api) {}

    // REG_SZ only; the text before the first NUL. Anything else gives the default.
    std::string GetStringValue(const std::string& key, const std::string& name,
                               const std::string& defaultText) override;
    // REG_SZ holding the characters only (no terminating NUL); creates missing keys.
    bool SaveStringValue(const std::string& key, const std::string& name,
                         const std::string& text) override;
    // REG_DWORD of at most 4 bytes (fewer: the high bytes are zero); anything else gives the default.
    int32_t GetDwordValue(const std::string& key, const std::string& name,
                          int32_t defaultNumber) override;
    bool SaveDwordValue(const std::string& key, const std::string& name, int32_t number) override;
    // False when nothing was deleted: no key, no value, or no access.
    bool DeleteRegValue(const std::string& key, const std::string& name) override;
    // Opens with KEY_READ; `data` is filled only when `found` (never when `tooLarge`); `missing`
    // only when Windows answers "not found" for the key or the value.
    RawQuery QueryRaw(const std::string& key, const std::string& name, uint32_t bufferSize) override;
    // Opens with KEY_READ; stops at the first failure and after kMaxSubkeys names.
    std::vector<std::string> SubkeyNames(const std::string& key) override;
    static constexpr uint32_t kMaxSubkeys = 10000;
    bool SaveRawValue(const std::string& key, const std::string& name, const RegData& data) override;

private:
    RegistryBackend& api_;
};

}  // namespace hzwk
