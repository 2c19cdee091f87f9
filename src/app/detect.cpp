#include "app/detect.h"

#include <algorithm>

#include "registry/settings.h"

namespace hzwk {
namespace {

constexpr size_t kKernelPrefixLength = 18;         // "\Registry\Machine\"
constexpr uint32_t kDriverNameBuffer = 255;

}  // namespace

std::string OsCaption(const std::string& osVersion) {
    if (osVersion == "5.0") return "Windows 2000";
    if (osVersion == "5.1") return "Windows XP";
    if (osVersion == "5.2") return "Windows Server 2003";
    return "";
}

std::string DriverKeyPathFor(RegistryAccess& registry, const std::string& osVersion) {
    if (osVersion == "5.0") return reg::kWin2000DriverKey;
    const std::string video0 = registry.GetStringValue(reg::kVideoMapKey, reg::kVideo0, "");
    // The kernel path's prefix is cut by count; a shorter value leaves no key at all.
    return video0.size() > kKernelPrefixLength ? video0.substr(kKernelPrefixLength) : std::string();
}

void GetDisplayDriver(RegistryAccess& registry, const std::string& driverKeyPath, std::string& dll) {
    const RawQuery q = registry.QueryRaw(driverKeyPath, reg::kInstalledDisplayDrivers, kDriverNameBuffer);
    if (!q.keyOpened) return;
    if (q.found && q.type == kRegMultiSz && q.size >= 2 && q.size <= q.data.size()) {
        // The data without the list's two terminating NULs; a second entry stays in, joined
        // by a NUL, and so matches no accepted name.
        dll = q.data.substr(0, q.size - 2);
        return;
    }
    // Any other type, a missing value, or one that did not fit: the whole untouched buffer.
    dll.assign(kDriverNameBuffer, '\0');
    dll.replace(0, std::min<size_t>(q.data.size(), kDriverNameBuffer), q.data, 0, kDriverNameBuffer);
}

std::string GetVersionInfo(Os& os, const std::string& path) {
    FixedFileVersion v;
    if (!os.ReadFileVersion(path, v)) return "N/A";
    return FormatFileVersion(v);
}

bool IsNvidiaDriver(const std::string& dll) { return dll == "nv4" || dll == "nv4_disp"; }

}  // namespace hzwk
