#include "TimecodeArithmetic.h"

namespace tavrel::records {

namespace {

// Drop frame at 30: two labels skipped a minute, except every tenth minute.
constexpr int64_t DroppedPerMinute = 2;
constexpr int64_t DropFrameMinute = 60 * 30 - DroppedPerMinute; // 1798 frames
constexpr int64_t DropFrameTenMinutes = 10 * 60 * 30 - 9 * 2;   // 17982 frames

bool isRate(int framesPerSecond) {
    return framesPerSecond == 24 || framesPerSecond == 25 || framesPerSecond == 30;
}

bool isRealTime(const VRG500_registerTime& time, int framesPerSecond) {
    const bool dropFrame = time.dropFrame != 0;
    if (time.isNull != 0 || !isRate(framesPerSecond) || time.frames >= framesPerSecond ||
        time.hours > 23 || time.minutes > 59 || time.seconds > 59 ||
        (dropFrame && framesPerSecond != 30)) {
        return false;
    }
    return !(dropFrame && time.seconds == 0 && time.frames < DroppedPerMinute &&
             time.minutes % 10 != 0);
}

int64_t floorMod(int64_t value, int64_t modulus) {
    const int64_t rest = value % modulus;
    return rest < 0 ? rest + modulus : rest;
}

} // namespace

int64_t framesPerDay(int framesPerSecond, bool dropFrame) {
    return dropFrame ? 24 * 6 * DropFrameTenMinutes : int64_t{24} * 3600 * framesPerSecond;
}

std::optional<int64_t> framesOfTime(const VRG500_registerTime& time, int framesPerSecond) {
    if (!isRealTime(time, framesPerSecond)) {
        return std::nullopt;
    }
    const int64_t minutes = int64_t{time.hours} * 60 + time.minutes;
    const int64_t labels =
        (minutes * 60 + time.seconds) * framesPerSecond + time.frames; // as if none were skipped
    if (time.dropFrame == 0) {
        return labels;
    }
    return labels - DroppedPerMinute * (minutes - minutes / 10);
}

VRG500_registerTime timeOfFrames(int64_t frames, int framesPerSecond, bool dropFrame) {
    dropFrame = dropFrame && framesPerSecond == 30;
    int64_t count = floorMod(frames, framesPerDay(framesPerSecond, dropFrame));
    if (dropFrame) {
        // Put back the labels skipped before this frame: two in every minute but the tenths.
        const int64_t tens = count / DropFrameTenMinutes;
        const int64_t rest = count % DropFrameTenMinutes;
        const int64_t laterMinutes =
            rest < DroppedPerMinute ? 0 : (rest - DroppedPerMinute) / DropFrameMinute;
        count += DroppedPerMinute * (9 * tens + laterMinutes);
    }
    VRG500_registerTime time;
    time.frames = static_cast<uint8_t>(count % framesPerSecond);
    const int64_t seconds = count / framesPerSecond;
    time.seconds = static_cast<uint8_t>(seconds % 60);
    time.minutes = static_cast<uint8_t>(seconds / 60 % 60);
    time.hours = static_cast<uint8_t>(seconds / 3600);
    time.dropFrame = dropFrame ? 1 : 0;
    return time;
}

} // namespace tavrel::records
