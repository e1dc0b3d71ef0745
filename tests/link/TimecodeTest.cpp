#include "TavrelSocket.h"

#include "RegisterTimes.h"

#include <gtest/gtest.h>

#include <string>

using namespace tavrel::link;
using namespace tavrel::records;

TEST(Timecode, Formats) {
    const std::pair<VRG500_registerTime, const char*> cases[] = {
        {makeTime(1, 2, 3, 4, 0, 1), "**:**:**:**"},
        {makeTime(1, 2, 3, 4, -1, 7), "**:**:**;**"},
        {makeTime(165, 0, 0, 0, 0, 0), "165:00:00:00"}, // a non-decimal BCD digit from a device
    };
    for (const auto& [time, text] : cases) {
        EXPECT_EQ(TavrelSocket::stringForRegisterTime(time), text);
    }
}

TEST(Timecode, ParsesAcceptedTexts) {
    const std::pair<const char*, VRG500_registerTime> cases[] = {
        {"23:58:57;29", makeTime(23, 58, 57, 29, 1, 0)}, // every field its own value
        {"00:00:00:00", makeTime(0, 0, 0, 0, 0, 0)},
        {"99:99:99:99", makeTime(99, 99, 99, 99, 0, 0)},
        {"**:**:**;**", makeTime(0, 0, 0, 0, 1, 1)},
        {"**:**:**:**", makeTime(0, 0, 0, 0, 0, 1)},
    };
    for (const auto& [text, expected] : cases) {
        VRG500_registerTime time = makeTime(7, 7, 7, 7, 5, 5);
        ASSERT_TRUE(TavrelSocket::setRegisterTime(&time, text)) << text;
        SCOPED_TRACE(text);
        EXPECT_EQ(fieldsOf(time), fieldsOf(expected));
        EXPECT_EQ(TavrelSocket::stringForRegisterTime(time), text);
    }
}

TEST(Timecode, RejectsAndLeavesTheRecordUnchanged) {
    const std::string cases[] = {
        "23;59:59:29",
        "01:02;03:04",
        "1:02:03:04",
        " 01:02:03:04",
        "01:02:03:04 ",
        "**:**:**:04",
        "01:02:03:04\n",
        "",
        "01:02:03.04",
        "0a:02:03:04",
        std::string("01:02:03:04\0", 12),
    };
    for (const auto& text : cases) {
        VRG500_registerTime time = makeTime(7, 6, 5, 4, 0, 0);
        TavrelError error;
        EXPECT_FALSE(TavrelSocket::setRegisterTime(&time, text, &error)) << text;
        EXPECT_EQ(error.description, "Invalid timecode representation");
        EXPECT_EQ(error.recoverySuggestion, "The .vg2 file is probably corrupt.");
        EXPECT_EQ(error.domain, "TavrelDomain");
        EXPECT_FALSE(error.failureReason);
        EXPECT_EQ(fieldsOf(time), fieldsOf(makeTime(7, 6, 5, 4, 0, 0))); // the whole record
    }
}
