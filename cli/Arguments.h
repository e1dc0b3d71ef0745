// The values of tavrelctl's options: register ranges, machine letters and register numbers. Each
// parser returns nothing for text that is not exactly of its form. (An offset is read by
// records::parseOffsetInput, as the application reads it.)
#pragma once

#include "RegisterRange.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tavrel::cli {

// The name of one of records::RegisterRangePresets ("all": 0 to 299, "first100": 0 to 99), "N-M"
// or "N", with 0 <= N <= M <= 65535: the device's numbers only.
std::optional<records::RegisterRange> parseRegisterRange(const std::string& text);

struct Machines {
    bool a = false, b = false, c = false, d = false;
};

// Letters from ABCD, any order and case, each at most once, at least one.
std::optional<Machines> parseMachines(const std::string& text);

// A register number, 0 to 65535, in decimal digits.
std::optional<uint16_t> parseRegisterNumber(const std::string& text);

} // namespace tavrel::cli
