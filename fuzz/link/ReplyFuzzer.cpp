// Feeds arbitrary reply frames to the classifier and to every command's decoder. The frame is
// handed over in a buffer of exactly the received size, so a read past it is caught.
#include "CommandReplies.h"
#include "ReplyClassification.h"

#include <cstdlib>
#include <cstring>
#include <vector>

using namespace tavrel::link;
using namespace tavrel::records;

namespace {

void decodeWithEveryCommand(const VRG500_response& reply, uint16_t askedFor) {
    std::string version;
    int32_t standard = 0;
    uint16_t number = 0;
    VRG500_menuData block{};
    VRG500_register reg;
    std::optional<std::string> a, b, c, d;
    std::optional<std::string>* names[4] = {&a, &b, &c, &d};
    TavrelError error;
    vrg500reply::version(reply, &version, &error);
    vrg500reply::videoStandard(reply, &standard, &error);
    vrg500reply::currentRegisterNumber(reply, &number, nullptr);
    vrg500reply::menuData(reply, &block, &error);
    vrg500reply::registerData(reply, askedFor, &reg, &error);
    if (vrg500reply::clipNames(reply, askedFor, names, &error) && a && a->size() != 8) {
        std::abort(); // a decoded clip name always has 8 characters
    }
    vrg500reply::acknowledged(reply, true, "unexpected", &error);
    vrg500reply::acknowledged(reply, false, "unexpected", nullptr);
    if (version.size() > reply.length) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) {
        return 0;
    }
    uint16_t askedFor = static_cast<uint16_t>((data[0] << 8) | data[1]);
    data += 2;
    size -= 2;
    // The exchange only ever classifies a complete frame: header plus the announced payload.
    size_t payload = std::min<size_t>(data[1], size - 2);
    std::vector<uint8_t> frame(data, data + 2 + payload);
    frame[1] = static_cast<uint8_t>(payload);
    VRG500_response reply;
    TavrelError error;
    if (classifyReply(frame.data(), &reply, &error)) {
        decodeWithEveryCommand(reply, askedFor);
    }
    return 0;
}
