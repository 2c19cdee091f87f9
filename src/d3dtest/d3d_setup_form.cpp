#include "d3dtest/d3d_setup_form.h"

namespace hzwk {

void D3DSetupForm::Load(const Captions& captions) {
    optOn_ = true;
    resList_.clear();
    for (const TestResolution& r : kTestResolutions)
        if (captions[static_cast<size_t>(r.row)] != kNotAvailable) resList_.emplace_back(r.text);
    depthList_.clear();
    for (const TestDepth& d : kTestDepths) depthList_.emplace_back(d.text);
}

bool D3DSetupForm::Go(const std::string& resText, const std::string& depthText, bool optOn,
                      Prompt& prompt) {
    if (running_) return false;
    const TestResolution* res = nullptr;
    for (const TestResolution& r : kTestResolutions)
        if (resText == r.text) res = &r;
    const TestDepth* depth = nullptr;
    for (const TestDepth& d : kTestDepths)
        if (depthText == d.text) depth = &d;
    if (res == nullptr || depth == nullptr) {
        prompt.Show(kInvalidChoiceMessage, Icon::Critical, Buttons::Ok);
        return false;
    }
    optOn_ = optOn;
    mode_.width = res->width;
    mode_.height = res->height;
    mode_.format = depth->format;
    mode_.depthBits = depth->bits;
    mode_.vsync = optOn;
    return true;
}

void D3DSetupForm::RunEnded(RunOutcome outcome, Prompt& prompt) {
    running_ = false;
    if (outcome == RunOutcome::NoDirect3D) prompt.Show(kNoDirect3DMessage, Icon::Critical, Buttons::Ok);
    if (outcome == RunOutcome::Failed) prompt.Show(kTestFailedMessage, Icon::Critical, Buttons::Ok);
}

}  // namespace hzwk
