// The simulated device's memory and its command set: the register bank, clip names, menu block,
// version text, register pointer and video standard, and the reply to each command frame.
// Not thread-safe: the simulator guards it with its own lock.
#pragma once

#include "VRG500Codes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavrel::sim {

using RegisterWire = std::array<uint8_t, 34>;
using ClipNamesWire = std::array<uint8_t, 32>;

struct DeviceState {
    static constexpr size_t registerCount = 65536;

    DeviceState();

    // The reply frame to one complete command frame (function code, length byte, payload).
    // Unknown function codes and payloads of the wrong length are answered with NAK. With
    // `wrongRegister`, replies that carry a register number are those of the register after it.
    std::vector<uint8_t> answer(const uint8_t* frame, size_t size, bool wrongRegister = false);

    std::vector<RegisterWire> registers;                 // all null times, trailing bytes 0
    std::vector<std::optional<ClipNamesWire>> clipNames; // none: the request is answered by NAK
    std::array<uint8_t, 32> menu{};
    bool menuAnsweredWithAck = false;
    std::string version;
    uint16_t currentRegister = 0;
    bool videoStandard = false;
};

// Reply frames with a fixed meaning.
namespace simreply {
inline std::vector<uint8_t> ack() {
    return {records::VRG500_reply::acknowledgement, 0x01, records::VRG500_reply::ACK};
}
inline std::vector<uint8_t> nak() {
    return {records::VRG500_reply::acknowledgement, 0x01, records::VRG500_reply::NAK};
}
inline std::vector<uint8_t> boolean(bool value) {
    return {records::VRG500_reply::boolean, 0x01,
            value ? records::VRG500_reply::booleanTrue : records::VRG500_reply::booleanFalse};
}
} // namespace simreply

} // namespace tavrel::sim
