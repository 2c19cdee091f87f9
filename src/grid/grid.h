// grid/: the rate grid and its rules. Depends only on core/, never on a window.
// The refresh-rate grid: 23 rows, each a caption (the value of record), a stepper
// position, and whether the stepper is enabled.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/display_mode.h"
#include "grid/rows.h"

namespace hzwk {

// The calculator's highest rate unless the monitor's own vertical maximum is lower.
inline constexpr int kHighestSetRate = 240;

struct GridRow {
    std::string caption;  // "N/A" or a rate in Hz
    int position = 0;     // 0..7 on the ladder, the rate itself with any-rate drivers
    bool enabled = true;
};

class Grid {
public:
    explicit Grid(bool anyRate = false) : anyRate_(anyRate) {}

    void SetAnyRate(bool anyRate) { anyRate_ = anyRate; }
    bool AnyRate() const { return anyRate_; }

    const GridRow& Row(int row) const { return rows_[RowIndex(row)]; }
    const std::array<GridRow, kRowCount>& Rows() const { return rows_; }
    Captions CaptionsNow() const;

    // A stepper's position changed, by the user or by the program: the change rule.
    void SetPosition(int row, int position);
    void SetCaption(int row, const std::string& caption) { rows_[RowIndex(row)].caption = caption; }
    void SetEnabled(int row, bool enabled) { rows_[RowIndex(row)].enabled = enabled; }
    void SetAllEnabled(bool enabled);

    // Captions from the display modes the driver offers now (last matching mode wins),
    // then the stepper positions from them; enabled states stay.
    void ReadCurrentRates(const std::vector<DisplayMode>& modes);
    // Stepper positions from the captions (and, on the ladder, enabled states).
    void SyncSteppers();
    // Fills the 17 rows that share a height group from the monitor's horizontal frequency (kHz
    // text); no row gets a rate above `highestRate`.
    void FillFromHFreq(const std::string& kHzText, int highestRate = kHighestSetRate);

private:
    // Each stepper to the position its caption stands for; a caption that names none (a rate
    // off the ladder, or above the stepper's maximum) leaves its stepper where it is.
    void PositionsFromCaptions();

    bool anyRate_;
    std::array<GridRow, kRowCount> rows_{};
};

// The highest refresh rate for `height` lines at `lineHz` Hz line frequency, rounded
// half to even. Clamped to the 16-bit range, so absurd frequencies stay absurd, not wrapped.
int32_t RateForHeight(double lineHz, int height);

// What the monitors allow, as far as they say: 0 for a maximum they do not state.
struct RateLimits {
    int horizontalKhz = 0;
    int verticalHz = 0;
};

// A row whose caption asks for more than the monitors can show, and the most they can.
struct RowBeyond {
    int row = 0;
    long long rate = 0;
    int atMost = 0;
};

// The rows beyond `limits`, in the window's order. A caption that is a number is beyond when
// it is above the vertical maximum or, in the 17 rows the calculator fills, above the rate the
// calculator gives for the row's height at the horizontal maximum (before its cap and its
// floor); `atMost` is the lower of the limits that apply to the row.
std::vector<RowBeyond> RowsBeyond(const Captions& captions, const RateLimits& limits);

}  // namespace hzwk
