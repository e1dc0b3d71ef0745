// What the device cannot take from a register entry: a clip name that is not exactly 8
// characters, or a time that is not null and lies beyond the wire form (a number above 99, frames
// 40 or more). A null time goes back with the bytes it came with, so its numbers are not checked,
// and so does a time whose device bytes the entry kept (timeCanBeSent).
// An upload checks every register of its range with this before it sends anything at all, so a
// refused register never leaves the device half updated. The application and tavrelctl share
// this policy; each words the refusal in its own voice.
#pragma once

#include "RegisterCollection.h"
#include "RegisterEntry.h"
#include "RegisterRange.h"

#include <cstdint>
#include <optional>

namespace tavrel::files {

struct UploadProblem {
    enum Kind { ClipName, Time } kind;
    int index; // machine 0..3 (A..D) for a clip name, 0..7 in record order for a time (the
               // index into VRG500_registerTimes and VRG500_registerTimeNames)
};

// The first problem, clip names A to D first, then the times in record order; none when the
// entry can be sent as it stands.
std::optional<UploadProblem> firstUploadProblem(const records::RegisterEntry& entry);

// A register of an upload's range that cannot be sent as it stands, and its first problem.
struct RefusedRegister {
    int32_t number;
    UploadProblem problem;
};

// The lowest-numbered register of `registers` in `range` that cannot be sent; none when the whole
// range can be.
std::optional<RefusedRegister> firstUploadProblemInRange(const RegisterCollection& registers,
                                                         records::RegisterRange range);

} // namespace tavrel::files
