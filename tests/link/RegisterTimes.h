// Register times for the tests.
#pragma once

#include "VRG500.h"

#include <gtest/gtest.h>

inline VRG500_registerTime makeTime(int h, int m, int s, int f, int drop, int null) {
    VRG500_registerTime t;
    t.hours = static_cast<uint8_t>(h);
    t.minutes = static_cast<uint8_t>(m);
    t.seconds = static_cast<uint8_t>(s);
    t.frames = static_cast<uint8_t>(f);
    t.dropFrame = static_cast<int8_t>(drop);
    t.isNull = static_cast<int8_t>(null);
    return t;
}

inline void expectSameTime(const VRG500_registerTime& a, const VRG500_registerTime& b) {
    EXPECT_EQ(a.hours, b.hours);
    EXPECT_EQ(a.minutes, b.minutes);
    EXPECT_EQ(a.seconds, b.seconds);
    EXPECT_EQ(a.frames, b.frames);
    EXPECT_EQ(a.dropFrame, b.dropFrame);
    EXPECT_EQ(a.isNull, b.isNull);
}
