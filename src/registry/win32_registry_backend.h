// The registry on Windows: HKEY_LOCAL_MACHINE through the ANSI advapi32 calls. The rules
// over them are ApiRegistry's: ApiRegistry registry(api) with a Win32RegistryBackend api.
#pragma once

#include "registry/registry_backend.h"

namespace hzwk {

// RegOpenKeyA, RegOpenKeyExA(KEY_READ), RegCreateKeyA, RegQueryValueExA,
// RegSetValueExA, RegDeleteValueA, RegCloseKey and RegEnumKeyA on HKEY_LOCAL_MACHINE.
class Win32RegistryBackend final : public RegistryBackend {
public:
    long OpenKey(const char* path, RegHandle* out) override;
    long OpenKeyRead(const char* path, RegHandle* out) override;
    long CreateKey(const char* path, RegHandle* out) override;
    long QueryValue(RegHandle key, const char* name, uint32_t* type, unsigned char* data,
                    uint32_t* size) override;
    long SetValue(RegHandle key, const char* name, uint32_t type, const unsigned char* data,
                  uint32_t size) override;
    long DeleteValue(RegHandle key, const char* name) override;
    long CloseKey(RegHandle key) override;
    long EnumKey(RegHandle key, uint32_t index, std::string* name) override;
};

}  // namespace hzwk
