// The registry layer on Windows: HKEY_LOCAL_MACHINE through the ANSI advapi32 calls.
// The rules themselves are ApiRegistry's; this class only supplies the real calls.
#pragma once

#include <memory>

#include "registry/api_registry.h"
#include "registry/reg_api.h"
#include "registry/registry_access.h"

namespace hzwk {

// RegOpenKeyA, RegOpenKeyExA(KEY_READ), RegCreateKeyA, RegQueryValueExA,
// RegSetValueExA, RegDeleteValueA and RegCloseKey on HKEY_LOCAL_MACHINE.
std::unique_ptr<RegApi> MakeWin32RegApi();

class Win32Registry final : public RegistryAccess {
public:
    Win32Registry();
    ~Win32Registry() override;
    Win32Registry(const Win32Registry&) = delete;
    Win32Registry& operator=(const Win32Registry&) = delete;

    std::string GetStringValue(const std::string& key, const std::string& name,
                               const std::string& defaultText) override;
    bool SaveStringValue(const std::string& key, const std::string& name,
                         const std::string& text) override;
    int32_t GetDwordValue(const std::string& key, const std::string& name,
                          int32_t defaultNumber) override;
    bool SaveDwordValue(const std::string& key, const std::string& name, int32_t number) override;
    bool DeleteRegValue(const std::string& key, const std::string& name) override;
    RawQuery QueryRaw(const std::string& key, const std::string& name, uint32_t bufferSize) override;

private:
    std::unique_ptr<RegApi> api_;
    ApiRegistry rules_;
};

}  // namespace hzwk
