// The connected monitor's EDID, found in the registry where Windows keeps every monitor it
// has seen.
#pragma once

#include "monitor/edid.h"
#include "registry/registry_access.h"

namespace hzwk {

// Models, then their instances, in the registry's order: the first instance that is
// connected now (it has a Control subkey) and holds a valid EDID. Anything else, a registry
// that cannot be read included, gives an invalid result.
MonitorInfo FindMonitor(RegistryAccess& registry);

}  // namespace hzwk
