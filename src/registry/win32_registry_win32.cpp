#include "registry/win32_registry.h"

#include <windows.h>

namespace hzwk {

namespace {

HKEY ToKey(RegHandle h) { return reinterpret_cast<HKEY>(h); }

// Hands back the key only when the call succeeded.
long Opened(LONG rc, const HKEY& key, RegHandle* out) {
    *out = rc == ERROR_SUCCESS ? reinterpret_cast<RegHandle>(key) : 0;
    return rc;
}

class Win32RegApi final : public RegApi {
public:
    long OpenKey(const char* path, RegHandle* out) override {
        HKEY key = nullptr;
        const LONG rc = RegOpenKeyA(HKEY_LOCAL_MACHINE, path, &key);
        return Opened(rc, key, out);
    }

    long OpenKeyRead(const char* path, RegHandle* out) override {
        HKEY key = nullptr;
        const LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key);
        return Opened(rc, key, out);
    }

    long CreateKey(const char* path, RegHandle* out) override {
        HKEY key = nullptr;
        const LONG rc = RegCreateKeyA(HKEY_LOCAL_MACHINE, path, &key);
        return Opened(rc, key, out);
    }

    long QueryValue(RegHandle key, const char* name, uint32_t* type, unsigned char* data,
                    uint32_t* size) override {
        DWORD t = 0;
        DWORD s = size ? *size : 0;
        const LONG rc = RegQueryValueExA(ToKey(key), name, nullptr, &t, data, size ? &s : nullptr);
        if (type) *type = t;
        if (size) *size = s;
        return rc;
    }

    long SetValue(RegHandle key, const char* name, uint32_t type, const unsigned char* data,
                  uint32_t size) override {
        return RegSetValueExA(ToKey(key), name, 0, type, data, size);
    }

    long DeleteValue(RegHandle key, const char* name) override {
        return RegDeleteValueA(ToKey(key), name);
    }

    long CloseKey(RegHandle key) override { return RegCloseKey(ToKey(key)); }
};

}  // namespace

std::unique_ptr<RegApi> MakeWin32RegApi() { return std::unique_ptr<RegApi>(new Win32RegApi); }

Win32Registry::Win32Registry() : api_(MakeWin32RegApi()), rules_(*api_) {}
Win32Registry::~Win32Registry() = default;

std::string Win32Registry::GetStringValue(const std::string& key, const std::string& name,
                                          const std::string& defaultText) {
    return rules_.GetStringValue(key, name, defaultText);
}

bool Win32Registry::SaveStringValue(const std::string& key, const std::string& name,
                                    const std::string& text) {
    return rules_.SaveStringValue(key, name, text);
}

int32_t Win32Registry::GetDwordValue(const std::string& key, const std::string& name,
                                     int32_t defaultNumber) {
    return rules_.GetDwordValue(key, name, defaultNumber);
}

bool Win32Registry::SaveDwordValue(const std::string& key, const std::string& name,
                                   int32_t number) {
    return rules_.SaveDwordValue(key, name, number);
}

bool Win32Registry::DeleteRegValue(const std::string& key, const std::string& name) {
    return rules_.DeleteRegValue(key, name);
}

RawQuery Win32Registry::QueryRaw(const std::string& key, const std::string& name,
                                 uint32_t bufferSize) {
    return rules_.QueryRaw(key, name, bufferSize);
}

}  // namespace hzwk
