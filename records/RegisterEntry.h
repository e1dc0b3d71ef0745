// One register of the collection: its record and the four clip names of machines A to D, and what
// the device held that the record alone cannot give back.
#pragma once

#include "VRG500.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tavrel::records {

// The clip name of a machine that has no clip in a register.
inline constexpr const char* NoClipName = "********";

// A clip name crosses the line as exactly this many bytes, of any value (each shown as the
// Latin-1 character of its code).
inline constexpr size_t ClipNameLength = 8;

// Whether the device can take `name` as a clip name as it stands: exactly ClipNameLength bytes.
// The link refuses to send any other, and an upload checks every register for it first.
bool clipNameCanBeSent(const std::string& name);

// "Clip Name A not 8 bytes in length": a clip name of machine `machine` (0 to 3) that
// clipNameCanBeSent refuses, as the link and the window name it.
std::string clipNameLengthProblem(size_t machine);

// The four bytes of one time as they cross the line: frames (with the flags), seconds, minutes,
// hours.
using RegisterTimeBytes = std::array<uint8_t, 4>;

struct RegisterEntry {
    VRG500_register reg{};
    std::array<std::string, 4> clips{NoClipName, NoClipName, NoClipName, NoClipName};
    // The device answered the clip name request with a negative acknowledgement: it holds no clip
    // names for this register. The clips then read NoClipName; see holdsNoClipNames.
    bool noClipNames = false;
    // For each time in wire order, the bytes the device sent when the record cannot give them back
    // (a BCD digit above 9: 0x1A and 0x20 both read as 20 seconds); all zero otherwise, as zero
    // bytes are a plain decimal time. See deviceTimeBytes.
    std::array<RegisterTimeBytes, 8> deviceBytes{};
};

// A register as a user starts one: its eight times unset ("**:**:**:**") and no clip names.
RegisterEntry blankRegisterEntry();

// Whether the register has no clip names on the device: marked so, with every clip still the
// no-clip name (a clip changed since it was read is a name to send).
bool holdsNoClipNames(const RegisterEntry& entry);

// The device's bytes of time `index` (wire order) when they are kept and still read as the
// record's time (a time changed since it was read goes as its record packs); null otherwise.
const RegisterTimeBytes* deviceTimeBytes(const RegisterEntry& entry, size_t index);

} // namespace tavrel::records
