#include "monitor/find_monitor.h"

#include <algorithm>
#include <vector>

#include "core/text.h"
#include "registry/settings.h"

namespace hzwk {

namespace {

// A base block and a few extensions; no real EDID comes near the cap.
constexpr uint32_t kFirstRead = 256;
constexpr uint32_t kMaxEdidBytes = 32u << 10;
// Instances looked at in all, so that a flooded registry cannot hold up the start.
constexpr int kMaxInstances = 10000;

bool IsPresentKey(const std::string& name) { return SameNoCase(name, reg::kPresentSubkey); }

std::string ReadEdid(RegistryAccess& registry, const std::string& instance) {
    const std::string key = instance + "\\" + reg::kDeviceParameters;
    RawQuery q = registry.QueryRaw(key, reg::kEdid, kFirstRead);
    if (q.tooLarge && q.size <= kMaxEdidBytes) q = registry.QueryRaw(key, reg::kEdid, q.size);
    return q.found && q.type == kRegBinary ? q.data : std::string();
}

}  // namespace

MonitorInfo FindMonitor(RegistryAccess& registry) {
    int looked = 0;
    for (const std::string& model : registry.SubkeyNames(reg::kMonitorsKey)) {
        const std::string modelKey = std::string(reg::kMonitorsKey) + "\\" + model;
        for (const std::string& instance : registry.SubkeyNames(modelKey)) {
            if (++looked > kMaxInstances) return MonitorInfo{};
            const std::string instanceKey = modelKey + "\\" + instance;
            const std::vector<std::string> subkeys = registry.SubkeyNames(instanceKey);
            if (std::none_of(subkeys.begin(), subkeys.end(), IsPresentKey)) continue;
            const MonitorInfo info = ParseEdid(ReadEdid(registry, instanceKey));
            if (info.valid) return info;
        }
    }
    return MonitorInfo{};
}

}  // namespace hzwk
