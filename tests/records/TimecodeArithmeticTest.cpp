#include "TimecodeArithmetic.h"
#include "RegisterFieldInput.h"
#include "RegisterTimeText.h"
#include "RegisterTimes.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace tavrel::records {
namespace {

VRG500_registerTime timeOf(const std::string& text) {
    VRG500_registerTime time;
    EXPECT_TRUE(parseRegisterTimeText(&time, text)) << text;
    return time;
}

// Known counts, each read both ways.
TEST(TimecodeArithmetic, CountsKnownTimesBothWays) {
    const struct {
        const char* time;
        int fps;
        int64_t frames;
    } rows[] = {
        {"00:00:00:00", 30, 0},       {"00:00:01:00", 24, 24},      {"01:00:00:00", 25, 90000},
        {"10:00:00:00", 30, 1080000}, {"00:00:59;29", 30, 1799},    {"00:01:00;02", 30, 1800},
        {"00:02:00;02", 30, 3598},    {"00:10:00;00", 30, 17982},   {"01:00:00;00", 30, 107892},
        {"23:59:59;29", 30, 2589407}, {"23:59:59:23", 24, 2073599},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.time);
        EXPECT_EQ(framesOfTime(timeOf(row.time), row.fps), row.frames);
        EXPECT_EQ(stringForRegisterTime(timeOfFrames(row.frames, row.fps, row.time[8] == ';')),
                  row.time);
    }
}

TEST(TimecodeArithmetic, StepsOverTheSkippedLabelsAndRoundMidnight) {
    const struct {
        const char* time;
        int fps;
        int64_t step;
        const char* after;
    } rows[] = {
        {"00:00:59;29", 30, 1, "00:01:00;02"},  {"00:09:59;29", 30, 1, "00:10:00;00"},
        {"00:01:00;02", 30, -1, "00:00:59;29"}, {"00:00:00;00", 30, -1, "23:59:59;29"},
        {"23:59:59:24", 25, 1, "00:00:00:00"},  {"00:00:59:29", 30, 1, "00:01:00:00"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.time);
        const auto frames = framesOfTime(timeOf(row.time), row.fps);
        ASSERT_TRUE(frames);
        EXPECT_EQ(
            stringForRegisterTime(timeOfFrames(*frames + row.step, row.fps, row.time[8] == ';')),
            row.after);
    }
}

// Counting takes exactly the times an editor takes at that rate.
TEST(TimecodeArithmetic, CountsTheTimesTheEditorTakes) {
    const std::pair<int, FrameRate> rates[] = {
        {24, FrameRate::Fps24}, {25, FrameRate::Fps25}, {30, FrameRate::Fps30}};
    std::mt19937 random(7);
    std::uniform_int_distribution<int> hours(0, 30), sixty(0, 62), frames(0, 39), coin(0, 1);
    for (int i = 0; i < 20000; ++i) {
        const VRG500_registerTime time =
            makeTime(hours(random), sixty(random), sixty(random) % 4 == 0 ? 0 : sixty(random),
                     frames(random) % 5 == 0 ? 0 : frames(random), coin(random), 0);
        for (const auto& [fps, rate] : rates) {
            VRG500_registerTime typed;
            const std::string text = stringForRegisterTime(time);
            EXPECT_EQ(parseTimeInput(text, rate, &typed, nullptr),
                      framesOfTime(time, fps).has_value())
                << text << " at " << fps;
        }
    }
    EXPECT_FALSE(framesOfTime(makeTime(0, 0, 0, 0, 0, 1), 25)); // unset
}

// A duration added and taken away again gives the time back, at every rate, across midnight.
TEST(TimecodeArithmetic, AddingThenSubtractingADurationGivesTheTimeBack) {
    const std::pair<int, bool> rates[] = {{24, false}, {25, false}, {30, false}, {30, true}};
    std::mt19937_64 random(11);
    for (const auto& [fps, dropFrame] : rates) {
        const int64_t day = framesPerDay(fps, dropFrame);
        std::uniform_int_distribution<int64_t> anyFrame(0, day - 1), anyDuration(-2 * day, 2 * day);
        for (int i = 0; i < 20000; ++i) {
            const int64_t start = anyFrame(random);
            const int64_t duration = anyDuration(random);
            const VRG500_registerTime time = timeOfFrames(start, fps, dropFrame);
            ASSERT_EQ(framesOfTime(time, fps), start) << stringForRegisterTime(time);
            const VRG500_registerTime later = timeOfFrames(start + duration, fps, dropFrame);
            const auto laterFrames = framesOfTime(later, fps);
            ASSERT_TRUE(laterFrames) << stringForRegisterTime(later);
            EXPECT_EQ(*laterFrames, ((start + duration) % day + day) % day);
            EXPECT_EQ(fieldsOf(timeOfFrames(*laterFrames - duration, fps, dropFrame)),
                      fieldsOf(time));
        }
    }
}

} // namespace
} // namespace tavrel::records
