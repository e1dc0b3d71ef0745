// A machine's duration: the frames from its IN to its OUT at a chosen frame rate, and that length
// as a timecode. The frames are counted by TimecodeArithmetic, never here: a duration is the
// difference of the two times' counts, written back as a time with timeOfFrames.
//
// The length reads as a time of the same notation: "00:00:10:00", and "00:00:10;00" when it is
// counted in drop frame, where a minute of 1798 frames reads "00:00:59;28". Times are of one day:
// an OUT after midnight with its IN before it reads as an OUT before its IN.
#pragma once

#include "RegisterFieldInput.h"
#include "VRG500.h"

#include <cstdint>
#include <string>

namespace tavrel::records {

// Whether a machine has a duration, and why not.
enum class DurationState {
    Counted,  // both times are real times at the rate
    NoRate,   // FrameRate::WireLimits: there is no rate to count at
    Unset,    // the IN or the OUT is unset
    NotATime, // the IN or the OUT is set but not a real time at the rate (framesOfTime)
};

// How the times are counted at 30 frames per second: each in its own notation (";" before the
// frames is drop frame), or every one in drop frame (29.97, "30df"), whatever its mark.
enum class DropFrameCount { AsMarked, Always };

struct MachineDuration {
    DurationState state = DurationState::NoRate;
    int64_t frames = 0;     // OUT - IN; below zero when the OUT is before the IN
    bool dropFrame = false; // counted in drop frame: the length has ";" before its frames
    std::string length;     // how long, as a timecode: the frames without their sign

    bool counted() const { return state == DurationState::Counted; }
    bool outBeforeIn() const { return counted() && frames < 0; }
    // The length with "-" before it when the OUT is before the IN ("-00:00:02:00"); empty when
    // there is no duration.
    std::string text() const;
};

// The duration from `in` to `out` at `rate`. At 30 a time marked drop frame is counted so, and
// with DropFrameCount::Always every time is (a time marked ":" then is read as its ";" twin, so a
// skipped label such as 00:01:00:00 is not a time); the duration is in drop frame when either
// time is counted in drop frame. At 24 and 25 there is no drop frame: a time marked so is not a
// time, and DropFrameCount::Always changes nothing.
MachineDuration machineDuration(const VRG500_registerTime& in, const VRG500_registerTime& out,
                                FrameRate rate, DropFrameCount count = DropFrameCount::AsMarked);

} // namespace tavrel::records
