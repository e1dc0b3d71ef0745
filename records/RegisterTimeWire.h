// The four-byte packed-BCD wire form of a register time: frames (with the null and drop-frame
// flags in bits 7 and 6), seconds, minutes, hours.
#pragma once

#include "TextTemplate.h"
#include "VRG500.h"

#include <cstdint>

namespace tavrel::records {

namespace vrg500wire {

// Each half taken at face value: digits above 9 are not rejected.
inline uint8_t parseBCD(uint8_t byte) {
    return static_cast<uint8_t>((byte >> 4) * 10 + (byte & 0x0F));
}

// The inverse of parseBCD for every value it yields: ordinary BCD for 0 to 99, and above that
// the tens digit as large as `maxTens` allows, so that a non-decimal byte read from the device
// (0xFF reads as 165) packs back to the same byte. Values parseBCD never yields keep only the
// nibbles' low bits rather than spilling into the neighbouring field.
inline uint8_t packBCD(uint8_t value, uint8_t maxTens = 15) {
    const int tens = value / 10 < maxTens ? value / 10 : maxTens;
    const int units = (value - tens * 10) & 0x0F;
    return static_cast<uint8_t>((tens << 4) | units);
}

// Inline, as packRegisterTime: every time of a file or a transfer goes through them.
inline void parseRegisterTime(const uint8_t wire[4], VRG500_registerTime* time) {
    time->isNull = (wire[0] & 0x80) ? 1 : 0;
    time->dropFrame = (wire[0] & 0x40) ? 1 : 0;
    time->frames = parseBCD(wire[0] & 0x3F);
    time->seconds = parseBCD(wire[1]);
    time->minutes = parseBCD(wire[2]);
    time->hours = parseBCD(wire[3]);
}
// Whether two times are the same on the wire: the same numbers (those a null time carries too) and
// the same flags, each counted as set or not.
inline bool sameWireTime(const VRG500_registerTime& a, const VRG500_registerTime& b) {
    return a.hours == b.hours && a.minutes == b.minutes && a.seconds == b.seconds &&
           a.frames == b.frames && (a.dropFrame != 0) == (b.dropFrame != 0) &&
           (a.isNull != 0) == (b.isNull != 0);
}
inline void packRegisterTime(VRG500_registerTime time, uint8_t wire[4]) {
    // The frames byte has two bits for the tens digit; the flags sit above them.
    wire[0] = packBCD(time.frames, 3);
    if (time.dropFrame) {
        wire[0] |= 0x40;
    }
    if (time.isNull) {
        wire[0] |= 0x80;
    }
    wire[1] = packBCD(time.seconds);
    wire[2] = packBCD(time.minutes);
    wire[3] = packBCD(time.hours);
}

// True when packing the time would give back the same numbers: hours, minutes and seconds at
// most 99, frames at most 39.
inline bool registerTimeFitsWire(const VRG500_registerTime& t) {
    return t.hours <= 99 && t.minutes <= 99 && t.seconds <= 99 && t.frames <= 39;
}

// True when the time may go to the device: a null time always, as it goes back with the bytes it
// came with; any other time only within the wire form's limits.
inline bool registerTimeCanBeSent(const VRG500_registerTime& t) {
    return t.isNull != 0 || registerTimeFitsWire(t);
}

} // namespace vrg500wire

// The limits registerTimeFitsWire keeps, in the words of each place that refuses a time beyond
// them. The wordings differ, and each reads as its readers know it; the limits are worded here
// only.
// The link's refusal to pack a time, and the window's refusal of an upload after the time's name.
inline constexpr const char* WireTimeLimitsSentence =
    TAVREL_TEXT("Hours, minutes and seconds must be 0 to 99 and frames 0 to 39.");
inline constexpr const char* WireTimeLimitsClause =
    TAVREL_TEXT("hours, minutes and seconds must be 0 to 99 and frames 0 to 39");
// A typed time or offset (RegisterFieldInput).
inline constexpr const char* WireTimeLimitsForInput =
    TAVREL_TEXT("The VRG-500 takes hours, minutes and seconds up to 99 and frames up to 39.");
// tavrelctl's refusal of an upload, where times are shown with two digits a field, and the
// frames' limit its offset command gives with the offset's form.
inline constexpr const char* WireTimeLimitsTwoDigits =
    TAVREL_TEXT("hours, minutes and seconds 00 to 99, frames 00 to 39");
inline constexpr const char* WireFramesLimitTwoDigits = TAVREL_TEXT("frames 00 to 39");

} // namespace tavrel::records
