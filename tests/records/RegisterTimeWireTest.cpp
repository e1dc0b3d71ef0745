#include "RegisterTimeWire.h"

#include "RegisterTimes.h"

#include <gtest/gtest.h>

#include <array>

using namespace vrg500wire;

namespace {
struct WireCase {
    std::array<uint8_t, 4> wire;
    VRG500_registerTime time;
    bool packsBack; // packing the decoded time gives the same bytes
};

} // namespace

TEST(WireForm, DecodesAndPacksVectors) {
    const WireCase cases[] = {
        {{0x29, 0x59, 0x59, 0x23}, makeTime(23, 59, 59, 29, 0, 0), true},
        {{0x69, 0x59, 0x59, 0x23}, makeTime(23, 59, 59, 29, 1, 0), true},
        {{0x80, 0x00, 0x00, 0x00}, makeTime(0, 0, 0, 0, 0, 1), true},
        {{0xC0, 0x00, 0x00, 0x00}, makeTime(0, 0, 0, 0, 1, 1), true},
        {{0x99, 0x00, 0x00, 0x99}, makeTime(99, 0, 0, 19, 0, 1), true},
        {{0x00, 0x1A, 0x00, 0x00}, makeTime(0, 0, 20, 0, 0, 0), false}, // digit above 9
        {{0x39, 0x99, 0x99, 0x99}, makeTime(99, 99, 99, 39, 0, 0), true},
        // Null times with digits above 9, as a device may hold them: each half at face value,
        // and back to the same bytes.
        {{0xFF, 0xFF, 0xFF, 0xFF}, makeTime(165, 165, 165, 45, 1, 1), true},
        {{0xBA, 0xA5, 0xFA, 0xE0}, makeTime(140, 160, 105, 40, 0, 1), true},
        {{0x8F, 0x00, 0x00, 0x00}, makeTime(0, 0, 0, 15, 0, 1), false}, // 15 packs as 0x15
    };
    for (const auto& c : cases) {
        VRG500_registerTime decoded;
        parseRegisterTime(c.wire.data(), &decoded);
        EXPECT_EQ(fieldsOf(decoded), fieldsOf(c.time));
        std::array<uint8_t, 4> packed{};
        packRegisterTime(decoded, packed.data());
        EXPECT_EQ(packed == c.wire, c.packsBack) << int(c.wire[0]) << " " << int(c.wire[1]);
    }
}

TEST(WireForm, AnyNonZeroFlagPacksAsItsBit) {
    std::array<uint8_t, 4> packed{};
    packRegisterTime(makeTime(1, 2, 3, 4, -1, 0), packed.data());
    EXPECT_EQ(packed, (std::array<uint8_t, 4>{0x44, 0x03, 0x02, 0x01}));
    packRegisterTime(makeTime(1, 2, 3, 4, 0, -1), packed.data());
    EXPECT_EQ(packed[0], 0x84);
}

TEST(WireForm, EveryTimeWithinTheLimitsRoundTrips) {
    for (int value = 0; value <= 99; ++value) {
        for (int flags = 0; flags < 4; ++flags) {
            auto time = makeTime(value, 99 - value, value, value % 40, flags & 1, flags >> 1);
            ASSERT_TRUE(registerTimeFitsWire(time));
            std::array<uint8_t, 4> packed{};
            packRegisterTime(time, packed.data());
            VRG500_registerTime back;
            parseRegisterTime(packed.data(), &back);
            EXPECT_EQ(fieldsOf(back), fieldsOf(time));
        }
    }
}

// What the wire form carries, and what may go to the device: any null time, as it goes back with
// the bytes it came with, and a time that is not null only within the wire's limits.
TEST(WireForm, WhatFitsAndWhatCanBeSent) {
    const struct {
        VRG500_registerTime time;
        bool fits;
        bool canBeSent;
    } cases[] = {
        {makeTime(99, 0, 0, 39, 0, 0), true, true},
        {makeTime(100, 0, 0, 0, 0, 0), false, false},
        {makeTime(0, 0, 0, 40, 0, 0), false, false},
        {makeTime(0, 0, 0, 40, 1, 0), false, false},
        {makeTime(165, 165, 165, 45, 1, 1), false, true},
    };
    for (const auto& [time, fits, canBeSent] : cases) {
        SCOPED_TRACE(::testing::PrintToString(fieldsOf(time)));
        EXPECT_EQ(registerTimeFitsWire(time), fits);
        EXPECT_EQ(registerTimeCanBeSent(time), canBeSent);
    }
}
