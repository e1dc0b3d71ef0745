#include "RegisterTimeText.h"

#include "RegisterTimes.h"

#include <gtest/gtest.h>

#include <string>

// Each time's text; a text that the parser takes gives the time back in every field, and its
// text again.
TEST(Timecode, FormatsAndParsesBack) {
    const struct {
        VRG500_registerTime time;
        const char* text;
        bool parsesBack;
    } cases[] = {
        {makeTime(1, 2, 3, 4, 0, 1), "**:**:**:**", false}, // the numbers of an unset time
        {makeTime(1, 2, 3, 4, -1, 7), "**:**:**;**", false},
        {makeTime(165, 0, 0, 0, 0, 0), "165:00:00:00", false}, // a non-decimal BCD digit
        {makeTime(23, 58, 57, 29, 1, 0), "23:58:57;29", true}, // every field its own value
        {makeTime(0, 0, 0, 0, 0, 0), "00:00:00:00", true},
        {makeTime(99, 99, 99, 99, 0, 0), "99:99:99:99", true},
        {makeTime(0, 0, 0, 0, 1, 1), "**:**:**;**", true},
        {makeTime(0, 0, 0, 0, 0, 1), "**:**:**:**", true},
    };
    for (const auto& [time, text, parsesBack] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(stringForRegisterTime(time), text);
        if (parsesBack) {
            VRG500_registerTime parsed = makeTime(7, 7, 7, 7, 5, 5);
            ASSERT_TRUE(parseRegisterTimeText(&parsed, text));
            EXPECT_EQ(fieldsOf(parsed), fieldsOf(time));
            EXPECT_EQ(stringForRegisterTime(parsed), text);
        }
    }
}

TEST(Timecode, RejectsAndLeavesTheRecordUnchanged) {
    using namespace std::string_literals;
    // Which texts are refused at all: the timecode fuzzer, against the patterns. Here, what a
    // refusal says and leaves, also when it comes after every number has been read.
    const std::string cases[] = {"", "**:**:**:04", "01:02:03:04\n", "01:02:03:04\0"s};
    for (const auto& text : cases) {
        VRG500_registerTime time = makeTime(7, 6, 5, 4, 0, 0);
        TavrelError error;
        EXPECT_FALSE(parseRegisterTimeText(&time, text, &error)) << text;
        EXPECT_EQ(error.description, "Invalid timecode representation");
        EXPECT_EQ(error.recoverySuggestion, "The .vg2 file is probably corrupt.");
        EXPECT_EQ(error.domain, "TavrelDomain");
        EXPECT_FALSE(error.failureReason);
        EXPECT_EQ(fieldsOf(time), fieldsOf(makeTime(7, 6, 5, 4, 0, 0))); // the whole record
    }
}
