// Register times for the tests.
#pragma once

#include "VRG500.h"

#include <tuple>

using namespace tavrel::records;

inline VRG500_registerTime makeTime(int h, int m, int s, int f, int drop, int null) {
    return {uint8_t(h), uint8_t(m), uint8_t(s), uint8_t(f), int8_t(drop), int8_t(null)};
}

// Every field of `t`, as numbers, so that a failed comparison shows them all.
inline auto fieldsOf(const VRG500_registerTime& t) {
    return std::tuple(int(t.hours), int(t.minutes), int(t.seconds), int(t.frames), int(t.dropFrame),
                      int(t.isNull));
}
