#include "app/main_form.h"

#include <algorithm>

#include "modelist/apply.h"
#include "registry/settings.h"

namespace hzwk {
namespace {

// The lowest rate a calculated row shows: a lower vertical maximum cannot take the rows below it.
constexpr int kLowestCalcCap = 60;

constexpr const char kAdvancedWarning[] =
    "This program is not magic, and it will not allow you to display higher refresh rates than what "
    "your monitor supports. Use with caution.";
constexpr const char kNoTvOut[] = "Added Resolutions: None";
constexpr const char kHelpMissing[] = "Help file (hzwkhelp.chm) not found";
constexpr const char kBeyondHead[] = "The monitor ";
constexpr const char kBeyondRates[] = " cannot show these rates:\n\n";
constexpr const char kBeyondTail[] =
    "\nThe screen may stay black in these modes after the restart. Write them anyway?";

// One line per row: "1600 x 1200 at 85 Hz (at most 82 Hz)".
std::string BeyondWarning(const std::string& monitor, const std::vector<RowBeyond>& rows) {
    std::string text = kBeyondHead + monitor + kBeyondRates;
    for (const RowBeyond& r : rows)
        text += std::string(kRows[static_cast<std::size_t>(r.row)].resolutionText) + " at " +
                std::to_string(r.rate) + " Hz (at most " + std::to_string(r.atMost) + " Hz)\n";
    return text + kBeyondTail;
}

}  // namespace

MainForm::MainForm(RegistryAccess& registry, Os& os, Prompt& prompt)
    : registry_(registry), os_(os), prompt_(prompt) {}

void MainForm::RefreshLoadCheck() {
    mnuLoadChecked = registry_.GetDwordValue(reg::kSettingsKey, reg::kLoadOnStartup, 0) == 1;
}

void MainForm::SetCalculatorEnabled(bool enabled) {
    cmdCalcEnabled = text1Enabled = cmdCalcDefEnabled = upDown24Enabled = enabled;
}

void MainForm::StepperChanged(int row, int position) {
    if (row < 0 || row >= kRowCount) return;
    grid.SetPosition(row, position);
}

void MainForm::Text1Changed(const std::string& text) {
    text1 = text;
    cmdCalcIsDefault = true;
}

void MainForm::UpDown24Changed(int position) {
    upDown24Position = position < 0 ? 0 : (position > kUpDown24Max ? kUpDown24Max : position);
    Text1Changed(std::to_string(upDown24Position));
}

void MainForm::CmdCalcClick() {
    // The monitor's vertical maximum caps the rates, within what a row can show at all.
    int highest = kHighestSetRate;
    if (monitor_.verticalHz) highest = std::max(kLowestCalcCap, std::min(monitor_.verticalHz->max, kHighestSetRate));
    grid.FillFromHFreq(text1, highest);
    cmdCalcIsDefault = false;
}

void MainForm::CmdCalcDefClick() { grid.ReadCurrentRates(os_.DisplayModes()); }

void MainForm::Check1Click() {
    advancedMode = !advancedMode;
    if (advancedMode) {
        prompt_.Show(kAdvancedWarning, Icon::Information, Buttons::Ok);
        grid.SyncSteppers();
        grid.SetAllEnabled(true);
        label50 = kNoTvOut;
        if (KeyAtLeast(ctx_.VersionKey(), kV4000)) SetCalculatorEnabled(true);
        RefreshLoadCheck();
        return;
    }
    grid.SetAllEnabled(false);
    grid.ReadCurrentRates(os_.DisplayModes());
    RefreshLoadCheck();
    SetCalculatorEnabled(false);
}

std::vector<RowBeyond> MainForm::RowsBeyondMonitor() const {
    RateLimits limits;
    if (monitor_.horizontalKhz) limits.horizontalKhz = monitor_.horizontalKhz->max;
    if (monitor_.verticalHz) limits.verticalHz = monitor_.verticalHz->max;
    return RowsBeyond(grid.CaptionsNow(), limits);
}

WriteOutcome MainForm::CmdApplyClick() {
    const std::vector<RowBeyond> beyond = RowsBeyondMonitor();
    const std::string warning = beyond.empty() ? std::string() : BeyondWarning(monitor_.name, beyond);
    return ApplyModeList(ctx_, grid.CaptionsNow(), tvParts_, registry_, os_, prompt_, warning);
}

WriteOutcome MainForm::CmdResetClick() {
    const WriteOutcome out = ResetModeList(ctx_, registry_, os_, prompt_);
    if (out != WriteOutcome::Failed) grid.ReadCurrentRates(os_.DisplayModes());
    return out;
}

void MainForm::MnuLoadClick() {
    const bool wasOn = mnuLoadChecked;
    bool runKeyWritten = true;
    if (wasOn) {
        registry_.DeleteRegValue(reg::kSettingsKey, reg::kLoadOnStartup);
        registry_.DeleteRegValue(reg::kRunKey, reg::kRunValue);
    } else {
        registry_.SaveDwordValue(reg::kSettingsKey, reg::kLoadOnStartup, 1);
        // Quoted, so that a folder with blanks cannot start another program at logon.
        runKeyWritten = registry_.SaveStringValue(
            reg::kRunKey, reg::kRunValue, "\"" + os_.ProgramFolder() + "\\hzwk.exe\" /startup");
    }
    // The check mark shows what is stored, not what was asked for.
    RefreshLoadCheck();
    if (mnuLoadChecked == wasOn || !runKeyWritten)
        prompt_.Show(kWriteError, Icon::Critical, Buttons::Ok);
}

void MainForm::MnuTopicsClick() {
    // The separator is always added, even after a drive root's own backslash.
    if (!os_.ShowHelp(os_.ProgramFolder() + "\\hzwkhelp.chm"))
        prompt_.Show(kHelpMissing, Icon::Critical, Buttons::Ok);
}

void MainForm::TvOutStored() { label50 = Label50Caption(ReadTvResolutions(registry_)); }

}  // namespace hzwk
