// The VRG-500's records: one register time, one register, one classified reply, the menu block.
// All are plain values, copied whole wherever they go.
#pragma once

#include <array>
#include <cstdint>

namespace tavrel::records {

struct VRG500_registerTime {
    uint8_t hours = 0;
    uint8_t minutes = 0;
    uint8_t seconds = 0;
    uint8_t frames = 0;
    int8_t dropFrame = 0; // non-zero: ";" before the frames
    int8_t isNull = 0;    // non-zero: no time set
};

struct VRG500_register {
    VRG500_registerTime inA, outA, inB, outB, inC, outC, inD, outD;
    uint8_t trailingByte1 = 0;
    uint8_t trailingByte2 = 0;
};

// The eight times in wire and file order: A IN, A OUT, B IN, B OUT, C IN, C OUT, D IN, D OUT.
inline constexpr VRG500_registerTime VRG500_register::*VRG500_registerTimes[8] = {
    &VRG500_register::inA, &VRG500_register::outA, &VRG500_register::inB, &VRG500_register::outB,
    &VRG500_register::inC, &VRG500_register::outC, &VRG500_register::inD, &VRG500_register::outD,
};

// Their names, in the same order, as messages and files show them.
inline constexpr const char* VRG500_registerTimeNames[8] = {"A IN", "A OUT", "B IN", "B OUT",
                                                            "C IN", "C OUT", "D IN", "D OUT"};

// The highest register number: the device addresses its registers with 16 bits.
inline constexpr int32_t HighestRegisterNumber = 65535;

enum VRG500_responseType : int32_t {
    responseNAK = 1,
    responseACK = 2,
    responseFalse = 3,
    responseTrue = 4,
    responseData = 5,
};

struct VRG500_response {
    int32_t type = 0;
    uint8_t code = 0;
    uint8_t data[255] = {};
    uint64_t length = 0;
};

// The device's menu settings: 32 opaque bytes in device order.
using VRG500_menuData = std::array<uint8_t, 32>;

} // namespace tavrel::records
