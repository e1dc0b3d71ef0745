#include "MachineDuration.h"

#include "RegisterTimeText.h"
#include "TimecodeArithmetic.h"

#include <optional>

namespace tavrel::records {

namespace {

MachineDuration noDuration(DurationState state) {
    MachineDuration duration;
    duration.state = state;
    return duration;
}

} // namespace

std::string MachineDuration::text() const {
    if (!counted()) {
        return {};
    }
    return outBeforeIn() ? "-" + length : length;
}

MachineDuration machineDuration(const VRG500_registerTime& in, const VRG500_registerTime& out,
                                FrameRate rate, DropFrameCount count) {
    const int fps = framesPerSecond(rate);
    if (fps == 0) {
        return noDuration(DurationState::NoRate);
    }
    if (in.isNull != 0 || out.isNull != 0) {
        return noDuration(DurationState::Unset);
    }
    const auto counted = [fps, count](VRG500_registerTime time) {
        if (count == DropFrameCount::Always && fps == 30) {
            time.dropFrame = 1;
        }
        return framesOfTime(time, fps);
    };
    const std::optional<int64_t> inFrames = counted(in);
    const std::optional<int64_t> outFrames = counted(out);
    if (!inFrames || !outFrames) {
        return noDuration(DurationState::NotATime);
    }
    MachineDuration duration;
    duration.state = DurationState::Counted;
    duration.frames = *outFrames - *inFrames;
    duration.dropFrame =
        fps == 30 && (count == DropFrameCount::Always || in.dropFrame != 0 || out.dropFrame != 0);
    // Within a day either way, so the length never goes round midnight.
    const int64_t frames = duration.frames < 0 ? -duration.frames : duration.frames;
    duration.length = stringForRegisterTime(timeOfFrames(frames, fps, duration.dropFrame));
    return duration;
}

} // namespace tavrel::records
