// Counting with times at a real frame rate: a time as the frames from 00:00:00:00, and back. At
// 30 frames per second a time marked drop frame (";" before the frames) counts NTSC's 29.97: the
// labels 00 and 01 are skipped at the start of each minute except every tenth, so that
// 00:00:59;29 plus one frame is 00:01:00;02. Durations (OUT - IN) and offsets are differences of
// these counts. Only real times count: the ones RegisterFieldInput takes at that rate.
#pragma once

#include "VRG500.h"

#include <cstdint>
#include <optional>

namespace tavrel::records {

// Frames in a day at `framesPerSecond`, drop frame or not.
int64_t framesPerDay(int framesPerSecond, bool dropFrame);

// The frames from 00:00:00:00 to `time` at `framesPerSecond` (24, 25 or 30), counted as drop
// frame when the time is marked so; nothing for a time that is unset or not a real time at that
// rate (frames at or above the rate, hours above 23, minutes or seconds above 59, drop frame
// other than at 30, a skipped drop-frame label).
std::optional<int64_t> framesOfTime(const VRG500_registerTime& time, int framesPerSecond);

// The time `frames` after 00:00:00:00 at `framesPerSecond`, drop frame when `dropFrame` (at 30
// only), going round midnight either way.
VRG500_registerTime timeOfFrames(int64_t frames, int framesPerSecond, bool dropFrame);

} // namespace tavrel::records
