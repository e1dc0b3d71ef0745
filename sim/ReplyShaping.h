// The faults and canned replies queued for the frames to come, and what each does to a reply.
#pragma once

#include "Vrg500Simulator.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tavrel::sim {

// One queue entry: a fault, or else a canned reply sent as is.
struct ReplyOverride {
    std::optional<Vrg500Fault> fault;
    int count = 5; // garbage bytes
    std::vector<uint8_t> rawReply;
};

// What goes back for one frame: bytes, cut into pieces with a pause before each later piece.
struct ReplyPlan {
    std::vector<uint8_t> bytes;
    std::vector<size_t> pieceStarts; // offsets of the second and later pieces
    std::chrono::milliseconds piecePause{50};
};

// True when the device is to answer as if asked for the next register.
inline bool answersWrongRegister(const std::optional<ReplyOverride>& entry) {
    return entry && entry->fault == Vrg500Fault::WrongRegister;
}

// The device's reply to one frame as the queue entry, if any, changes it.
ReplyPlan shapeReply(std::vector<uint8_t> reply, const std::optional<ReplyOverride>& entry);

} // namespace tavrel::sim
