// One whole register to and from the device: its times, then its clip names. The application's
// transfers and tavrelctl's download and upload move registers through these, so both send the
// same frames in the same order.
#pragma once

#include "RegisterEntry.h"
#include "TavrelError.h"
#include "TavrelSocket.h"

#include <cstdint>

namespace tavrel::link {

// Reads register `number` into `entry`, keeping what the device sent that the record cannot give
// back (see RegisterEntry). A register without clip names (the device answers the clip read with
// a negative acknowledgement) gets the no-clip name for every machine and is marked as having
// none. `entry` is written only on success.
bool readRegister(TavrelSocket& socket, uint16_t number, records::RegisterEntry* entry,
                  records::TavrelError* error = nullptr);

// Sends the times of `entry` (with the device's own bytes where it kept them), then its clip
// names, to register `number`. Stops at the first failure; the link refuses before sending a time
// or clip name it cannot carry.
bool writeRegister(TavrelSocket& socket, uint16_t number, const records::RegisterEntry& entry,
                   records::TavrelError* error = nullptr);

// The same for a register made to be written over what the device holds (keepingDeviceBytes):
// one that holds no clip names (holdsNoClipNames) gets its times only, so that it keeps none.
bool writeRegisterOver(TavrelSocket& socket, uint16_t number, const records::RegisterEntry& entry,
                       records::TavrelError* error = nullptr);

} // namespace tavrel::link
