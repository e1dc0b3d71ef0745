// One register of the collection: its record and the four clip names of machines A to D.
#pragma once

#include "VRG500.h"

#include <array>
#include <string>

namespace tavrel::records {

// The clip name of a machine that has no clip in a register.
inline constexpr const char* NoClipName = "********";

struct RegisterEntry {
    VRG500_register reg{};
    std::array<std::string, 4> clips{NoClipName, NoClipName, NoClipName, NoClipName};
};

} // namespace tavrel::records
