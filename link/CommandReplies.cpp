#include "CommandReplies.h"

#include "RegisterEntry.h"
#include "RegisterTimeWire.h"
#include "ReplyClassification.h"
#include "TextTemplate.h"

#include <algorithm>

namespace tavrel::link {

using records::ClipNameLength;
using records::RegisterWire;
using records::responseACK;
using records::responseData;
using records::responseFalse;
using records::responseNAK;
using records::responseTrue;
using records::TavrelError;
using records::tavrelUnexpectedReplyError;
using records::VRG500_menuData;
using records::VRG500_register;
using records::VRG500_registerTimes;
using records::VRG500_response;

namespace vrg500reply {

namespace {

bool isData(const VRG500_response& reply, uint64_t length) {
    return reply.type == responseData && reply.length == length;
}

uint16_t bigEndian16(const uint8_t* bytes) {
    return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]);
}

} // namespace

bool version(const VRG500_response& reply, std::string* version, TavrelError* error) {
    if (reply.type != responseData) {
        tavrelUnexpectedReplyError(error, TAVREL_TEXT("Unexpected response to Version request"));
        return false;
    }
    // One byte, one character: bytes above 0x7F are kept as they are.
    version->assign(reinterpret_cast<const char*>(reply.data), reply.length);
    return true;
}

bool videoStandard(const VRG500_response& reply, int32_t* standard, TavrelError* error) {
    if (reply.type != responseFalse && reply.type != responseTrue) {
        tavrelUnexpectedReplyError(error,
                                   TAVREL_TEXT("Unexpected response to Video Standard request"));
        return false;
    }
    *standard = reply.type == responseTrue ? 1 : 0;
    return true;
}

bool currentRegisterNumber(const VRG500_response& reply, uint16_t* number, TavrelError* error) {
    if (!isData(reply, 2)) {
        tavrelUnexpectedReplyError(
            error, TAVREL_TEXT("Unexpected response to Current Register Number request"));
        return false;
    }
    *number = bigEndian16(reply.data);
    return true;
}

bool menuData(const VRG500_response& reply, VRG500_menuData* block, TavrelError* error) {
    if (isData(reply, block->size())) {
        std::copy_n(reply.data, block->size(), block->begin());
        return true;
    }
    if (reply.type == responseACK) {
        block->fill(0);
        return true;
    }
    tavrelUnexpectedReplyError(error, TAVREL_TEXT("Unexpected response from Menu Data Request"));
    return false;
}

bool registerWire(const VRG500_response& reply, uint16_t askedFor, RegisterWire* wire,
                  TavrelError* error) {
    if (!isData(reply, 36)) {
        tavrelUnexpectedReplyError(error,
                                   TAVREL_TEXT("Unexpected response to Register Time request"));
        return false;
    }
    if (bigEndian16(reply.data) != askedFor) {
        tavrelUnexpectedReplyError(
            error, TAVREL_TEXT("Unexpected register number response to Register Time request"));
        return false;
    }
    std::copy(reply.data + 2, reply.data + 36, wire->begin());
    return true;
}

bool registerData(const VRG500_response& reply, uint16_t askedFor, VRG500_register* reg,
                  TavrelError* error) {
    RegisterWire wire;
    if (!registerWire(reply, askedFor, &wire, error)) {
        return false;
    }
    records::RegisterEntry decoded;
    records::decodeRegisterWire(wire, &decoded);
    *reg = decoded.reg;
    return true;
}

bool clipNames(const VRG500_response& reply, uint16_t askedFor,
               std::optional<std::string>* names[4], TavrelError* error) {
    if (isData(reply, 34)) {
        if (bigEndian16(reply.data) != askedFor) {
            tavrelUnexpectedReplyError(
                error, TAVREL_TEXT("Unexpected register number response to Register Time request"));
            return false;
        }
        for (int i = 0; i < 4; ++i) {
            *names[i] = std::string(
                reinterpret_cast<const char*>(reply.data + 2 + ClipNameLength * i), ClipNameLength);
        }
        return true;
    }
    if (reply.type == responseNAK) {
        for (int i = 0; i < 4; ++i) {
            names[i]->reset();
        }
        return true;
    }
    tavrelUnexpectedReplyError(error,
                               TAVREL_TEXT("Unexpected response to Register Clip Name request"));
    return false;
}

bool acknowledged(const VRG500_response& reply, bool nakAccepted, const char* unexpected,
                  TavrelError* error) {
    if (reply.type == responseACK || (nakAccepted && reply.type == responseNAK)) {
        return true;
    }
    tavrelUnexpectedReplyError(error, unexpected);
    return false;
}

} // namespace vrg500reply

} // namespace tavrel::link
