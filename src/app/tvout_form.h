// The TV-out window as data: four text boxes and the rules of its buttons.
#pragma once

#include <string>

#include "core/prompt.h"
#include "registry/registry_port.h"

namespace hzwk {

class TvOutForm {
public:
    TvOutForm(RegistryAccess& registry, Prompt& prompt) : registry_(registry), prompt_(prompt) {}

    void Load();            // fills the boxes from the stored values
    void Command1Click();   // Clear resolution 1
    void Command2Click();   // Clear resolution 2
    void Command3Click();   // "Set default TV-Out modes"
    // OK: validates and stores; true when the window closes (the caller then
    // refreshes the main window's "Added Resolutions" line).
    bool CmdDoneClick();

    std::string txtW1, txtH1, txtW2, txtH2;

private:
    RegistryAccess& registry_;
    Prompt& prompt_;
};

}  // namespace hzwk
