// The start-up sequence: runs before any window exists, and decides whether one will.
#include <algorithm>

#include "app/detect.h"
#include "app/report.h"
#include "catalogue/catalogue.h"
#include "monitor/find_monitor.h"
#include "registry/settings.h"
#include "app/main_form.h"

namespace hzwk {

inline constexpr const char kNoOs[] = "No compatible Operating System found";
inline constexpr const char kNoDriver[] = "No compatible Detonator version found";
inline constexpr const char kNewDriver[] =
    "New Detonator drivers found, do you want to run the program and re-apply your settings?";
inline constexpr const char kStartupSwitch[] = "/startup";
inline constexpr size_t kVendorPrefixLength = 7;  // "NVIDIA "

StartupOutcome MainForm::Load(const std::string& commandLine) {
    ctx_ = DriverContext{};
    monitor_ = MonitorInfo{};
    ctx_.StartupRun = commandLine == kStartupSwitch;

    ctx_.OsVersion = registry_.GetStringValue(reg::kWindowsVersionKey, reg::kCurrentVersion, "");
    lblOS = OsCaption(ctx_.OsVersion);
    if (lblOS.empty()) {
        prompt_.Show(kNoOs, Icon::Critical, Buttons::Ok);
        return StartupOutcome::UnsupportedOs;
    }

    ctx_.DriverKeyPath = DriverKeyPathFor(registry_, ctx_.OsVersion);
    GetDisplayDriver(registry_, ctx_.DriverKeyPath, ctx_.DriverDll);
    ctx_.DetonatorVersion = GetVersionInfo(os_, os_.SystemDirectory() + "\\" + ctx_.DriverDll + ".dll");
    lblDetVersion = ctx_.DetonatorVersion;

    if (!IsNvidiaDriver(ctx_.DriverDll)) {
        prompt_.Show(kNoDriver, Icon::Critical, Buttons::Ok);
        registry_.SaveStringValue(reg::kSettingsKey, reg::kLastDetVersion, ctx_.DetonatorVersion);
        return StartupOutcome::UnsupportedDriver;
    }

    if (ctx_.StartupRun) {
        const std::string last =
            registry_.GetStringValue(reg::kSettingsKey, reg::kLastDetVersion, ctx_.DetonatorVersion);
        if (last == ctx_.DetonatorVersion) return StartupOutcome::NoNewVersion;
        os_.Beep();
        if (prompt_.Show(kNewDriver, Icon::None, Buttons::YesNo) != Answer::Yes) return StartupOutcome::Declined;
    }

    // What only the window and its report show is read from here on, so that a silent
    // /startup run at logon reads no more than it must.
    ctx_.DeviceDescription = registry_.GetStringValue(ctx_.DriverKeyPath, reg::kDeviceDescription, "");
    ctx_.CompressedFormat = registry_.GetDwordValue(ctx_.DriverKeyPath, reg::kUseCompressedModeFormat, 0) != 0;
    const std::string key = ctx_.VersionKey();
    // The calculator needs a driver that takes any rate; a 4100 driver without the compressed
    // format takes any rate but keeps the calculator off.
    if (!(KeyAtLeast(key, kV4041) && ctx_.CompressedFormat)) SetCalculatorEnabled(false);
    ctx_.AnyRate = AnyRateFor(key, ctx_.CompressedFormat);
    grid.SetAnyRate(ctx_.AnyRate);

    RefreshLoadCheck();
    const TvResolutions stored = ReadTvResolutions(registry_);
    tvParts_ = BuildTVEntries(stored, key);
    label50 = Label50Caption(stored);

    // The calculator starts from the monitor's own highest line rate when it states one. The
    // program sets it, the user did not type it: Set does not become the default button.
    monitor_ = FindMonitor(registry_, MonitorsOnAdapter(os_.DisplayAdapters(), ctx_.DriverKeyPath));
    if (monitor_.horizontalKhz && monitor_.horizontalKhz->max > 0) {
        upDown24Position = std::min(monitor_.horizontalKhz->max, kUpDown24Max);
        text1 = std::to_string(upDown24Position);
    }

    grid.ReadCurrentRates(os_.DisplayModes());
    registry_.SaveStringValue(reg::kSettingsKey, reg::kLastDetVersion, ctx_.DetonatorVersion);

    ctx_.ModeValueName = ctx_.CompressedFormat
                             ? LookupCompressedAdapter(ctx_.DeviceDescription, ctx_.AnyRate, ctx_.DefaultModeList)
                             : LookupNormalAdapter(ctx_.DeviceDescription, key, ctx_.DefaultModeList);
    // Every known adapter's name starts with the vendor; the cut does not check for it.
    lblAdapters = ctx_.DeviceDescription.size() > kVendorPrefixLength
                      ? ctx_.DeviceDescription.substr(kVendorPrefixLength)
                      : std::string();

    // A write-protected program folder costs the report, not the start.
    WriteDebugReport(os_, ctx_, tvParts_.used);
    return StartupOutcome::ShowWindow;
}

}  // namespace hzwk
