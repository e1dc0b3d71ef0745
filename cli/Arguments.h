// The values of tavrelctl's options: register ranges, machine letters and register numbers. Each
// parser returns nothing for text that is not exactly of its form. (An offset is read by
// records::parseOffsetInput, as the application reads it.)
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tavrel::cli {

// Registers first to last, inclusive.
struct RegisterRange {
    uint16_t first = 0;
    uint16_t last = 299;
    uint32_t count() const { return uint32_t{last} - first + 1; }
};

// "all" (0 to 299), "first100" (0 to 99), "N-M" or "N", with 0 <= N <= M <= 65535.
std::optional<RegisterRange> parseRegisterRange(const std::string& text);

struct Machines {
    bool a = false, b = false, c = false, d = false;
};

// Letters from ABCD, any order and case, each at most once, at least one.
std::optional<Machines> parseMachines(const std::string& text);

// A register number, 0 to 65535, in decimal digits.
std::optional<uint16_t> parseRegisterNumber(const std::string& text);

} // namespace tavrel::cli
