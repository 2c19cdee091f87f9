#include "profile/memory_registry.h"

#include <algorithm>

#include "core/text.h"

namespace hzwk {

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

std::string Lower(const std::string& s) {
    std::string out(s);
    for (char& c : out) c = LowerAscii(c);
    return out;
}

// Splits a key path into its parts. One trailing '\' is tolerated, as Windows does;
// an empty part anywhere else makes the path invalid.
bool SplitPath(const std::string& path, std::vector<std::string>* parts) {
    parts->clear();
    if (path.empty()) return true;
    size_t start = 0;
    while (true) {
        const size_t end = path.find('\\', start);
        const std::string part = path.substr(start, end == std::string::npos ? end : end - start);
        if (end == std::string::npos) {
            if (part.empty()) return !parts->empty();  // "A\" is A; "" was handled above
            parts->push_back(part);
            return true;
        }
        if (part.empty()) return false;
        parts->push_back(part);
        start = end + 1;
    }
}

// The subkey or value of that name, compared without regard to case; end() when none.
template <class Items>
auto Named(Items& items, const std::string& name) {
    return std::find_if(items.begin(), items.end(), [&](const auto& i) { return SameNoCase(i.name, name); });
}

template <class Items>
bool EraseNamed(Items& items, const std::string& name) {
    const auto it = Named(items, name);
    if (it == items.end()) return false;
    items.erase(it);
    return true;
}

// Sets the value of that name, or adds it after the others under the name as given.
template <class Values>
void PutValue(Values& values, const std::string& name, RegData data) {
    const auto it = Named(values, name);
    if (it != values.end()) it->data = std::move(data);
    else values.push_back({name, std::move(data)});
}

std::vector<std::string> LowerParts(const std::vector<std::string>& parts) {
    std::vector<std::string> out;
    out.reserve(parts.size());
    for (const auto& p : parts) out.push_back(Lower(p));
    return out;
}

}  // namespace

void MemoryRegistry::DenyKey(const std::string& path, bool denied) {
    std::vector<std::string> parts;
    if (!SplitPath(path, &parts)) return;
    parts = LowerParts(parts);
    denied_.erase(std::remove(denied_.begin(), denied_.end(), parts), denied_.end());
    if (denied) denied_.push_back(parts);
}

bool MemoryRegistry::Denied(const std::vector<std::string>& parts) const {
    const std::vector<std::string> lower = LowerParts(parts);
    for (const auto& d : denied_) {
        if (d.size() <= lower.size() && std::equal(d.begin(), d.end(), lower.begin())) return true;
    }
    return false;
}

const MemoryRegistry::Key* MemoryRegistry::Find(const std::vector<std::string>& parts) const {
    const Key* key = &root_;
    for (const auto& part : parts) {
        const auto it = Named(key->subkeys, part);
        if (it == key->subkeys.end()) return nullptr;
        key = &*it;
    }
    return key;
}

MemoryRegistry::Key* MemoryRegistry::Find(const std::vector<std::string>& parts) {
    return const_cast<Key*>(static_cast<const MemoryRegistry*>(this)->Find(parts));
}

MemoryRegistry::Key* MemoryRegistry::Make(const std::vector<std::string>& parts, bool* created) {
    if (created) *created = false;
    if (parts.size() > kMaxKeyDepth) return nullptr;
    Key* key = &root_;
    for (const auto& part : parts) {
        const std::string lower = Lower(part);
        auto it = std::lower_bound(key->subkeys.begin(), key->subkeys.end(), lower,
                                   [](const Key& k, const std::string& l) { return Lower(k.name) < l; });
        if (it == key->subkeys.end() || Lower(it->name) != lower) {
            Key fresh;
            fresh.name = part;
            it = key->subkeys.insert(it, std::move(fresh));
            if (created) *created = true;
        }
        key = &*it;
    }
    return key;
}

bool MemoryRegistry::KeyExists(const std::string& path) const {
    std::vector<std::string> parts;
    return SplitPath(path, &parts) && Find(parts) != nullptr;
}

bool MemoryRegistry::CreateKey(const std::string& path) {
    std::vector<std::string> parts;
    return SplitPath(path, &parts) && Make(parts, nullptr) != nullptr;
}

bool MemoryRegistry::DeleteKey(const std::string& path) {
    std::vector<std::string> parts;
    if (!SplitPath(path, &parts) || parts.empty()) return false;
    const std::string last = parts.back();
    parts.pop_back();
    Key* parent = Find(parts);
    return parent != nullptr && EraseNamed(parent->subkeys, last);
}

bool MemoryRegistry::SetRaw(const std::string& path, const std::string& name, uint32_t type,
                            const std::string& bytes) {
    std::vector<std::string> parts;
    if (!SplitPath(path, &parts)) return false;
    Key* key = Make(parts, nullptr);
    if (key == nullptr) return false;
    PutValue(key->values, name, RegData{type, bytes});
    return true;
}

std::optional<RegData> MemoryRegistry::GetRaw(const std::string& path,
                                              const std::string& name) const {
    std::vector<std::string> parts;
    if (!SplitPath(path, &parts)) return std::nullopt;
    const Key* key = Find(parts);
    if (key == nullptr) return std::nullopt;
    const auto it = Named(key->values, name);
    if (it == key->values.end()) return std::nullopt;
    return it->data;
}

bool MemoryRegistry::DeleteRaw(const std::string& path, const std::string& name) {
    std::vector<std::string> parts;
    if (!SplitPath(path, &parts)) return false;
    Key* key = Find(parts);
    return key != nullptr && EraseNamed(key->values, name);
}

std::vector<std::string> MemoryRegistry::SubkeyNames(const std::string& path) const {
    std::vector<std::string> parts, names;
    if (!SplitPath(path, &parts)) return names;
    if (const Key* key = Find(parts))
        for (const Key& sub : key->subkeys) names.push_back(sub.name);
    return names;
}

std::vector<std::string> MemoryRegistry::ValueNames(const std::string& path) const {
    std::vector<std::string> parts, names;
    if (!SplitPath(path, &parts)) return names;
    if (const Key* key = Find(parts))
        for (const Value& v : key->values) names.push_back(v.name);
    return names;
}

void MemoryRegistry::Clear() { root_ = Key(); }

bool MemoryRegistry::SameKey(const Key& a, const Key& b) {
    if (a.name != b.name || a.values.size() != b.values.size() ||
        a.subkeys.size() != b.subkeys.size()) {
        return false;
    }
    for (size_t i = 0; i < a.values.size(); ++i)
        if (a.values[i].name != b.values[i].name || !(a.values[i].data == b.values[i].data))
            return false;
    for (size_t i = 0; i < a.subkeys.size(); ++i)
        if (!SameKey(a.subkeys[i], b.subkeys[i])) return false;
    return true;
}

bool MemoryRegistry::SameContent(const MemoryRegistry& other) const {
    return SameKey(root_, other.root_);
}

// ---- the advapi32 calls, in memory ----

long MemoryRegistry::Opened(const std::vector<std::string>& parts, RegHandle* out) {
    open_.push_back(Open{next_, parts});
    *out = next_++;
    return kErrorSuccess;
}

MemoryRegistry::Key* MemoryRegistry::Resolve(RegHandle key) {
    for (const Open& o : open_)
        if (o.handle == key) return Find(o.parts);
    return nullptr;
}

long MemoryRegistry::OpenKey(const char* path, RegHandle* out) {
    if (out == nullptr) return kErrorInvalidParameter;
    *out = 0;
    std::vector<std::string> parts;
    if (!SplitPath(path ? path : "", &parts)) return kErrorBadPathname;
    if (Denied(parts)) return kErrorAccessDenied;
    if (Find(parts) == nullptr) return kErrorFileNotFound;
    return Opened(parts, out);
}

long MemoryRegistry::OpenKeyRead(const char* path, RegHandle* out) { return OpenKey(path, out); }

long MemoryRegistry::CreateKey(const char* path, RegHandle* out) {
    if (out == nullptr) return kErrorInvalidParameter;
    *out = 0;
    std::vector<std::string> parts;
    if (!SplitPath(path ? path : "", &parts) || parts.size() > kMaxKeyDepth) return kErrorBadPathname;
    if (Denied(parts)) return kErrorAccessDenied;
    // Without write access an existing key still opens (for reading); a new one cannot be made.
    if (failWrites_ && Find(parts) == nullptr) return kErrorAccessDenied;
    Make(parts, nullptr);
    return Opened(parts, out);
}

long MemoryRegistry::QueryValue(RegHandle key, const char* name, uint32_t* type,
                              unsigned char* data, uint32_t* size) {
    Key* k = Resolve(key);
    if (k == nullptr) return key == 0 ? kErrorInvalidHandle : kErrorKeyDeleted;
    if (data != nullptr && size == nullptr) return kErrorInvalidParameter;
    if (failReads_) return kErrorAccessDenied;
    const auto v = Named(k->values, name ? name : "");
    if (v == k->values.end()) return kErrorFileNotFound;
    const uint32_t stored = static_cast<uint32_t>(v->data.bytes.size());
    if (type) *type = v->data.type;
    if (data != nullptr) {
        if (*size < stored) {
            *size = stored;
            return kErrorMoreData;
        }
        std::copy(v->data.bytes.begin(), v->data.bytes.end(), data);
    }
    if (size) *size = stored;
    return kErrorSuccess;
}

long MemoryRegistry::SetValue(RegHandle key, const char* name, uint32_t type,
                            const unsigned char* data, uint32_t size) {
    Key* k = Resolve(key);
    if (k == nullptr) return key == 0 ? kErrorInvalidHandle : kErrorKeyDeleted;
    if (data == nullptr && size != 0) return kErrorInvalidParameter;
    // The machine root holds no values of its own, and a refused write changes nothing.
    if (k == &root_ || failWrites_) return kErrorAccessDenied;
    const std::string bytes = size ? std::string(reinterpret_cast<const char*>(data), size) : std::string();
    PutValue(k->values, name ? name : "", RegData{type, bytes});
    return kErrorSuccess;
}

long MemoryRegistry::DeleteValue(RegHandle key, const char* name) {
    Key* k = Resolve(key);
    if (k == nullptr) return key == 0 ? kErrorInvalidHandle : kErrorKeyDeleted;
    if (failWrites_) return kErrorAccessDenied;
    return EraseNamed(k->values, name ? name : "") ? kErrorSuccess : kErrorFileNotFound;
}

long MemoryRegistry::CloseKey(RegHandle key) {
    for (auto it = open_.begin(); it != open_.end(); ++it) {
        if (it->handle == key) {
            open_.erase(it);
            return kErrorSuccess;
        }
    }
    return kErrorInvalidHandle;
}

long MemoryRegistry::EnumKey(RegHandle key, uint32_t index, std::string* name) {
    const Key* k = Resolve(key);
    if (k == nullptr) return key == 0 ? kErrorInvalidHandle : kErrorKeyDeleted;
    if (index >= k->subkeys.size()) return kErrorNoMoreItems;
    if (name) *name = k->subkeys[index].name;
    return kErrorSuccess;
}

}  // namespace hzwk
