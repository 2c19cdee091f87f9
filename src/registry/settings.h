// Names of every registry key and value the program touches, in one place.
#pragma once

namespace hzwk::reg {

// The program's own settings.
inline constexpr const char kSettingsKey[] = "SOFTWARE\\HZWK";
inline constexpr const char kLoadOnStartup[] = "LoadOnStartup";
inline constexpr const char kLastDetVersion[] = "LastDetVersion";
inline constexpr const char kResW1[] = "ResW1";
inline constexpr const char kResH1[] = "ResH1";
inline constexpr const char kResW2[] = "ResW2";
inline constexpr const char kResH2[] = "ResH2";

// Auto-start.
inline constexpr const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char kRunValue[] = "HZWK";

// Operating system and display device.
inline constexpr const char kWindowsVersionKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
inline constexpr const char kCurrentVersion[] = "CurrentVersion";
inline constexpr const char kVideoMapKey[] = "HARDWARE\\DEVICEMAP\\VIDEO";
inline constexpr const char kVideo0[] = "\\Device\\Video0";
inline constexpr const char kWin2000DriverKey[] = "SYSTEM\\CurrentControlSet\\Services\\nv\\Device0";

// Values in the driver's device key.
inline constexpr const char kDeviceDescription[] = "Device Description";
inline constexpr const char kInstalledDisplayDrivers[] = "InstalledDisplayDrivers";
inline constexpr const char kUseCompressedModeFormat[] = "UseCompressedModeFormat";
inline constexpr const char kNvModes[] = "NV_Modes";

// Monitors: one key per model, one subkey per instance; an instance with a Control subkey
// is connected now, and its EDID lies in Device Parameters.
inline constexpr const char kMonitorsKey[] = "SYSTEM\\CurrentControlSet\\Enum\\DISPLAY";
inline constexpr const char kPresentSubkey[] = "Control";
inline constexpr const char kDeviceParameters[] = "Device Parameters";
inline constexpr const char kEdid[] = "EDID";
// The instance's driver key under the monitor class, "{4D36E96E-...}\\0000": the end of the
// device ID the system gives for a monitor attached to an adapter.
inline constexpr const char kMonitorDriver[] = "Driver";

}  // namespace hzwk::reg
