// A range of register numbers given as its first number and its count.
#pragma once

#include <cstdint>

namespace tavrel::app {

// Registers location to location + length - 1 (not the first/last pair that tavrelctl's range
// option gives).
struct LocationLengthRange {
    uint64_t location = 0;
    uint64_t length = 0;
};

} // namespace tavrel::app
