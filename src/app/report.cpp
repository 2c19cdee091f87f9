#include "app/report.h"

namespace hzwk {
namespace {

std::string Pair(const std::string& w, const std::string& h) {
    return (!w.empty() && !h.empty()) ? w + "x" + h : std::string();
}

}  // namespace

std::vector<std::string> DiagnosticReportLines(const DriverContext& ctx, const TvResolutions& tv,
                                               const std::string& dateText, const std::string& timeText) {
    return {
        "[" + dateText + "][" + timeText + "]",
        "Windows version: " + ctx.OsVersion,
        "Detonator version: " + ctx.DetonatorVersion,
        "Card Description: " + ctx.DeviceDescription,
        "Adapter codename: " + ctx.ModeValueName,
        std::string("Adapter modes: ") + (ctx.CompressedFormat ? "Compressed" : "Normal"),
        "Registry path: " + ctx.DriverKeyPath,
        "DLL Used: " + ctx.DriverDll + ".dll",
        std::string("Program mode: ") + (ctx.StartupRun ? "Startup Mode" : "Normal Mode"),
        "TV Resolutions: 1. " + Pair(tv.w1, tv.h1) + " 2. " + Pair(tv.w2, tv.h2),
    };
}

bool WriteDebugReport(Os& os, const DriverContext& ctx, const TvResolutions& tv) {
    std::string text;
    for (const std::string& line : DiagnosticReportLines(ctx, tv, os.LocalDateText(), os.LocalTimeText()))
        text += line + "\r\n";
    return os.WriteDebugFile(text);
}

}  // namespace hzwk
