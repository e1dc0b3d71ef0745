// Plausible register contents for demonstrations and tests, a function of the seed alone: the
// same seed gives the same registers with every compiler and standard library.
#pragma once

#include "DeviceState.h"

#include <cstdint>

namespace tavrel::sim {

// Fills registers 0 to count - 1 (at most all of them): times, trailing bytes and clip names.
void fillSampleRegisters(DeviceState& state, uint32_t seed, int count);

} // namespace tavrel::sim
