// The first byte of every frame: the function of a request, the kind of a fixed reply, and the
// one payload byte of an acknowledgement. The link sends these and the simulator answers them,
// so both name them from here. Each load command's code is its request's code plus 0x20.
#pragma once

#include <cstdint>

namespace tavrel::records {

struct VRG500_function {
    static constexpr uint8_t versionRequest = 0x11;
    static constexpr uint8_t videoStandardRequest = 0x12;
    static constexpr uint8_t registerTimeRequest = 0x20;
    static constexpr uint8_t currentRegisterRequest = 0x21;
    static constexpr uint8_t registerClipNameRequest = 0x25;
    static constexpr uint8_t menuDataRequest = 0x26;
    static constexpr uint8_t registerTimeLoad = 0x40;
    static constexpr uint8_t setCurrentRegister = 0x41;
    static constexpr uint8_t registerTimeOffsetAdd = 0x42;
    static constexpr uint8_t registerTimeOffsetSubtract = 0x43;
    static constexpr uint8_t registerClipNameLoad = 0x45;
    static constexpr uint8_t menuDataLoad = 0x46;
};

// Reply codes with exactly one payload byte; any other code is a data reply.
struct VRG500_reply {
    static constexpr uint8_t acknowledgement = 0x10; // payload ACK or NAK
    static constexpr uint8_t boolean = 0x12;         // payload 0x00 false, 0x01 true
    static constexpr uint8_t ACK = 0x06;
    static constexpr uint8_t NAK = 0x15;
    static constexpr uint8_t booleanFalse = 0x00;
    static constexpr uint8_t booleanTrue = 0x01;
};

} // namespace tavrel::records
