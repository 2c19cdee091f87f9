// Apply and Set Defaults: the only places that write the driver's mode-list value.
#pragma once

#include <string>

#include "core/driver_context.h"
#include "core/prompt.h"
#include "grid/rows.h"
#include "os/os.h"
#include "registry/registry_port.h"
#include "tvout/tv_entries.h"

namespace hzwk {

inline constexpr const char kAskApply[] = "Are you sure you want to apply these values to the registry?";
inline constexpr const char kApplied[] =
    "Values added succesfully. Please remember to REBOOT your computer for changes to take effect";
inline constexpr const char kAskReset[] = "Are you sure you wish to set the Nvidia driver default values?";
inline constexpr const char kResetDone[] = "Default values reset successfully";
inline constexpr const char kWriteError[] = "Error writing to the registry";
inline constexpr const char kUnknownAdapter[] =
    "Your graphics adapter was not recognised, so no mode list was written.";
inline constexpr const char kNoDefaultList[] = "No default mode list is known for this graphics adapter.";

enum class WriteOutcome { Declined, Written, Refused, Failed };

// Shows `warning` first unless it is empty (No, the default, ends it: Declined), confirms,
// rebuilds the TV-out parts into `tv`, composes, backs up the value, logs, writes, reports.
// Without a backup nothing is logged or written (Failed), and SaveBackup's message is shown.
WriteOutcome ApplyModeList(DriverContext& ctx, const Captions& captions, TvParts& tv,
                           RegistryAccess& registry, Os& os, Prompt& prompt,
                           const std::string& warning = std::string());

// Confirms, backs up the value and writes the driver's default list unchanged. The caller
// re-reads the grid unless the outcome is Failed.
WriteOutcome ResetModeList(const DriverContext& ctx, RegistryAccess& registry, Os& os, Prompt& prompt);

}  // namespace hzwk
