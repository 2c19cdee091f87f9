// A registry held in memory: the stand-in for HKEY_LOCAL_MACHINE in unit tests and in
// hzwkctl on a machine profile. It models what the program can observe: keys with
// parents, names compared without regard to (ASCII) case but stored as first written,
// typed values kept as raw bytes, and access that can be refused on purpose.
// It answers the advapi32 calls (a RegistryBackend), so the program's registry rules
// (ApiRegistry) run over it exactly as they run over Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "registry/registry_backend.h"
#include "registry/registry_port.h"  // RegData

namespace hzwk {

class MemoryRegistry final : public RegistryBackend {
public:
    // The advapi32 calls, answered from the model. Handles are numbers that stay valid
    // until closed; OpenHandles() counts those not closed yet.
    long OpenKey(const char* path, RegHandle* out) override;
    long OpenKeyRead(const char* path, RegHandle* out) override;
    long CreateKey(const char* path, RegHandle* out) override;
    long QueryValue(RegHandle key, const char* name, uint32_t* type, unsigned char* data,
                    uint32_t* size) override;
    long SetValue(RegHandle key, const char* name, uint32_t type, const unsigned char* data,
                  uint32_t size) override;
    long DeleteValue(RegHandle key, const char* name) override;
    long CloseKey(RegHandle key) override;
    int OpenHandles() const { return static_cast<int>(open_.size()); }

    // Refusals, as an account without the rights would meet them (ERROR_ACCESS_DENIED):
    // reads: every value query; writes: setting and deleting values and creating keys;
    // a denied key: opening or creating it or anything beneath it.
    void FailReads(bool on) { failReads_ = on; }
    void FailWrites(bool on) { failWrites_ = on; }
    void DenyKey(const std::string& path, bool denied);

    // Direct access for tests and tools; the refusals above do not apply.
    // Paths are relative to HKEY_LOCAL_MACHINE, parts separated by '\'; "" is the root.
    // A path with an empty part ("\A", "A\\B") is invalid: nothing is found or made;
    // nor is a key made deeper than kMaxKeyDepth (which also bounds the recursion of copying,
    // comparing, destroying and saving keys).
    bool KeyExists(const std::string& path) const;
    bool CreateKey(const std::string& path);
    bool DeleteKey(const std::string& path);  // with everything beneath it
    bool SetRaw(const std::string& path, const std::string& name, uint32_t type,
                const std::string& bytes);  // creates the key
    std::optional<RegData> GetRaw(const std::string& path, const std::string& name) const;
    bool DeleteRaw(const std::string& path, const std::string& name);
    // Names as stored: subkeys sorted without regard to case, values in creation order.
    std::vector<std::string> SubkeyNames(const std::string& path) const;
    std::vector<std::string> ValueNames(const std::string& path) const;
    void Clear();
    // Takes `from`'s keys and values, keeping this registry's refusals as they are.
    void AssignContent(const MemoryRegistry& from) { root_ = from.root_; }

    // Same keys and values, names spelled alike (case included), same types and bytes.
    bool SameContent(const MemoryRegistry& other) const;

private:

    struct Value {
        std::string name;
        RegData data;
    };
    struct Key {
        std::string name;
        std::vector<Value> values;
        std::vector<Key> subkeys;  // sorted by lower-case name
    };

    static bool SameKey(const Key& a, const Key& b);
    const Key* Find(const std::vector<std::string>& parts) const;
    Key* Find(const std::vector<std::string>& parts);
    Key* Make(const std::vector<std::string>& parts, bool* created);
    bool Denied(const std::vector<std::string>& parts) const;

    Key root_;
    bool failReads_ = false;
    bool failWrites_ = false;
    std::vector<std::vector<std::string>> denied_;  // lower-case parts

    struct Open {
        RegHandle handle;
        std::vector<std::string> parts;
    };
    long Opened(const std::vector<std::string>& parts, RegHandle* out);
    Key* Resolve(RegHandle key);
    std::vector<Open> open_;
    RegHandle next_ = 1;

public:
    // Subkeys in stored order: sorted without regard to case, as Windows returns them.
    long EnumKey(RegHandle key, uint32_t index, std::string* name) override;
};

}  // namespace hzwk
