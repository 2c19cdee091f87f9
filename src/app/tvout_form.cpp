#include "app/tvout_form.h"

#include "registry/settings.h"
#include "tvout/tv_entries.h"

namespace hzwk {
namespace {

constexpr const char kSameResolutions[] = "Please add 2 different resolutions";
constexpr const char kNotTvNumbers[] = "Widths and heights must be whole numbers from 1 to 9999.";

bool Valid(const std::string& w, const std::string& h) {
    return !w.empty() && w != "0" && !h.empty() && h != "0";
}

}  // namespace

void TvOutForm::Load() {
    txtW1 = registry_.GetStringValue(reg::kSettingsKey, reg::kResW1, "");
    txtH1 = registry_.GetStringValue(reg::kSettingsKey, reg::kResH1, "");
    txtW2 = registry_.GetStringValue(reg::kSettingsKey, reg::kResW2, "");
    txtH2 = registry_.GetStringValue(reg::kSettingsKey, reg::kResH2, "");
}

void TvOutForm::Command1Click() { txtW1.clear(), txtH1.clear(); }
void TvOutForm::Command2Click() { txtW2.clear(), txtH2.clear(); }

void TvOutForm::Command3Click() {
    txtW1 = "800", txtH1 = "600", txtW2 = "640", txtH2 = "480";
}

bool TvOutForm::CmdDoneClick() {
    const bool valid1 = Valid(txtW1, txtH1);
    const bool valid2 = Valid(txtW2, txtH2);
    if (txtW1 == txtW2 && txtH1 == txtH2) {
        prompt_.Show(kSameResolutions, Icon::Information, Buttons::Ok);
        return false;
    }
    // Only digits may reach the driver's mode list.
    if ((valid1 && (!IsTvNumber(txtW1) || !IsTvNumber(txtH1))) ||
        (valid2 && (!IsTvNumber(txtW2) || !IsTvNumber(txtH2)))) {
        prompt_.Show(kNotTvNumbers, Icon::Information, Buttons::Ok);
        return false;
    }
    registry_.SaveStringValue(reg::kSettingsKey, reg::kResW1, valid1 ? txtW1 : "");
    registry_.SaveStringValue(reg::kSettingsKey, reg::kResH1, valid1 ? txtH1 : "");
    registry_.SaveStringValue(reg::kSettingsKey, reg::kResW2, valid2 ? txtW2 : "");
    registry_.SaveStringValue(reg::kSettingsKey, reg::kResH2, valid2 ? txtH2 : "");
    return true;
}

}  // namespace hzwk
