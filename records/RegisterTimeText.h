// The text form of a register time: "HH:MM:SS:FF", ";" before the frames for drop-frame,
// asterisks for a null time. The one home of that form: the link, the register files and the
// tools all write and read times through these.
#pragma once

#include "TavrelError.h"
#include "VRG500.h"

#include <string>
#include <string_view>

namespace tavrel::records {

// Characters of a time's text form.
inline constexpr size_t RegisterTimeTextLength = 11;

std::string stringForRegisterTime(VRG500_registerTime time);

// Whether the text form shows the time as it is: a null time always, else only numbers of two
// digits (a number above 99, from bytes that are not decimal, takes three).
inline bool registerTimeFitsText(const VRG500_registerTime& time) {
    return time.isNull != 0 ||
           (time.hours <= 99 && time.minutes <= 99 && time.seconds <= 99 && time.frames <= 99);
}

// Writes the text form into `text` (RegisterTimeTextLength characters, no terminator) without
// allocating, for writers that build whole lines in place. Numbers must be at most 99.
void putRegisterTimeText(const VRG500_registerTime& time, char* text);

// Reads a time from its text form; on failure fills `error` (when given) and leaves `time` alone.
bool parseRegisterTimeText(VRG500_registerTime* time, std::string_view text,
                           TavrelError* error = nullptr);

} // namespace tavrel::records
