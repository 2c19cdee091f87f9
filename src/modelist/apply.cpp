#include "modelist/apply.h"

#include "modelist/compose.h"
#include "registry/settings.h"

namespace hzwk {

WriteOutcome ApplyModeList(DriverContext& ctx, const Captions& captions, TvParts& tv,
                           RegistryAccess& registry, Os& os, Prompt& prompt) {
    if (prompt.Show(kAskApply, Icon::None, Buttons::YesNo) != Answer::Yes) return WriteOutcome::Declined;

    const std::string key = ctx.VersionKey();
    const std::string valueName = ModeValueNameFor(ctx.ModeValueName, key);
    // An unknown adapter has no mode-list value; its key's unnamed value is not ours to write.
    if (valueName.empty()) {
        prompt.Show(kUnknownAdapter, Icon::Critical, Buttons::Ok);
        return WriteOutcome::Refused;
    }

    tv = BuildTVEntries(ReadTvResolutions(registry), key);
    const ComposeFlags flags{key, ctx.CompressedFormat, ctx.AnyRate};
    const std::string composed = ComposeModeList(captions, flags, tv);

    // The log line comes first; without it the value is not written.
    if (!os.AppendDebugFile("Added registry value: " + composed + "\r\n")) {
        prompt.Show(kWriteError, Icon::Critical, Buttons::Ok);
        return WriteOutcome::Failed;
    }
    const std::string value = FinishModeList(composed, key, tv);
    ctx.ModeValueName = valueName;
    if (!registry.SaveStringValue(ctx.DriverKeyPath, ctx.ModeValueName, value)) {
        prompt.Show(kWriteError, Icon::Critical, Buttons::Ok);
        return WriteOutcome::Failed;
    }
    prompt.Show(kApplied, Icon::Information, Buttons::Ok);
    return WriteOutcome::Written;
}

WriteOutcome ResetModeList(const DriverContext& ctx, RegistryAccess& registry, Prompt& prompt) {
    if (prompt.Show(kAskReset, Icon::None, Buttons::YesNo) != Answer::Yes) return WriteOutcome::Declined;

    const std::string valueName = ModeValueNameFor(ctx.ModeValueName, ctx.VersionKey());
    if (valueName.empty()) {
        prompt.Show(kUnknownAdapter, Icon::Critical, Buttons::Ok);
        return WriteOutcome::Refused;
    }
    // An empty list would leave the driver with no modes at all.
    if (ctx.DefaultModeList.empty()) {
        prompt.Show(kNoDefaultList, Icon::Critical, Buttons::Ok);
        return WriteOutcome::Refused;
    }
    if (!registry.SaveStringValue(ctx.DriverKeyPath, valueName, ctx.DefaultModeList)) {
        prompt.Show(kWriteError, Icon::Critical, Buttons::Ok);
        return WriteOutcome::Failed;
    }
    prompt.Show(kResetDone, Icon::None, Buttons::Ok);
    return WriteOutcome::Written;
}

}  // namespace hzwk
