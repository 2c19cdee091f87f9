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

// The device ID "MONITOR\\SNY0290\\{class}\\0000" ends in the instance's Driver value.
bool IsAttached(const std::string& driver, const std::vector<std::string>& attachedIds) {
    const size_t n = driver.size() + 1;
    return !driver.empty() && std::any_of(attachedIds.begin(), attachedIds.end(), [&](const std::string& id) {
               return id.size() > n && SameNoCase(id.substr(id.size() - n), "\\" + driver);
           });
}

void Narrow(std::optional<RateRange>& into, const std::optional<RateRange>& range) {
    if (!range) return;
    if (!into) {
        into = range;
        return;
    }
    into->min = std::max(into->min, range->min);
    into->max = std::min(into->max, range->max);
}

struct Connected {
    std::string driver;
    MonitorInfo info;
};

}  // namespace

MonitorInfo FindMonitor(RegistryAccess& registry, const std::vector<std::string>& attachedIds) {
    std::vector<Connected> connected;
    int looked = 0;
    for (const std::string& model : registry.SubkeyNames(reg::kMonitorsKey)) {
        const std::string modelKey = std::string(reg::kMonitorsKey) + "\\" + model;
        for (const std::string& instance : registry.SubkeyNames(modelKey)) {
            if (++looked > kMaxInstances) return MonitorInfo{};
            const std::string instanceKey = modelKey + "\\" + instance;
            const std::vector<std::string> subkeys = registry.SubkeyNames(instanceKey);
            if (std::none_of(subkeys.begin(), subkeys.end(), IsPresentKey)) continue;
            connected.push_back({registry.GetStringValue(instanceKey, reg::kMonitorDriver, ""),
                                 ParseEdid(ReadEdid(registry, instanceKey))});
        }
    }
    const bool anyMatched = std::any_of(connected.begin(), connected.end(), [&](const Connected& c) {
        return IsAttached(c.driver, attachedIds);
    });
    MonitorInfo all;
    for (const Connected& c : connected) {
        if (!c.info.valid || (anyMatched && !IsAttached(c.driver, attachedIds))) continue;
        all.name = all.valid ? all.name + " + " + c.info.name : c.info.name;
        all.valid = true;
        Narrow(all.horizontalKhz, c.info.horizontalKhz);
        Narrow(all.verticalHz, c.info.verticalHz);
    }
    return all;
}

}  // namespace hzwk
