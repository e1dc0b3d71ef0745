// What an upload that never writes blind reads and writes, decided from the registers alone (no
// I/O). It reads the registers of its range that it would send, writes only those the device
// lacks or holds otherwise (sameRegister), and sends each over what the device holds
// (keepingDeviceBytes). The window's safe upload and tavrelctl's upload (--changed-only, --backup)
// both follow it.
#pragma once

#include "RegisterCollection.h"
#include "RegisterEntry.h"
#include "RegisterRange.h"

#include <cstdint>
#include <vector>

namespace tavrel::files {

// The numbers of the registers of `source` in `range`, ascending: what an upload of the range
// sends, and so what it reads from the device first.
std::vector<int32_t> registersToRead(const RegisterCollection& source,
                                     records::RegisterRange range);

// Those of registersToRead(source, range) that `device` (the registers read) does not hold, or
// holds otherwise than `source` by sameRegister; ascending.
std::vector<int32_t> registersToWrite(const RegisterCollection& source,
                                      const RegisterCollection& device,
                                      records::RegisterRange range);

// What to send so that a register holds `wanted`: over `held`, what the device holds there,
// keepingDeviceBytes(wanted, *held); with nothing read there (null), `wanted` as it is.
records::RegisterEntry registerToSend(const records::RegisterEntry& wanted,
                                      const records::RegisterEntry* held);

// The registers of `source` numbered as `numbers` (ascending) says; a number it does not hold is
// passed over.
RegisterCollection onlyRegisters(const RegisterCollection& source,
                                 const std::vector<int32_t>& numbers);

} // namespace tavrel::files
