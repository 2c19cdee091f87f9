// core/: basic types, the mode-list text, the Prompt port and text helpers. Depends on nothing.
// What start-up detected about the system and the NVIDIA driver. Filled once;
// only Apply changes ModeValueName afterwards (NV_Modes for the newest drivers).
#pragma once

#include <string>

namespace hzwk {

struct DriverContext {
    std::string OsVersion;
    std::string DriverKeyPath;
    std::string DriverDll;
    std::string DetonatorVersion;
    std::string DeviceDescription;
    bool CompressedFormat = false;
    bool AnyRate = false;
    std::string ModeValueName;
    std::string DefaultModeList;
    bool StartupRun = false;

    std::string VersionKey() const;
};

// Driver versions are compared by their last four characters, as text, code unit by
// code unit: "N/A" sorts above every number and ".930" below "4000".
std::string VersionKeyOf(const std::string& detonatorVersion);
bool KeyAtLeast(const std::string& versionKey, const char* threshold);

inline constexpr const char kV4000[] = "4000";  // TV-out as mask items
inline constexpr const char kV4041[] = "4041";  // mode mask list, any rate with compressed format
inline constexpr const char kV4100[] = "4100";  // "{*}" head, NV_Modes, any rate

// Whether the driver takes any rate, not only the ladder's: from 4041 with the compressed
// format, from 4100 always.
bool AnyRateFor(const std::string& versionKey, bool compressedFormat);

}  // namespace hzwk
