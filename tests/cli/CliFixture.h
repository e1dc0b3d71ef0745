// A simulated VRG-500 on a pseudo-terminal, a temporary folder, and helpers to build the bytes
// that the device holds and receives.
#pragma once

#include "RegisterEntry.h"
#include "RegisterTimeWire.h"
#include "TempFolder.h"
#include "ToolProcess.h"
#include "Vrg500Simulator.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

using Frame = std::vector<uint8_t>;

inline VRG500_registerTime makeTime(uint8_t h, uint8_t m, uint8_t s, uint8_t f, bool drop = false) {
    VRG500_registerTime t;
    t.hours = h;
    t.minutes = m;
    t.seconds = s;
    t.frames = f;
    t.dropFrame = drop ? 1 : 0;
    return t;
}

inline VRG500_register nullRegister() {
    VRG500_register reg;
    for (auto member : VRG500_registerTimes) {
        (reg.*member).isNull = 1;
    }
    return reg;
}

// The 34 bytes of a register as the device keeps it: eight packed times, two trailing bytes.
inline std::array<uint8_t, 34> registerWire(const VRG500_register& reg) {
    std::array<uint8_t, 34> wire{};
    for (size_t i = 0; i < 8; ++i) {
        vrg500wire::packRegisterTime(reg.*VRG500_registerTimes[i], &wire[i * 4]);
    }
    wire[32] = reg.trailingByte1;
    wire[33] = reg.trailingByte2;
    return wire;
}

inline std::array<uint8_t, 32> clipWire(const std::string& names) {
    std::array<uint8_t, 32> wire{};
    std::memcpy(wire.data(), names.data(), std::min<size_t>(32, names.size()));
    return wire;
}

inline Frame frame(uint8_t function, std::vector<uint8_t> payload = {}) {
    Frame bytes{function, static_cast<uint8_t>(payload.size())};
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    return bytes;
}

inline Frame registerRequest(uint8_t function, uint16_t number) {
    return frame(function, {static_cast<uint8_t>(number >> 8), static_cast<uint8_t>(number)});
}

inline const Frame VersionRequest = frame(0x11);

class CliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string why;
        ASSERT_TRUE(sim.start(&why)) << why;
        port = sim.slavePath();
    }

    std::vector<Frame> frames() const { return sim.receivedFrames(); }

    Vrg500Simulator sim;
    TempFolder folder;
    std::string port;
};
