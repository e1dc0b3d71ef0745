#include "ReplyClassification.h"

#include "TextTemplate.h"
#include "VRG500Codes.h"

#include <cstring>

namespace tavrel::records {

namespace {

// The type named by the one payload byte of an acknowledgement or boolean reply, or 0 when the
// byte names none.
int32_t fixedReplyType(uint8_t code, uint8_t byte) {
    if (code == VRG500_reply::acknowledgement) {
        return byte == VRG500_reply::NAK   ? responseNAK
               : byte == VRG500_reply::ACK ? responseACK
                                           : 0;
    }
    return byte == VRG500_reply::booleanFalse  ? responseFalse
           : byte == VRG500_reply::booleanTrue ? responseTrue
                                               : 0;
}

} // namespace

void tavrelUnexpectedReplyError(TavrelError* error, const char* description) {
    tavrelDomainError(error, description);
}

bool classifyReply(const uint8_t* buffer, VRG500_response* response, TavrelError* error) {
    response->code = buffer[0];
    response->length = buffer[1];
    std::memcpy(response->data, buffer + 2, buffer[1]);

    int32_t type = responseData;
    if (response->code == VRG500_reply::acknowledgement ||
        response->code == VRG500_reply::boolean) {
        type = response->length == 1 ? fixedReplyType(response->code, response->data[0]) : 0;
        if (type == 0) {
            tavrelUnexpectedReplyError(error,
                                       TAVREL_TEXT("Unknown response type for boolean response"));
            return false;
        }
    }
    response->type = type;
    return true;
}

} // namespace tavrel::records
