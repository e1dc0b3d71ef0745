// The classification of one reply frame (code, length, payload) into a VRG500_response.
#pragma once

#include "TavrelError.h"
#include "VRG500.h"

#include <cstdint>

namespace tavrel::records {

// Copies the frame at `buffer` into `response` and sets its type. An acknowledgement or boolean
// reply must carry exactly one byte naming its answer; otherwise the reply is refused.
bool classifyReply(const uint8_t* buffer, VRG500_response* response, TavrelError* error);

// Builds an "unexpected reply" error of the device link (no failure reason).
void tavrelUnexpectedReplyError(TavrelError* error, const char* description);

} // namespace tavrel::records
