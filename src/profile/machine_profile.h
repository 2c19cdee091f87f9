// profile/: machine profiles for hzwkctl and the tests; hzwk.exe never links this folder.
// A machine profile: one Windows PC described in files, so the program's logic can run
// against it on any system (unit tests, hzwkctl, the Wine end-to-end cases).
//
// A profile is a folder holding
//   registry.reg  REGEDIT4: the machine's HKEY_LOCAL_MACHINE values
//   machine.ini   what the machine's operating system answers besides the registry:
//
//     [system]
//     directory=C:\WINDOWS\system32
//     [program]
//     folder=C:\Program Files\Hertzwerk
//     [files]
//     C:\WINDOWS\system32\nv4_disp.dll=6.14.10.3090
//     C:\WINDOWS\system32\nv4.dll=
//     [display]
//     modes=640x480x32@60 640x480x32@75
//     modes=1024x768x16@85
//     [monitors]
//     adapter=\Registry\Machine\System\CurrentControlSet\Control\Video\{...}\0000
//     monitor=MONITOR\SNY0290\{4D36E96E-E325-11CE-BFC1-08002BE10318}\0000
//
// [files] lists each file that exists with its fixed file version (four numbers of
// 0 to 65535), or nothing after '=' for a file without a version resource. [display]
// lists the display modes, WIDTHxHEIGHTxBPP@HZ, in the order the system numbers them;
// several modes= lines are joined in order. A setting's value may hold '=' (so may a
// path under [files]). [monitors] lists what EnumDisplayDevices tells: each adapter's key,
// then the device ID of each monitor attached to it; without it the system lists none.
// Lines starting with ';' or '#' are comments.
// Sections with other names are left to other tools and skipped.
#pragma once

#include <string>
#include <vector>

#include "os/os.h"
#include "profile/memory_registry.h"

namespace hzwk {

struct ProfileFile {
    std::string path;         // as the program names it, e.g. C:\WINDOWS\system32\nv4_disp.dll
    bool hasVersion = false;  // false: the file exists but carries no version resource
    FixedFileVersion version;
};

struct MachineProfile {
    std::string directory;        // the profile's folder on this computer
    std::string systemDirectory;  // empty when the profile gives none
    std::string programFolder;
    std::vector<ProfileFile> files;
    std::vector<DisplayMode> modes;
    std::vector<DisplayAdapter> adapters;

    // The file listed under `path`, compared without regard to ASCII case; null if none.
    const ProfileFile* FindFile(const std::string& path) const;
};

inline constexpr char kProfileRegistryFile[] = "registry.reg";
inline constexpr char kProfileMachineFile[] = "machine.ini";

// Parses machine.ini text. On error (with its line number) `profile` is left unchanged.
bool ParseMachineIni(const std::string& text, MachineProfile& profile, std::string* error);
// The ini text for a profile; parsing it gives the same profile back.
std::string FormatMachineIni(const MachineProfile& profile);

// "a.b.c.d" of a fixed file version, and back (each part 0 to 65535, plain decimal).
std::string FormatFileVersion(const FixedFileVersion& version);
bool ParseFileVersion(const std::string& text, FixedFileVersion* version);

// Reads both files of the profile in `dir`. On success the registry holds exactly the
// profile's values; on error neither the registry nor the profile is changed.
bool LoadMachineProfile(const std::string& dir, MemoryRegistry& registry, MachineProfile& profile,
                        std::string* error);
// Rewrites the profile's registry.reg from `registry` (a temporary file, then renamed).
bool SaveProfileRegistry(const std::string& dir, const MemoryRegistry& registry,
                         std::string* error);

// `dir` + '/' + `name` (just `name` when `dir` is empty).
std::string ProfilePath(const std::string& dir, const std::string& name);

}  // namespace hzwk
