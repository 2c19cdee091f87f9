#include "grid/grid.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <algorithm>
#include <limits>

#include "core/mode_text.h"
#include "core/text.h"

namespace hzwk {
namespace {

constexpr int kLowestShownRate = 60;

// Rows that share a height, and so a calculated rate, in the order they are set.
struct HeightGroup {
    int height;
    int rows[3];
    int count;
};
constexpr HeightGroup kHeightGroups[] = {
    {480, {kR640x480, kR848x480}, 2},
    {600, {kR800x600}, 1},
    {768, {kR1024x768, kR1280x768, kR1360x768}, 3},
    {864, {kR1152x864}, 1},
    {720, {kR1280x720}, 1},
    {960, {kR1280x960}, 1},
    {1024, {kR1280x1024, kR1600x1024}, 2},
    {900, {kR1600x900}, 1},
    {1200, {kR1600x1200, kR1920x1200}, 2},
    {1080, {kR1920x1080}, 1},
    {1440, {kR1920x1440}, 1},
    {1536, {kR2048x1536}, 1},
};

// The lowest rows are low-resolution modes that count in every depth, 4 bpp included.
bool CountsFor(int row, const DisplayMode& mode) {
    if (static_cast<int>(mode.width) != kRows[RowIndex(row)].width ||
        static_cast<int>(mode.height) != kRows[RowIndex(row)].height)
        return false;
    const bool anyDepth = row == kR320x200 || row == kR320x240 || row == kR400x300;
    return anyDepth || mode.bitsPerPixel != 4;
}

bool CalculatorFills(int row) {
    for (const HeightGroup& g : kHeightGroups)
        for (int i = 0; i < g.count; ++i)
            if (g.rows[i] == row) return true;
    return false;
}

}  // namespace

Captions Grid::CaptionsNow() const {
    Captions out;
    for (std::size_t r = 0; r < out.size(); ++r) out[r] = rows_[r].caption;
    return out;
}

void Grid::SetPosition(int row, int position) {
    GridRow& r = rows_[RowIndex(row)];
    if (position < 0) position = 0;
    if (anyRate_) {
        // The control cannot hold more than its maximum.
        if (position > kRows[RowIndex(row)].stepperMax) position = kRows[RowIndex(row)].stepperMax;
        r.position = position;
        r.caption = position == 0 ? "N/A" : std::to_string(position);
        return;
    }
    // On the ladder, anything above the top rung snaps back to it.
    if (position > kLadderTop) position = kLadderTop;
    r.position = position;
    r.caption = LadderCaption(position);
}

void Grid::SetAllEnabled(bool enabled) {
    for (auto& r : rows_) r.enabled = enabled;
}

void Grid::ReadCurrentRates(const std::vector<DisplayMode>& modes) {
    for (auto& r : rows_) r.caption = "0";
    for (const DisplayMode& mode : modes) {
        if (mode.refreshHz == 0) continue;
        for (int row = 0; row < kRowCount; ++row) {
            if (CountsFor(row, mode)) {
                rows_[RowIndex(row)].caption = std::to_string(mode.refreshHz);
                break;
            }
        }
    }
    for (auto& r : rows_) {
        if (r.caption.empty() || r.caption == "N/A") {
            r.caption = "N/A";
            continue;
        }
        long long hz = 0;
        if (!ParseWholeNumber(r.caption, hz) || hz < kLowestShownRate) r.caption = "N/A";
    }
    // A click then steps on from the rate on show, not from wherever the stepper stood.
    PositionsFromCaptions();
}

void Grid::PositionsFromCaptions() {
    for (int row = 0; row < kRowCount; ++row) {
        const std::string& caption = rows_[RowIndex(row)].caption;
        if (!anyRate_) {
            const int p = LadderPosition(caption);
            if (p >= 0) SetPosition(row, p);
            continue;
        }
        if (caption == "N/A") {
            SetPosition(row, 0);
            continue;
        }
        // A rate the stepper cannot hold (e.g. 85 Hz on a 75-maximum row) keeps its caption
        // and leaves the stepper where it is, rather than silently lowering the shown rate.
        long long hz = 0;
        if (ParseWholeNumber(caption, hz) && hz >= 0 && hz <= kRows[RowIndex(row)].stepperMax)
            SetPosition(row, static_cast<int>(hz));
    }
}

void Grid::SyncSteppers() {
    PositionsFromCaptions();
    if (anyRate_) return;
    for (auto& r : rows_) r.enabled = r.caption != "N/A";
}

int32_t RateForHeight(double lineHz, int height) {
    // Each step rounded to double, as the calculation is defined (no x87 excess precision).
    volatile double x = lineHz / height;
    x = x * 0.95;
    x = x - 2.5;
    const double rounded = std::nearbyint(x);  // default rounding: ties to even
    if (!(rounded <= std::numeric_limits<int16_t>::max())) return std::numeric_limits<int16_t>::max();
    if (rounded < std::numeric_limits<int16_t>::min()) return std::numeric_limits<int16_t>::min();
    return static_cast<int32_t>(rounded);
}

void Grid::FillFromHFreq(const std::string& kHzText, int highestRate) {
    double kHz = 0;
    if (!ParseDecimal(kHzText, kHz)) kHz = 0;
    volatile double hz = kHz * 1000.0;
    const double k = std::nearbyint(hz);
    for (const HeightGroup& g : kHeightGroups) {
        const int32_t rate = RateForHeight(k, g.height);
        for (int i = 0; i < g.count; ++i) {
            const int row = g.rows[i];
            if (rate >= kLowestShownRate && rate <= highestRate) {
                SetPosition(row, rate);
                rows_[RowIndex(row)].caption = std::to_string(rate);
            } else if (rate < kLowestShownRate) {
                SetPosition(row, 0);
                rows_[RowIndex(row)].caption = "N/A";
            } else {
                SetPosition(row, highestRate);
            }
        }
    }
}

std::vector<RowBeyond> RowsBeyond(const Captions& captions, const RateLimits& limits) {
    std::vector<RowBeyond> beyond;
    for (const int row : kDisplayOrder) {
        long long rate = 0;
        if (!ParseWholeNumber(captions[static_cast<std::size_t>(row)], rate)) continue;
        int atMost = limits.verticalHz > 0 ? limits.verticalHz : std::numeric_limits<int>::max();
        if (limits.horizontalKhz > 0 && CalculatorFills(row))
            atMost = std::min(atMost, RateForHeight(limits.horizontalKhz * 1000.0, kRows[static_cast<std::size_t>(row)].height));
        if (rate > atMost) beyond.push_back(RowBeyond{row, rate, atMost});
    }
    return beyond;
}

}  // namespace hzwk
