// Kept apart from the profile code so the program itself links no stream library.
#include "os/os.h"

namespace hzwk {

std::string FormatFileVersion(const FixedFileVersion& v) {
    return std::to_string(v.ms >> 16) + "." + std::to_string(v.ms & 0xFFFF) + "." +
           std::to_string(v.ls >> 16) + "." + std::to_string(v.ls & 0xFFFF);
}

}  // namespace hzwk
