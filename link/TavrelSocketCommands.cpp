// The VRG-500's command set: each command is one exchange and a check of its reply.
#include "CommandReplies.h"
#include "RegisterTimeWire.h"
#include "RegisterWire.h"
#include "TavrelSocket.h"
#include "TextTemplate.h"
#include "VRG500Codes.h"

#include <algorithm>

namespace tavrel::link {

using records::clipNameCanBeSent;
using records::ClipNameLength;
using records::clipNameLengthProblem;
using records::RegisterEntry;
using records::RegisterWire;
using records::tavrelDomainError;
using records::TavrelError;
using records::VRG500_function;
using records::VRG500_menuData;
using records::VRG500_register;
using records::VRG500_registerTime;
using records::VRG500_registerTimes;
using records::VRG500_response;

namespace {

void putBigEndian16(uint8_t* into, uint16_t value) {
    into[0] = static_cast<uint8_t>(value >> 8);
    into[1] = static_cast<uint8_t>(value & 0xFF);
}

} // namespace

bool TavrelSocket::deviceVersion(std::string* version, TavrelError* error) {
    VRG500_response reply;
    return _sendCommandWithFunction(VRG500_function::versionRequest, nullptr, 0, &reply, error) &&
           vrg500reply::version(reply, version, error);
}

bool TavrelSocket::videoStandard(int32_t* standard, TavrelError* error) {
    VRG500_response reply;
    return _sendCommandWithFunction(VRG500_function::videoStandardRequest, nullptr, 0, &reply,
                                    error) &&
           vrg500reply::videoStandard(reply, standard, error);
}

bool TavrelSocket::currentRegisterNumber(uint16_t* number, TavrelError* error) {
    VRG500_response reply;
    return _sendCommandWithFunction(VRG500_function::currentRegisterRequest, nullptr, 0, &reply,
                                    error) &&
           vrg500reply::currentRegisterNumber(reply, number, error);
}

bool TavrelSocket::setCurrentRegisterNumber(uint16_t number, TavrelError* error) {
    uint8_t payload[2];
    putBigEndian16(payload, number);
    VRG500_response reply;
    return _sendCommandWithFunction(VRG500_function::setCurrentRegister, payload, sizeof payload,
                                    &reply, error) &&
           vrg500reply::acknowledged(
               reply, false,
               TAVREL_TEXT("Unexpected response to Set Current Register Number request"), error);
}

bool TavrelSocket::menuData(VRG500_menuData* block, TavrelError* error) {
    const uint8_t payload[2] = {0, 0};
    VRG500_response reply;
    return _sendCommandWithFunction(VRG500_function::menuDataRequest, payload, sizeof payload,
                                    &reply, error) &&
           vrg500reply::menuData(reply, block, error);
}

bool TavrelSocket::setMenuData(const VRG500_menuData& block, TavrelError* error) {
    VRG500_response reply;
    return _sendCommandWithFunction(VRG500_function::menuDataLoad, block.data(), block.size(),
                                    &reply, error) &&
           vrg500reply::acknowledged(reply, true,
                                     TAVREL_TEXT("Unexpected response from Menu Data Load"), error);
}

bool TavrelSocket::registerData(VRG500_register* reg, uint16_t registerNumber, TavrelError* error) {
    RegisterWire wire;
    if (!registerWire(&wire, registerNumber, error)) {
        return false;
    }
    RegisterEntry decoded;
    records::decodeRegisterWire(wire, &decoded);
    *reg = decoded.reg;
    return true;
}

bool TavrelSocket::registerWire(RegisterWire* wire, uint16_t registerNumber, TavrelError* error) {
    uint8_t payload[2];
    putBigEndian16(payload, registerNumber);
    VRG500_response reply;
    return _sendCommandWithFunction(VRG500_function::registerTimeRequest, payload, sizeof payload,
                                    &reply, error) &&
           vrg500reply::registerWire(reply, registerNumber, wire, error);
}

bool TavrelSocket::setRegisterData(VRG500_register reg, uint16_t registerNumber,
                                   TavrelError* error) {
    RegisterEntry entry;
    entry.reg = reg;
    RegisterWire wire;
    // Packing a number beyond the wire form would silently send another time. A null time read
    // from the device goes back with its own bytes, whatever they are.
    if (!records::encodeRegisterWire(entry, &wire)) {
        tavrelDomainError(error, TAVREL_TEXT("Invalid register time for Register Time Load"),
                          std::nullopt, records::WireTimeLimitsSentence);
        return false;
    }
    return setRegisterWire(wire, registerNumber, error);
}

bool TavrelSocket::setRegisterWire(const RegisterWire& wire, uint16_t registerNumber,
                                   TavrelError* error) {
    uint8_t payload[36];
    putBigEndian16(payload, registerNumber);
    std::copy(wire.begin(), wire.end(), payload + 2);
    VRG500_response reply;
    return _sendCommandWithFunction(VRG500_function::registerTimeLoad, payload, sizeof payload,
                                    &reply, error) &&
           vrg500reply::acknowledged(
               reply, false, TAVREL_TEXT("Unexpected response to Register Time Load"), error);
}

bool TavrelSocket::registerTimeOffsetAdd(uint8_t hours, uint8_t minutes, uint8_t seconds,
                                         uint8_t frames, bool deviceA, bool deviceB, bool deviceC,
                                         bool deviceD, uint16_t registerNumber,
                                         TavrelError* error) {
    return _registerAddSubtract(true, hours, minutes, seconds, frames, deviceA, deviceB, deviceC,
                                deviceD, registerNumber, error);
}

bool TavrelSocket::registerTimeOffsetSubtract(uint8_t hours, uint8_t minutes, uint8_t seconds,
                                              uint8_t frames, bool deviceA, bool deviceB,
                                              bool deviceC, bool deviceD, uint16_t registerNumber,
                                              TavrelError* error) {
    return _registerAddSubtract(false, hours, minutes, seconds, frames, deviceA, deviceB, deviceC,
                                deviceD, registerNumber, error);
}

bool TavrelSocket::_registerAddSubtract(bool add, uint8_t hours, uint8_t minutes, uint8_t seconds,
                                        uint8_t frames, bool deviceA, bool deviceB, bool deviceC,
                                        bool deviceD, uint16_t registerNumber, TavrelError* error) {
    VRG500_registerTime offset;
    offset.hours = hours;
    offset.minutes = minutes;
    offset.seconds = seconds;
    offset.frames = frames;
    if (!records::vrg500wire::registerTimeFitsWire(offset)) {
        tavrelDomainError(error, TAVREL_TEXT("Invalid offset for Register Time Offset request"),
                          std::nullopt, records::WireTimeLimitsSentence);
        return false;
    }
    uint8_t payload[7];
    putBigEndian16(payload, registerNumber);
    payload[2] = static_cast<uint8_t>((deviceA ? 0x01 : 0) | (deviceB ? 0x02 : 0) |
                                      (deviceC ? 0x04 : 0) | (deviceD ? 0x08 : 0));
    records::vrg500wire::packRegisterTime(offset, payload + 3);
    VRG500_response reply;
    return _sendCommandWithFunction(add ? VRG500_function::registerTimeOffsetAdd
                                        : VRG500_function::registerTimeOffsetSubtract,
                                    payload, sizeof payload, &reply, error) &&
           vrg500reply::acknowledged(
               reply, false, TAVREL_TEXT("Unexpected response to Register Time Offset request"),
               error);
}

bool TavrelSocket::registerClipName(std::optional<std::string>* clipNameA,
                                    std::optional<std::string>* clipNameB,
                                    std::optional<std::string>* clipNameC,
                                    std::optional<std::string>* clipNameD, uint16_t registerNumber,
                                    TavrelError* error) {
    uint8_t payload[2];
    putBigEndian16(payload, registerNumber);
    VRG500_response reply;
    std::optional<std::string>* names[4] = {clipNameA, clipNameB, clipNameC, clipNameD};
    return _sendCommandWithFunction(VRG500_function::registerClipNameRequest, payload,
                                    sizeof payload, &reply, error) &&
           vrg500reply::clipNames(reply, registerNumber, names, error);
}

bool TavrelSocket::setRegisterClipName(const std::optional<std::string>& clipNameA,
                                       const std::optional<std::string>& clipNameB,
                                       const std::optional<std::string>& clipNameC,
                                       const std::optional<std::string>& clipNameD,
                                       uint16_t registerNumber, TavrelError* error) {
    const std::optional<std::string>* names[4] = {&clipNameA, &clipNameB, &clipNameC, &clipNameD};
    uint8_t payload[2 + 4 * ClipNameLength];
    putBigEndian16(payload, registerNumber);
    for (size_t i = 0; i < 4; ++i) {
        const auto& name = *names[i];
        if (!name || !clipNameCanBeSent(*name)) {
            tavrelDomainError(error, clipNameLengthProblem(i).c_str(), std::nullopt,
                              TAVREL_TEXT("Each clip name must be exactly 8 characters long."));
            return false;
        }
        std::copy_n(name->data(), ClipNameLength, payload + 2 + ClipNameLength * i);
    }
    VRG500_response reply;
    return _sendCommandWithFunction(VRG500_function::registerClipNameLoad, payload, sizeof payload,
                                    &reply, error) &&
           vrg500reply::acknowledged(
               reply, true, TAVREL_TEXT("Unexpected response to Register Clip Name Load"), error);
}

} // namespace tavrel::link
