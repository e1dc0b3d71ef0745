// The four-byte packed-BCD wire form of a register time: frames (with the null and drop-frame
// flags in bits 7 and 6), seconds, minutes, hours.
#pragma once

#include "VRG500.h"

#include <cstdint>

namespace vrg500wire {

// Each half taken at face value: digits above 9 are not rejected.
inline uint8_t parseBCD(uint8_t byte) {
    return static_cast<uint8_t>((byte >> 4) * 10 + (byte & 0x0F));
}

// Exact for 0 to 99.
inline uint8_t packBCD(uint8_t value) {
    return static_cast<uint8_t>(((value / 10) << 4) | (value % 10));
}

void parseRegisterTime(const uint8_t wire[4], VRG500_registerTime* time);
void packRegisterTime(VRG500_registerTime time, uint8_t wire[4]);

// True when packing the time would give back the same numbers: hours, minutes and seconds at
// most 99, frames at most 39.
inline bool registerTimeFitsWire(const VRG500_registerTime& t) {
    return t.hours <= 99 && t.minutes <= 99 && t.seconds <= 99 && t.frames <= 39;
}

} // namespace vrg500wire
