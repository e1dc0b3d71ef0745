// A register's times and trailing bytes as the Register Time commands carry them after the
// register number: eight four-byte times in wire order, then the two trailing bytes. Decoding
// keeps the bytes of a time that its record cannot give back, and encoding sends them back, so a
// register read and written unchanged goes back to the device byte for byte.
#pragma once

#include "RegisterEntry.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace tavrel::records {

using RegisterWire = std::array<uint8_t, 34>;

// Fills the entry's record and its kept device bytes; its clip names are left as they are.
void decodeRegisterWire(const RegisterWire& wire, RegisterEntry* entry);

// Whether time `index` (wire order) of the entry can go to the device as it reads: with its kept
// device bytes, or as a null time (which goes back with the numbers it came with), or within the
// wire form's limits.
bool timeCanBeSent(const RegisterEntry& entry, size_t index);

// The bytes of time `index` (wire order) as the entry sends them: its kept device bytes where
// deviceTimeBytes gives them, else the time packed (which changes a number packing cannot carry:
// see timeCanBeSent).
RegisterTimeBytes timeBytesToSend(const RegisterEntry& entry, size_t index);

// The bytes to send for the entry: each time's bytes as timeBytesToSend gives them. False, with the
// first time that cannot be sent in *refused (when given), when timeCanBeSent refuses one; *wire is
// then unspecified.
bool encodeRegisterWire(const RegisterEntry& entry, RegisterWire* wire, size_t* refused = nullptr);

// Whether the record alone cannot send the bytes back: packing their reading gives other bytes
// (0x1A reads as 20, which packs as 0x20), or a number above 99 that the link refuses to pack.
bool timeBytesNeedKeeping(const RegisterTimeBytes& bytes);

} // namespace tavrel::records
