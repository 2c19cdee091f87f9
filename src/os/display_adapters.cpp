#include <cstddef>

#include "core/text.h"
#include "os/os.h"

namespace hzwk {

namespace {

std::vector<std::string> KeyParts(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (const char c : path + "\\") {
        if (c != '\\') {
            part.push_back(c);
        } else if (!part.empty()) {
            parts.push_back(part);
            part.clear();
        }
    }
    return parts;
}

// "CurrentControlSet" is a link to one of the numbered sets ("ControlSet001"), and the system
// names an adapter's key through either.
bool IsControlSet(const std::string& part) {
    return SameNoCase(part, "CurrentControlSet") ||
           (part.size() == 13 && SameNoCase(part.substr(0, 10), "ControlSet") &&
            part.find_first_not_of("0123456789", 10) == std::string::npos);
}

bool SameKey(std::string deviceKey, const std::string& driverKeyPath) {
    const std::string machine = "\\Registry\\Machine\\";
    if (deviceKey.size() > machine.size() && SameNoCase(deviceKey.substr(0, machine.size()), machine))
        deviceKey.erase(0, machine.size());
    const std::vector<std::string> a = KeyParts(deviceKey), b = KeyParts(driverKeyPath);
    if (a.empty() || a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!SameNoCase(a[i], b[i]) && !(IsControlSet(a[i]) && IsControlSet(b[i]))) return false;
    return true;
}

}  // namespace

std::vector<std::string> MonitorsOnAdapter(const std::vector<DisplayAdapter>& adapters,
                                           const std::string& driverKeyPath) {
    std::vector<std::string> ids;
    for (const DisplayAdapter& adapter : adapters)
        if (SameKey(adapter.deviceKey, driverKeyPath))
            ids.insert(ids.end(), adapter.monitorIds.begin(), adapter.monitorIds.end());
    return ids;
}

}  // namespace hzwk
