// A range of register numbers, first to last inclusive, and the named ranges both programs offer:
// tavrelctl's --range takes their names, the window's range sheet offers them as its first choices.
#pragma once

#include <cstdint>

namespace tavrel::records {

// Registers first to last, inclusive. The numbers are those a register collection keys its
// registers by (any int32: a file may hold numbers the device has not); the device's own are 0 to
// HighestRegisterNumber. A range whose last is below its first is empty, as the default one is.
struct RegisterRange {
    int32_t first = 0;
    int32_t last = -1;

    // How many numbers it holds: 0 when empty, up to 2^32 (every int32).
    constexpr int64_t count() const { return last < first ? 0 : int64_t{last} - first + 1; }
    // Wide enough for a counter that steps one past the last.
    constexpr bool contains(int64_t number) const { return number >= first && number <= last; }

    constexpr bool operator==(const RegisterRange&) const = default;
};

// Every number a collection can hold: what a comparison of two whole files covers.
inline constexpr RegisterRange EveryRegisterNumber{INT32_MIN, INT32_MAX};

// The ranges offered by name, in the order the window's range sheet offers them.
inline constexpr RegisterRange AllRegistersRange{0, 299}; // a transfer's default
inline constexpr RegisterRange FirstHundredRange{0, 99};

struct NamedRegisterRange {
    const char* name; // as tavrelctl's --range takes it
    RegisterRange range;
};

inline constexpr NamedRegisterRange RegisterRangePresets[] = {
    {"all", AllRegistersRange},
    {"first100", FirstHundredRange},
};

} // namespace tavrel::records
