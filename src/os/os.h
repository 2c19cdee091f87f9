// os/: the operating-system port and its Win32 implementation. Depends only on core/.
// Operating-system services the program needs besides the registry, behind one
// interface so the logic runs the same on Windows, on a machine profile and in tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/display_mode.h"

namespace hzwk {

// The fixed file version of a file's version resource: most and least significant halves.
struct FixedFileVersion {
    uint32_t ms = 0;
    uint32_t ls = 0;
};

// Local date and time as the clock gives them, month and day counted from 1.
struct ClockTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// A display adapter as the system lists it: its registry key ("\Registry\Machine\System\...")
// and the device IDs of the monitors attached to it, each ending in the monitor's driver key
// ("MONITOR\SNY0290\{4D36E96E-E325-11CE-BFC1-08002BE10318}\0000").
struct DisplayAdapter {
    std::string deviceKey;
    std::vector<std::string> monitorIds;
};

// The monitor IDs of the adapters whose key is `driverKeyPath` (relative to
// HKEY_LOCAL_MACHINE), letter case and the numbered control set aside; none when no adapter has it.
std::vector<std::string> MonitorsOnAdapter(const std::vector<DisplayAdapter>& adapters,
                                           const std::string& driverKeyPath);

// "a.b.c.d": each 16-bit half of the version as a plain unsigned number.
std::string FormatFileVersion(const FixedFileVersion& version);

class Os {
public:
    virtual ~Os() = default;

    // The Windows system directory without a trailing separator; empty when unknown.
    virtual std::string SystemDirectory() = 0;
    // Reads the root block of the file's version resource; false when it has none.
    virtual bool ReadFileVersion(const std::string& path, FixedFileVersion& out) = 0;
    // The current display device's modes, in the order the system numbers them.
    virtual std::vector<DisplayMode> DisplayModes() = 0;
    // The folder holding the running program, without a trailing separator.
    virtual std::string ProgramFolder() = 0;
    // Current local date (short format) and time (with seconds), as regional settings write them.
    virtual std::string LocalDateText() = 0;
    virtual std::string LocalTimeText() = 0;
    // debug.txt in the program's folder: rewrite it whole, or append to it (creating it).
    virtual bool WriteDebugFile(const std::string& contents) = 0;
    virtual bool AppendDebugFile(const std::string& contents) = 0;
    virtual void Beep() = 0;
    // Hands an address (mailto: or web) to the shell.
    virtual void OpenAddress(const std::string& address) = 0;
    // Opens a .chm at its default topic; false when the file is missing or no viewer window opened.
    virtual bool ShowHelp(const std::string& path) = 0;
    virtual uint32_t TickCount() = 0;

    // Files kept beside the program or in the user's application data (the backups).
    virtual ClockTime LocalClock() = 0;
    // A new file `name` in `folder` with exactly `bytes`. An existing file is never
    // overwritten: false then, and false with nothing left behind when writing fails.
    virtual bool CreateNewFile(const std::string& folder, const std::string& name,
                               const std::string& bytes) = 0;
    // The plain files in `folder` whose names start with `prefix`, letter case aside, as Windows
    // compares file names; none when unreadable.
    virtual std::vector<std::string> FileNames(const std::string& folder, const std::string& prefix) = 0;
    // The bytes of the plain file `name` in `folder` when it holds at most `maxBytes` (its size
    // checked before it is read); false for a folder, a larger file or one that cannot be read.
    virtual bool ReadSmallFile(const std::string& folder, const std::string& name, size_t maxBytes,
                               std::string* bytes) = 0;
    virtual bool RemoveFile(const std::string& folder, const std::string& name) = 0;
    // The user's application-data folder; empty when the system names none.
    virtual std::string AppDataFolder() = 0;
    // The user's temporary folder in its long form, without a trailing separator; empty when unknown.
    virtual std::string TempFolder() = 0;
    // True when `path` is a folder afterwards, made now or there already.
    virtual bool MakeFolder(const std::string& path) = 0;

    // The display adapters and their monitors; none where the system cannot say.
    virtual std::vector<DisplayAdapter> DisplayAdapters() { return {}; }
};

}  // namespace hzwk
