// The monitors' EDIDs, found in the registry where Windows keeps every monitor it has seen,
// and the limits they share.
#pragma once

#include <string>
#include <vector>

#include "monitor/edid.h"
#include "registry/registry_port.h"

namespace hzwk {

// The monitors connected now (an instance with a Control subkey) and attached to our adapter:
// those whose Driver value ends one of `attachedIds` (the device IDs the system lists for the
// adapter), or every connected one when none can be matched that way. Of those with a valid
// EDID, in the registry's order (models, then their instances): the names joined by " + ",
// and the limits that serve them all, the lowest maximum and the highest minimum of each
// range, taken from the monitors that state it. None valid, or a registry that cannot be
// read, gives an invalid result.
MonitorInfo FindMonitor(RegistryAccess& registry, const std::vector<std::string>& attachedIds = {});

}  // namespace hzwk
