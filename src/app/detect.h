// Detection of the system and the NVIDIA driver, one operation each.
#pragma once

#include <string>

#include "os/os.h"
#include "registry/registry_port.h"

namespace hzwk {

// "Windows 2000", "Windows XP", "Windows Server 2003", or "" for any other version.
std::string OsCaption(const std::string& osVersion);

// The display adapter's device key, relative to HKEY_LOCAL_MACHINE.
std::string DriverKeyPathFor(RegistryAccess& registry, const std::string& osVersion);

// The driver DLL's name from InstalledDisplayDrivers. Leaves `dll` unchanged when the key
// cannot be opened. Anything but a single-entry multi-string yields a name that matches
// no NVIDIA driver.
void GetDisplayDriver(RegistryAccess& registry, const std::string& driverKeyPath, std::string& dll);

// The file's version as four dotted numbers, or "N/A".
std::string GetVersionInfo(Os& os, const std::string& path);

bool IsNvidiaDriver(const std::string& dll);

}  // namespace hzwk
