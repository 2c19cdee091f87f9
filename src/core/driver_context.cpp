#include "core/driver_context.h"

#include <cstring>

namespace hzwk {

std::string VersionKeyOf(const std::string& detonatorVersion) {
    if (detonatorVersion.size() <= 4) return detonatorVersion;
    return detonatorVersion.substr(detonatorVersion.size() - 4);
}

bool KeyAtLeast(const std::string& versionKey, const char* threshold) {
    // std::string::compare is ordinal on unsigned code units.
    return versionKey.compare(threshold) >= 0;
}

std::string DriverContext::VersionKey() const { return VersionKeyOf(DetonatorVersion); }

bool AnyRateFor(const std::string& versionKey, bool compressedFormat) {
    return (KeyAtLeast(versionKey, kV4041) && compressedFormat) || KeyAtLeast(versionKey, kV4100);
}

}  // namespace hzwk
