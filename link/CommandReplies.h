// What each command accepts as its reply, and how the reply is decoded. Each decoder fills its
// results only when it returns true; otherwise it builds the command's unexpected-reply error.
#pragma once

#include "TavrelError.h"
#include "VRG500.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tavrel::link {

namespace vrg500reply {

bool version(const VRG500_response& reply, std::string* version, TavrelError* error);
bool videoStandard(const VRG500_response& reply, int32_t* standard, TavrelError* error);
bool currentRegisterNumber(const VRG500_response& reply, uint16_t* number, TavrelError* error);
bool menuData(const VRG500_response& reply, VRG500_menuData* block, TavrelError* error);
bool registerData(const VRG500_response& reply, uint16_t askedFor, VRG500_register* reg,
                  TavrelError* error);
bool clipNames(const VRG500_response& reply, uint16_t askedFor,
               std::optional<std::string>* names[4], TavrelError* error);

// Replies to the load and set commands: an ACK, or (when `nakAccepted`) an ACK or a NAK.
bool acknowledged(const VRG500_response& reply, bool nakAccepted, const char* unexpected,
                  TavrelError* error);

} // namespace vrg500reply

} // namespace tavrel::link
