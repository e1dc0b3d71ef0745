#include "DeviceState.h"

#include "RegisterTimeWire.h"

#include <algorithm>

namespace tavrel::sim {

using records::VRG500_function;
using records::VRG500_registerTime;

namespace {

constexpr int64_t framesPerSecond = 30;
constexpr int64_t framesPerDay = 24 * 60 * 60 * framesPerSecond;

uint16_t readNumber(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] << 8 | bytes[1]);
}

void writeNumber(uint16_t number, uint8_t* bytes) {
    bytes[0] = static_cast<uint8_t>(number >> 8);
    bytes[1] = static_cast<uint8_t>(number);
}

std::vector<uint8_t> dataReply(uint8_t code, const uint8_t* data, size_t length) {
    std::vector<uint8_t> reply(2 + length);
    reply[0] = code;
    reply[1] = static_cast<uint8_t>(length);
    std::copy(data, data + length, reply.begin() + 2);
    return reply;
}

// A data reply of a register number followed by `bytes`.
template <size_t N>
std::vector<uint8_t> numberedReply(uint8_t code, uint16_t number,
                                   const std::array<uint8_t, N>& bytes) {
    std::array<uint8_t, N + 2> data;
    writeNumber(number, data.data());
    std::copy(bytes.begin(), bytes.end(), data.begin() + 2);
    return dataReply(code, data.data(), data.size());
}

int64_t toFrames(const VRG500_registerTime& t) {
    return ((int64_t{t.hours} * 60 + t.minutes) * 60 + t.seconds) * framesPerSecond + t.frames;
}

// Plain 30 frames per second arithmetic on a 24-hour clock; flags are kept, null times untouched.
void shiftTime(uint8_t wire[4], int64_t offset) {
    VRG500_registerTime time;
    records::vrg500wire::parseRegisterTime(wire, &time);
    if (time.isNull) {
        return;
    }
    int64_t total = ((toFrames(time) + offset) % framesPerDay + framesPerDay) % framesPerDay;
    time.frames = static_cast<uint8_t>(total % framesPerSecond);
    total /= framesPerSecond;
    time.seconds = static_cast<uint8_t>(total % 60);
    total /= 60;
    time.minutes = static_cast<uint8_t>(total % 60);
    time.hours = static_cast<uint8_t>(total / 60);
    records::vrg500wire::packRegisterTime(time, wire);
}

std::vector<uint8_t> versionReply(DeviceState& state, const uint8_t*, uint16_t) {
    return dataReply(VRG500_function::versionRequest,
                     reinterpret_cast<const uint8_t*>(state.version.data()),
                     std::min<size_t>(state.version.size(), 255));
}

std::vector<uint8_t> videoStandardReply(DeviceState& state, const uint8_t*, uint16_t) {
    return simreply::boolean(state.videoStandard);
}

std::vector<uint8_t> registerTimeReply(DeviceState& state, const uint8_t* payload, uint16_t shift) {
    const uint16_t number = static_cast<uint16_t>(readNumber(payload) + shift);
    return numberedReply(VRG500_function::registerTimeRequest, number, state.registers[number]);
}

std::vector<uint8_t> currentRegisterReply(DeviceState& state, const uint8_t*, uint16_t shift) {
    std::array<uint8_t, 2> data;
    writeNumber(static_cast<uint16_t>(state.currentRegister + shift), data.data());
    return dataReply(VRG500_function::currentRegisterRequest, data.data(), data.size());
}

std::vector<uint8_t> clipNamesReply(DeviceState& state, const uint8_t* payload, uint16_t shift) {
    const uint16_t number = static_cast<uint16_t>(readNumber(payload) + shift);
    if (state.clipNames[number]) {
        return numberedReply(VRG500_function::registerClipNameRequest, number,
                             *state.clipNames[number]);
    }
    if (shift == 0) {
        return simreply::nak();
    }
    ClipNamesWire blanks; // a wrong register must still come as a well-formed data reply
    blanks.fill(' ');
    return numberedReply(VRG500_function::registerClipNameRequest, number, blanks);
}

std::vector<uint8_t> menuReply(DeviceState& state, const uint8_t*, uint16_t) {
    if (state.menuAnsweredWithAck) {
        return simreply::ack();
    }
    return dataReply(VRG500_function::menuDataRequest, state.menu.data(), state.menu.size());
}

std::vector<uint8_t> loadRegisterTime(DeviceState& state, const uint8_t* payload, uint16_t) {
    std::copy(payload + 2, payload + 36, state.registers[readNumber(payload)].begin());
    return simreply::ack();
}

std::vector<uint8_t> setCurrentRegister(DeviceState& state, const uint8_t* payload, uint16_t) {
    state.currentRegister = readNumber(payload);
    return simreply::ack();
}

// Payload: register number, machine mask (bit 0 is A), offset in the register time wire form.
void shiftRegisterTimes(DeviceState& state, const uint8_t* payload, bool add) {
    VRG500_registerTime offsetTime;
    records::vrg500wire::parseRegisterTime(payload + 3, &offsetTime);
    const int64_t offset = add ? toFrames(offsetTime) : -toFrames(offsetTime);
    RegisterWire& wire = state.registers[readNumber(payload)];
    for (int machine = 0; machine < 4; ++machine) {
        if (payload[2] & (1 << machine)) {
            shiftTime(&wire[machine * 8], offset);     // IN
            shiftTime(&wire[machine * 8 + 4], offset); // OUT
        }
    }
}

std::vector<uint8_t> addOffset(DeviceState& state, const uint8_t* payload, uint16_t) {
    shiftRegisterTimes(state, payload, true);
    return simreply::ack();
}

std::vector<uint8_t> subtractOffset(DeviceState& state, const uint8_t* payload, uint16_t) {
    shiftRegisterTimes(state, payload, false);
    return simreply::ack();
}

std::vector<uint8_t> loadClipNames(DeviceState& state, const uint8_t* payload, uint16_t) {
    ClipNamesWire names;
    std::copy(payload + 2, payload + 34, names.begin());
    state.clipNames[readNumber(payload)] = names;
    return simreply::ack();
}

std::vector<uint8_t> loadMenu(DeviceState& state, const uint8_t* payload, uint16_t) {
    std::copy(payload, payload + 32, state.menu.begin());
    return simreply::ack();
}

// Each command's reply; `shift` is 1 when the reply is to be for the next register.
using Handler = std::vector<uint8_t> (*)(DeviceState& state, const uint8_t* payload,
                                         uint16_t shift);

struct Command {
    uint8_t function;
    size_t payloadLength;
    Handler handler;
};

} // namespace

DeviceState::DeviceState() : registers(registerCount), clipNames(registerCount) {
    RegisterWire empty{};
    for (size_t time = 0; time < 8; ++time) {
        empty[time * 4] = 0x80;
    }
    std::fill(registers.begin(), registers.end(), empty);
    for (size_t i = 0; i < menu.size(); ++i) {
        menu[i] = static_cast<uint8_t>(i);
    }
}

std::vector<uint8_t> DeviceState::answer(const uint8_t* frame, size_t size, bool wrongRegister) {
    static constexpr Command commands[] = {
        {VRG500_function::versionRequest, 0, &versionReply},
        {VRG500_function::videoStandardRequest, 0, &videoStandardReply},
        {VRG500_function::registerTimeRequest, 2, &registerTimeReply},
        {VRG500_function::currentRegisterRequest, 0, &currentRegisterReply},
        {VRG500_function::registerClipNameRequest, 2, &clipNamesReply},
        {VRG500_function::menuDataRequest, 2, &menuReply},
        {VRG500_function::registerTimeLoad, 36, &loadRegisterTime},
        {VRG500_function::setCurrentRegister, 2, &setCurrentRegister},
        {VRG500_function::registerTimeOffsetAdd, 7, &addOffset},
        {VRG500_function::registerTimeOffsetSubtract, 7, &subtractOffset},
        {VRG500_function::registerClipNameLoad, 34, &loadClipNames},
        {VRG500_function::menuDataLoad, 32, &loadMenu},
    };
    for (const Command& command : commands) {
        if (command.function == frame[0]) {
            if (command.payloadLength != size - 2) {
                break;
            }
            return command.handler(*this, frame + 2, wrongRegister ? 1 : 0);
        }
    }
    return simreply::nak();
}

} // namespace tavrel::sim
