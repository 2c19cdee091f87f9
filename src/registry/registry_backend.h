// The registry's backend: the handful of advapi32 registry calls the registry rules rest on,
// with portable types. The Win32 adapter passes them straight to Windows; the in-memory registry
// answers them from its model. Keeping the rules (GetStringValue and friends) on top
// of this one seam means both adapters read and write by the same code, and a test
// can watch exactly what is passed to Windows: sizes, buffers, types.
#pragma once

#include <cstdint>
#include <string>

namespace hzwk {

// An open key; 0 is never a valid handle.
using RegHandle = uintptr_t;

// Windows error codes the layer meets (winerror.h numbering).
enum RegError : long {
    kErrorSuccess = 0,
    kErrorFileNotFound = 2,
    kErrorAccessDenied = 5,
    kErrorInvalidHandle = 6,
    kErrorInvalidParameter = 87,
    kErrorBadPathname = 161,
    kErrorMoreData = 234,
    kErrorNoMoreItems = 259,
    kErrorKeyDeleted = 1018,
};

class RegistryBackend {
public:
    virtual ~RegistryBackend() = default;

    // RegOpenKeyA(HKEY_LOCAL_MACHINE, path, out): open an existing key, default access.
    virtual long OpenKey(const char* path, RegHandle* out) = 0;
    // RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, out).
    virtual long OpenKeyRead(const char* path, RegHandle* out) = 0;
    // RegCreateKeyA(HKEY_LOCAL_MACHINE, path, out): open, creating the key and its parents.
    virtual long CreateKey(const char* path, RegHandle* out) = 0;
    // RegQueryValueExA(key, name, NULL, type, data, size). With data == nullptr only the
    // type and size are asked; otherwise *size is the buffer's size on entry and the
    // value's size on return, and kErrorMoreData means the buffer was too small.
    virtual long QueryValue(RegHandle key, const char* name, uint32_t* type, unsigned char* data,
                            uint32_t* size) = 0;
    // RegSetValueExA(key, name, 0, type, data, size).
    virtual long SetValue(RegHandle key, const char* name, uint32_t type, const unsigned char* data,
                          uint32_t size) = 0;
    // RegDeleteValueA(key, name).
    virtual long DeleteValue(RegHandle key, const char* name) = 0;
    // RegCloseKey(key).
    virtual long CloseKey(RegHandle key) = 0;
    // RegEnumKeyA(key, index, name, size): the index-th subkey's name; kErrorNoMoreItems past the last.
    virtual long EnumKey(RegHandle key, uint32_t index, std::string* name) = 0;
};

}  // namespace hzwk
