#include "ReplyClassification.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tavrel::records;

namespace {

struct ClassificationCase {
    std::vector<uint8_t> frame; // code, length, payload
    bool classified;
    int32_t type; // when classified
};

} // namespace

TEST(ReplyClassification, ClassifiesEveryReplyKind) {
    const ClassificationCase cases[] = {
        // ACK, NAK, true, false and data replies, and {0x12, 2, 0, 1}, are in the command table.
        {{0x20, 3, 1, 2, 3}, true, responseData},
        {{0x10, 0}, false, 0},
        {{0x10, 2, 0x06, 0x06}, false, 0},
        {{0x10, 1, 0x07}, false, 0},
        {{0x12, 0}, false, 0},
        {{0x12, 1, 0x02}, false, 0},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> buffer(c.frame);
        buffer.resize(257);
        VRG500_response response;
        response.type = 99;
        TavrelError error;
        EXPECT_EQ(classifyReply(buffer.data(), &response, &error), c.classified);
        VRG500_response again; // no error is built without a place for it
        EXPECT_EQ(classifyReply(buffer.data(), &again, nullptr), c.classified);
        // Code, length and payload are filled whether or not the reply is classified.
        EXPECT_EQ(response.code, c.frame[0]);
        EXPECT_EQ(response.length, c.frame[1]);
        EXPECT_TRUE(std::equal(c.frame.begin() + 2, c.frame.end(), response.data));
        if (c.classified) {
            EXPECT_EQ(response.type, c.type);
        } else {
            EXPECT_EQ(response.type, 99);
            EXPECT_EQ(error.description, "Unknown response type for boolean response");
            EXPECT_EQ(error.recoverySuggestion, TavrelDeviceRecoverySuggestion);
            EXPECT_FALSE(error.failureReason);
        }
    }
}
