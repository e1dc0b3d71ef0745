// Reading what the device holds before a command compares with it or writes over it: diff, and
// upload's --changed-only and --backup.
#pragma once

#include "Arguments.h"
#include "ExitStatus.h"
#include "RegisterCollection.h"
#include "TavrelSocket.h"

#include <cstdint>
#include <vector>

namespace tavrel::cli {

// The numbers of `range`, ascending: device numbers, as tavrelctl's ranges hold
// (parseRegisterRange).
std::vector<uint16_t> rangeNumbers(records::RegisterRange range);

// Reads the registers `numbers` (ascending) into *registers, one by one, with a progress bar.
// ExitSuccess, or the status of the failure or the interruption once reported.
ExitStatus readDeviceRegisters(link::TavrelSocket& socket, const std::vector<uint16_t>& numbers,
                               files::RegisterCollection* registers);

} // namespace tavrel::cli
