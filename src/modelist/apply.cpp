#include "modelist/apply.h"

#include "modelist/backup.h"
#include "modelist/compose.h"
#include "registry/settings.h"

namespace hzwk {

namespace {

enum class Step { Done, NoBackup, Failed };

// Rebuilds the TV-out parts, composes, backs up, logs and writes. Failed on any failure, an
// exception included: the caller then reports the one write error. Nothing is written to
// the registry unless the backup and the log line were.
Step ComposeLogAndWrite(DriverContext& ctx, const std::string& valueName, const Captions& captions,
                        TvParts& tv, RegistryAccess& registry, Os& os, std::string* noBackup) {
    try {
        const std::string key = ctx.VersionKey();
        tv = BuildTVEntries(ReadTvResolutions(registry), key);
        const ComposeFlags flags{key, ctx.CompressedFormat, ctx.AnyRate};
        const std::string composed = ComposeModeList(captions, flags, tv);
        if (!SaveBackup(registry, os, ctx.DriverKeyPath, valueName, noBackup)) return Step::NoBackup;
        if (!os.AppendDebugFile("Added registry value: " + composed + "\r\n")) return Step::Failed;
        const std::string value = FinishModeList(composed, key, tv);
        ctx.ModeValueName = valueName;
        return registry.SaveStringValue(ctx.DriverKeyPath, ctx.ModeValueName, value) ? Step::Done : Step::Failed;
    } catch (...) {
        return Step::Failed;
    }
}

bool WriteDefaults(const DriverContext& ctx, const std::string& valueName, RegistryAccess& registry) {
    try {
        return registry.SaveStringValue(ctx.DriverKeyPath, valueName, ctx.DefaultModeList);
    } catch (...) {
        return false;
    }
}

}  // namespace

WriteOutcome ApplyModeList(DriverContext& ctx, const Captions& captions, TvParts& tv,
                           RegistryAccess& registry, Os& os, Prompt& prompt, const std::string& warning) {
    // An unknown adapter has no mode-list value; its key's unnamed value is not ours to write.
    // Said at once: asking first would only lead to a refusal after Yes.
    const std::string valueName = ModeValueNameFor(ctx.ModeValueName, ctx.VersionKey());
    if (valueName.empty()) {
        prompt.Show(kUnknownAdapter, Icon::Critical, Buttons::Ok);
        return WriteOutcome::Refused;
    }
    if (!warning.empty() && prompt.Show(warning, Icon::Warning, Buttons::YesNoDefaultNo) != Answer::Yes)
        return WriteOutcome::Declined;
    if (prompt.Show(kAskApply, Icon::None, Buttons::YesNo) != Answer::Yes) return WriteOutcome::Declined;

    std::string noBackup;
    const Step step = ComposeLogAndWrite(ctx, valueName, captions, tv, registry, os, &noBackup);
    if (step != Step::Done) {
        prompt.Show(step == Step::NoBackup ? noBackup : kWriteError, Icon::Critical, Buttons::Ok);
        return WriteOutcome::Failed;
    }
    prompt.Show(kApplied, Icon::Information, Buttons::Ok);
    return WriteOutcome::Written;
}

WriteOutcome ResetModeList(const DriverContext& ctx, RegistryAccess& registry, Os& os, Prompt& prompt) {
    const std::string valueName = ModeValueNameFor(ctx.ModeValueName, ctx.VersionKey());
    if (valueName.empty()) {
        prompt.Show(kUnknownAdapter, Icon::Critical, Buttons::Ok);
        return WriteOutcome::Refused;
    }
    if (prompt.Show(kAskReset, Icon::None, Buttons::YesNo) != Answer::Yes) return WriteOutcome::Declined;

    // An empty list would leave the driver with no modes at all.
    if (ctx.DefaultModeList.empty()) {
        prompt.Show(kNoDefaultList, Icon::Critical, Buttons::Ok);
        return WriteOutcome::Refused;
    }
    std::string noBackup;
    if (!SaveBackup(registry, os, ctx.DriverKeyPath, valueName, &noBackup)) {
        prompt.Show(noBackup, Icon::Critical, Buttons::Ok);
        return WriteOutcome::Failed;
    }
    if (!WriteDefaults(ctx, valueName, registry)) {
        prompt.Show(kWriteError, Icon::Critical, Buttons::Ok);
        return WriteOutcome::Failed;
    }
    prompt.Show(kResetDone, Icon::None, Buttons::Ok);
    return WriteOutcome::Written;
}

}  // namespace hzwk
