#include "registry/win32_registry_backend.h"

#include <windows.h>

namespace hzwk {

namespace {

HKEY ToKey(RegHandle h) { return reinterpret_cast<HKEY>(h); }

// Hands back the key only when the call succeeded.
long Opened(LONG rc, const HKEY& key, RegHandle* out) {
    *out = rc == ERROR_SUCCESS ? reinterpret_cast<RegHandle>(key) : 0;
    return rc;
}

}  // namespace

long Win32RegistryBackend::OpenKey(const char* path, RegHandle* out) {
    HKEY key = nullptr;
    const LONG rc = RegOpenKeyA(HKEY_LOCAL_MACHINE, path, &key);
    return Opened(rc, key, out);
}

long Win32RegistryBackend::OpenKeyRead(const char* path, RegHandle* out) {
    HKEY key = nullptr;
    const LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key);
    return Opened(rc, key, out);
}

long Win32RegistryBackend::CreateKey(const char* path, RegHandle* out) {
    HKEY key = nullptr;
    const LONG rc = RegCreateKeyA(HKEY_LOCAL_MACHINE, path, &key);
    return Opened(rc, key, out);
}

long Win32RegistryBackend::QueryValue(RegHandle key, const char* name, uint32_t* type,
                                      unsigned char* data, uint32_t* size) {
    DWORD t = 0;
    DWORD s = size ? *size : 0;
    const LONG rc = RegQueryValueExA(ToKey(key), name, nullptr, &t, data, size ? &s : nullptr);
    if (type) *type = t;
    if (size) *size = s;
    return rc;
}

long Win32RegistryBackend::SetValue(RegHandle key, const char* name, uint32_t type,
                                    const unsigned char* data, uint32_t size) {
    return RegSetValueExA(ToKey(key), name, 0, type, data, size);
}

long Win32RegistryBackend::DeleteValue(RegHandle key, const char* name) {
    return RegDeleteValueA(ToKey(key), name);
}

long Win32RegistryBackend::CloseKey(RegHandle key) { return RegCloseKey(ToKey(key)); }

long Win32RegistryBackend::EnumKey(RegHandle key, uint32_t index, std::string* name) {
    char buffer[MAX_PATH + 1] = {};  // key names are at most 255 characters
    const LONG rc = RegEnumKeyA(ToKey(key), index, buffer, sizeof buffer);
    if (rc == ERROR_SUCCESS && name) name->assign(buffer);
    return rc;
}

}  // namespace hzwk
