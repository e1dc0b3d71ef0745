// The wire time of what a simulated device exchanged: every frame it received and the reply it
// gave, in bytes, at 9600 baud with 10 bits per byte (8N1: 960 bytes a second). Also the device's
// registers as they were at the start, which decide the length of a clip name reply and which a
// benchmark sets back before each run.
#pragma once

#include "VRG500Codes.h"
#include "Vrg500Simulator.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

namespace benchwire {

using tavrel::records::VRG500_function;
using tavrel::sim::Vrg500Simulator;

inline constexpr double SecondsPerByte = 10.0 / 9600.0;

// The device's registers 0 to count - 1 as they were at the start.
struct DeviceRegisters {
    std::vector<std::array<uint8_t, 34>> wires;
    std::vector<std::optional<std::array<uint8_t, 32>>> clips;

    static DeviceRegisters of(const Vrg500Simulator& device, int count) {
        DeviceRegisters held;
        for (int number = 0; number < count; ++number) {
            held.wires.push_back(device.registerWire(static_cast<uint16_t>(number)));
            held.clips.push_back(device.clipNames(static_cast<uint16_t>(number)));
        }
        return held;
    }

    void restore(Vrg500Simulator& device) const {
        for (size_t number = 0; number < wires.size(); ++number) {
            device.setRegisterWire(static_cast<uint16_t>(number), wires[number]);
            device.setClipNames(static_cast<uint16_t>(number), clips[number]);
        }
    }
};

// The length of the device's reply to `request`, as the simulator builds it (sim/DeviceState):
// a data reply is a code, a length byte and the data; ACK and NAK are three bytes. A clip name
// request is answered with NAK when the register has no clip names; every run reads a register
// before it writes it, so what the device held at the start decides.
inline size_t replyLength(const std::vector<uint8_t>& request, const DeviceRegisters& start,
                          size_t versionLength, bool* known) {
    const auto number = [&request] { return size_t(request.at(2) << 8 | request.at(3)); };
    switch (request.at(0)) {
    case VRG500_function::versionRequest:
        return 2 + versionLength;
    case VRG500_function::registerTimeRequest:
        return 2 + 2 + 34;
    case VRG500_function::registerClipNameRequest:
        return number() < start.clips.size() && start.clips[number()] ? 2 + 2 + 32 : 3;
    case VRG500_function::registerTimeLoad:
    case VRG500_function::registerClipNameLoad:
        return 3;
    default:
        *known = false;
        return 3;
    }
}

struct Traffic {
    size_t frames = 0;
    size_t requestBytes = 0;
    size_t replyBytes = 0;
    size_t registerWrites = 0; // 0x40 frames
    size_t registerReads = 0;  // 0x20 frames
    double wireSeconds() const {
        return static_cast<double>(requestBytes + replyBytes) * SecondsPerByte;
    }
};

// The frames the device has received since its record was last cleared, with their replies.
inline Traffic trafficOf(const Vrg500Simulator& device, const DeviceRegisters& start,
                         size_t versionLength) {
    Traffic traffic;
    bool known = true;
    for (const std::vector<uint8_t>& frame : device.receivedFrames()) {
        ++traffic.frames;
        traffic.requestBytes += frame.size(); // code, length byte, payload: all on the wire
        traffic.replyBytes += replyLength(frame, start, versionLength, &known);
        traffic.registerWrites += frame.at(0) == VRG500_function::registerTimeLoad;
        traffic.registerReads += frame.at(0) == VRG500_function::registerTimeRequest;
    }
    if (!known) {
        std::fprintf(stderr, "warning: a frame of a kind not counted exactly (taken as 3 bytes)\n");
    }
    return traffic;
}

} // namespace benchwire
