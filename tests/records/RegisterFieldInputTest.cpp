#include "RegisterFieldInput.h"

#include "RegisterEntry.h"
#include "RegisterTimes.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

// What an editor takes: the text form plus blanks and bare asterisks, within the wire's limits and
// the chosen rate's. An empty reason marks an accepted text.
TEST(TimeInput, AcceptsWithinTheRateAndSaysWhyNot) {
    const std::string notATime =
        "Type a time as HH:MM:SS:FF, with \";\" before the frames for drop frame.";
    const std::string wire =
        "The VRG-500 takes hours, minutes and seconds up to 99 and frames up to 39.";
    const std::string day = " frames per second a time goes up to 23:59:59.";
    const std::string dropOnlyAt30 = "Drop frame is used only at 30 frames per second.";
    const std::string dropped = "In drop frame, frames 00 and 01 are skipped at the start of each "
                                "minute except every tenth.";
    using enum FrameRate;
    const struct {
        const char* text;
        FrameRate rate;
        VRG500_registerTime expected;
        std::string reason;
    } cases[] = {
        {" 01:02:03;04\t", WireLimits, makeTime(1, 2, 3, 4, 1, 0), ""},
        {"  ", Fps25, makeTime(0, 0, 0, 0, 0, 1), ""},
        {"***", Fps30, makeTime(0, 0, 0, 0, 0, 1), ""},
        {"**:**:**;**", Fps25, makeTime(0, 0, 0, 0, 1, 1), ""},
        {"99:99:99:39", WireLimits, makeTime(99, 99, 99, 39, 0, 0), ""},
        {"00:00:00:40", WireLimits, {}, wire},
        {"1:02:03:04", WireLimits, {}, notATime},
        {"**:**:**:04", Fps25, {}, notATime},
        {"23:59:59:23", Fps24, makeTime(23, 59, 59, 23, 0, 0), ""},
        {"00:00:00:24", Fps24, {}, "At 24 frames per second the frames go up to 23."},
        {"00:00:00:25", Fps25, {}, "At 25 frames per second the frames go up to 24."},
        {"00:00:00:30", Fps30, {}, "At 30 frames per second the frames go up to 29."},
        {"24:00:00:00", Fps25, {}, "At 25" + day},
        {"00:00:60:00", Fps30, {}, "At 30" + day},
        {"01:00:00;05", Fps25, {}, dropOnlyAt30},
        {"01:10:00;00", Fps30, makeTime(1, 10, 0, 0, 1, 0), ""},
        {"01:11:00;01", Fps30, {}, dropped},
        {"01:11:00;02", Fps30, makeTime(1, 11, 0, 2, 1, 0), ""},
        {"01:11:01;00", Fps30, makeTime(1, 11, 1, 0, 1, 0), ""},
        {"01:11:00:00", Fps30, makeTime(1, 11, 0, 0, 0, 0), ""},
    };
    for (const auto& [text, rate, expected, reason] : cases) {
        SCOPED_TRACE(std::string(text) + " at " + frameRateName(rate));
        VRG500_registerTime time = makeTime(7, 6, 5, 4, 0, 0);
        std::string given;
        EXPECT_EQ(parseTimeInput(text, rate, &time, &given), reason.empty());
        EXPECT_EQ(given, reason);
        EXPECT_EQ(fieldsOf(time), fieldsOf(reason.empty() ? expected : makeTime(7, 6, 5, 4, 0, 0)));
    }
    for (FrameRate rate : {WireLimits, Fps24, Fps25, Fps30}) {
        EXPECT_EQ(frameRateFromName(frameRateName(rate)), rate);
    }
    EXPECT_EQ(frameRateFromName("29.97"), WireLimits);
}

// A result of eight characters is the accepted name, any other the reason. A pasted name keeps
// the bytes above printable ASCII that a typed one may not hold.
TEST(ClipInput, PadsToEightAndSaysWhyNot) {
    const std::string notAscii = "A clip name holds printable ASCII characters only.";
    const std::string control =
        "A clip name cannot hold tabs, line breaks or other control characters.";
    constexpr ClipBytes Typed = ClipBytes::PrintableAscii;
    constexpr ClipBytes Pasted = ClipBytes::Pasted;
    const std::tuple<std::string, ClipBytes, std::string> cases[] = {
        {"SHOT1", Typed, "SHOT1   "},
        {" x", Typed, " x      "},
        {"ABCDEFGH", Typed, "ABCDEFGH"},
        {"", Typed, "********"},
        {"   ", Typed, "********"}, // as a register file reads eight blanks
        {"ABCDEFGHI", Typed, "A clip name has at most 8 characters."},
        {"A,B", Typed, "A clip name cannot hold a comma."},
        {"Caf\xC3\xA9", Typed, notAscii},
        {"A\tB", Typed, notAscii},
        {"A\x7F", Typed, notAscii},
        {"Caf\xE9", Pasted, "Caf\xE9    "},
        {"\x7F\x80\x9F\xA0\xFF", Pasted, "\x7F\x80\x9F\xA0\xFF   "},
        {" ", Pasted, "********"},
        {"A,\xE9", Pasted, "A clip name cannot hold a comma."},
        {"A\tB", Pasted, control},
        {"\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9", Pasted, "A clip name has at most 8 characters."},
    };
    for (const auto& [text, allowed, result] : cases) {
        SCOPED_TRACE(text);
        bool accepted = result.size() == 8;
        std::string clip = "unchanged";
        std::string reason;
        EXPECT_EQ(parseClipInput(text, &clip, &reason, allowed), accepted);
        EXPECT_EQ(accepted ? clip : reason, result);
        EXPECT_EQ(accepted ? reason : clip, accepted ? "" : "unchanged");
    }
    EXPECT_EQ(clipInputText(" x      "), " x");
    EXPECT_EQ(clipInputText(NoClipName), "");
}
