#include "MachineDuration.h"
#include "RegisterTimeText.h"
#include "RegisterTimes.h"

#include <gtest/gtest.h>

namespace tavrel::records {
namespace {

VRG500_registerTime timeOf(const char* text) {
    VRG500_registerTime time;
    EXPECT_TRUE(parseRegisterTimeText(&time, text)) << text;
    return time;
}

constexpr auto Counted = DurationState::Counted;
constexpr auto AsMarked = DropFrameCount::AsMarked;
constexpr auto Always = DropFrameCount::Always;

// Known durations, each with its text; "" where there is none.
TEST(MachineDuration, KnownDurationsAndWhyThereIsNone) {
    const struct {
        const char *in, *out;
        FrameRate rate;
        DropFrameCount count;
        DurationState state;
        int64_t frames;
        const char* text;
    } rows[] = {
        {"01:00:00:00", "01:00:10:00", FrameRate::Fps25, AsMarked, Counted, 250, "00:00:10:00"},
        {"01:00:10:00", "01:00:08:00", FrameRate::Fps25, AsMarked, Counted, -50, "-00:00:02:00"},
        {"10:00:00:05", "10:00:00:05", FrameRate::Fps24, AsMarked, Counted, 0, "00:00:00:00"},
        {"00:00:00:00", "00:00:01:23", FrameRate::Fps24, AsMarked, Counted, 47, "00:00:01:23"},
        {"23:59:59:00", "00:00:01:00", FrameRate::Fps25, AsMarked, Counted, -2159950,
         "-23:59:58:00"},
        // Drop frame across a minute: 00 and 01 are skipped, so two frames, not four.
        {"00:00:59;28", "00:01:00;02", FrameRate::Fps30, AsMarked, Counted, 2, "00:00:00;02"},
        {"00:00:59:28", "00:01:00:02", FrameRate::Fps30, AsMarked, Counted, 4, "00:00:00:04"},
        {"00:00:59:28", "00:01:00:02", FrameRate::Fps30, Always, Counted, 2, "00:00:00;02"},
        {"00:09:00;02", "00:10:00;00", FrameRate::Fps30, AsMarked, Counted, 1798, "00:00:59;28"},
        {"00:00:00;00", "01:00:00;00", FrameRate::Fps30, AsMarked, Counted, 107892, "01:00:00;00"},
        {"00:00:59;28", "00:01:00:02", FrameRate::Fps30, AsMarked, Counted, 4, "00:00:00;04"},
        // No duration.
        {"01:00:00:00", "01:00:10:00", FrameRate::WireLimits, AsMarked, DurationState::NoRate, 0,
         ""},
        {"**:**:**:**", "01:00:10:00", FrameRate::Fps25, AsMarked, DurationState::Unset, 0, ""},
        {"01:00:00:29", "**:**:**:**", FrameRate::Fps25, AsMarked, DurationState::Unset, 0, ""},
        {"01:00:00:29", "01:00:10:00", FrameRate::Fps25, AsMarked, DurationState::NotATime, 0, ""},
        {"01:00:00;00", "01:00:10;00", FrameRate::Fps25, Always, DurationState::NotATime, 0, ""},
        {"00:00:59:28", "00:01:00:00", FrameRate::Fps30, Always, DurationState::NotATime, 0, ""},
        {"24:00:00:00", "24:00:01:00", FrameRate::Fps30, AsMarked, DurationState::NotATime, 0, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.in) + " " + row.out);
        const MachineDuration duration =
            machineDuration(timeOf(row.in), timeOf(row.out), row.rate, row.count);
        EXPECT_EQ(duration.state, row.state);
        EXPECT_EQ(duration.frames, row.frames);
        EXPECT_EQ(duration.text(), row.text);
        EXPECT_EQ(duration.outBeforeIn(), row.text[0] == '-');
    }
}

} // namespace
} // namespace tavrel::records
