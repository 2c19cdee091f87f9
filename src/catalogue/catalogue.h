// catalogue/: the adapter catalogues. Depends only on core/.
// Which registry value holds each NVIDIA adapter's mode list, and the driver's default list.
#pragma once

#include <string>

namespace hzwk {

// Normal-format adapters. Returns the value name ("" when the description is unknown)
// and sets defaultModeList to the adapter's table; from 4100 on to the "{*}" list
// whether or not the adapter is known. Unknown below 4100: defaultModeList untouched.
std::string LookupNormalAdapter(const std::string& description, const std::string& versionKey,
                                std::string& defaultModeList);

// Compressed-format adapters: the mask list with any-rate drivers, the range list otherwise.
// Rows without a default for that case, and unknown adapters, leave defaultModeList untouched.
std::string LookupCompressedAdapter(const std::string& description, bool anyRate,
                                    std::string& defaultModeList);

// True for a value name either catalogue gives an adapter, spelled as the catalogue spells
// it. NV_Modes, the name of the newest drivers, is not a catalogue name.
bool IsModeListValueName(const std::string& name);

// The default lists, for tests and for Set Defaults.
const std::string& NormalDefaultTable();
const std::string& IntegratedDefaultTable();
const std::string& StarDefaultList();  // the "{*}" mask list of drivers from 4100 on

}  // namespace hzwk
