// debug.txt: what start-up detected, for users to send along with a problem report.
#pragma once

#include <string>
#include <vector>

#include "core/driver_context.h"
#include "os/os.h"
#include "tvout/tv_entries.h"

namespace hzwk {

// The ten lines, without line ends.
std::vector<std::string> DiagnosticReportLines(const DriverContext& ctx, const TvResolutions& tv,
                                               const std::string& dateText, const std::string& timeText);

// Rewrites debug.txt with the ten lines, each ended by CR LF. False when it could not be written.
bool WriteDebugReport(Os& os, const DriverContext& ctx, const TvResolutions& tv);

}  // namespace hzwk
