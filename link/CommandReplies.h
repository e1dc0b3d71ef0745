// What each command accepts as its reply, and how the reply is decoded. Each decoder fills its
// results only when it returns true; otherwise it builds the command's unexpected-reply error.
#pragma once

#include "RegisterWire.h"
#include "TavrelError.h"
#include "VRG500.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tavrel::link {

namespace vrg500reply {

bool version(const records::VRG500_response& reply, std::string* version,
             records::TavrelError* error);
bool videoStandard(const records::VRG500_response& reply, int32_t* standard,
                   records::TavrelError* error);
bool currentRegisterNumber(const records::VRG500_response& reply, uint16_t* number,
                           records::TavrelError* error);
bool menuData(const records::VRG500_response& reply, records::VRG500_menuData* block,
              records::TavrelError* error);
bool registerWire(const records::VRG500_response& reply, uint16_t askedFor,
                  records::RegisterWire* wire, records::TavrelError* error);
bool registerData(const records::VRG500_response& reply, uint16_t askedFor,
                  records::VRG500_register* reg, records::TavrelError* error);
bool clipNames(const records::VRG500_response& reply, uint16_t askedFor,
               std::optional<std::string>* names[4], records::TavrelError* error);

// Replies to the load and set commands: an ACK, or (when `nakAccepted`) an ACK or a NAK.
bool acknowledged(const records::VRG500_response& reply, bool nakAccepted, const char* unexpected,
                  records::TavrelError* error);

} // namespace vrg500reply

} // namespace tavrel::link
