// app/: start-up and the form models, shared by hzwk.exe and hzwkctl. No Win32 here.
// The main window as data: what its controls show and one method per event.
// The Win32 window calls an event method, then brings every control into line with
// this state; it keeps no state or logic of its own.
#pragma once

#include <string>

#include "core/driver_context.h"
#include "core/prompt.h"
#include "grid/grid.h"
#include "modelist/apply.h"
#include "monitor/edid.h"
#include "os/os.h"
#include "registry/registry_port.h"
#include "tvout/tv_entries.h"

namespace hzwk {

enum class StartupOutcome {
    ShowWindow,         // the sequence ran to its end: show the main window
    UnsupportedOs,      // after "No compatible Operating System found"
    UnsupportedDriver,  // after "No compatible Detonator version found"
    NoNewVersion,       // /startup run, driver unchanged: end silently
    Declined,           // /startup run, the user answered No
};

class MainForm {
public:
    MainForm(RegistryAccess& registry, Os& os, Prompt& prompt);

    // The start-up sequence. Runs once, before any window exists.
    StartupOutcome Load(const std::string& commandLine);

    // --- what the controls show ---
    std::string lblOS, lblDetVersion, lblAdapters;
    std::string label50;        // "Added Resolutions: ..."
    bool mnuLoadChecked = false;
    bool cmdCalcEnabled = true, cmdCalcDefEnabled = true, text1Enabled = true, upDown24Enabled = true;
    std::string text1;          // horizontal frequency in kHz
    int upDown24Position = 0;   // 0..kUpDown24Max
    static constexpr int kUpDown24Max = 150;
    bool cmdCalcIsDefault = false;  // Enter runs the calculator
    bool advancedMode = false;
    Grid grid;

    // --- events ---
    void StepperChanged(int row, int position);  // an arrow of a row's stepper was clicked
    void Text1Changed(const std::string& text);  // typed, pasted or set by UpDown24
    void UpDown24Changed(int position);          // writes the position into Text1
    void CmdCalcClick();
    void CmdCalcDefClick();
    void Check1Click();
    WriteOutcome CmdApplyClick();
    WriteOutcome CmdResetClick();
    void MnuLoadClick();
    // Help > Topics: the help file beside the program, or the "not found" message.
    void MnuTopicsClick();
    void TvOutStored();                          // the TV-out window stored new values

    const DriverContext& Context() const { return ctx_; }
    // The attached monitors as start-up found them, and the rows Apply would warn about.
    const MonitorInfo& Monitor() const { return monitor_; }
    std::vector<RowBeyond> RowsBeyondMonitor() const;
    const TvParts& TvPartsNow() const { return tvParts_; }
    Captions CaptionsNow() const { return grid.CaptionsNow(); }

    // For the console tool: the grid as start-up filled it can be overridden row by row.
    void SetCaption(int row, const std::string& caption) { grid.SetCaption(row, caption); }

private:
    void RefreshLoadCheck();
    void SetCalculatorEnabled(bool enabled);

    RegistryAccess& registry_;
    Os& os_;
    Prompt& prompt_;
    DriverContext ctx_;
    TvParts tvParts_;
    MonitorInfo monitor_;
};

}  // namespace hzwk
