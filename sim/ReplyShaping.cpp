#include "ReplyShaping.h"

#include "DeviceState.h"

#include <algorithm>

namespace tavrel::sim {

namespace {

constexpr uint8_t garbageByte = 0x00; // reads as a data reply of length 0

ReplyPlan applyFault(std::vector<uint8_t> reply, Vrg500Fault fault, int count) {
    ReplyPlan plan;
    switch (fault) {
    case Vrg500Fault::NoReply:
        break;
    case Vrg500Fault::TruncatedReply:
        if (reply.size() > 2) {
            reply.pop_back();
        }
        plan.bytes = std::move(reply);
        break;
    case Vrg500Fault::SplitReply:
        plan.pieceStarts = {std::max<size_t>(reply.size() / 3, 1),
                            std::max<size_t>(reply.size() * 2 / 3, 2)};
        std::erase_if(plan.pieceStarts, [&](size_t at) { return at >= reply.size(); });
        plan.bytes = std::move(reply);
        break;
    case Vrg500Fault::TrickledReply:
        // Each byte within the host's gap limit, the whole far beyond any reply's time.
        for (size_t at = 1; at < reply.size(); ++at) {
            plan.pieceStarts.push_back(at);
        }
        plan.piecePause = std::chrono::milliseconds(150);
        plan.bytes = std::move(reply);
        break;
    case Vrg500Fault::GarbageBytes:
        plan.bytes.assign(static_cast<size_t>(std::max(count, 0)), garbageByte);
        plan.bytes.insert(plan.bytes.end(), reply.begin(), reply.end());
        break;
    case Vrg500Fault::WrongRegister:
        plan.bytes = std::move(reply); // the device state built it for the next register
        break;
    case Vrg500Fault::NakInstead:
        plan.bytes = simreply::nak();
        break;
    case Vrg500Fault::AckInstead:
        plan.bytes = simreply::ack();
        break;
    case Vrg500Fault::BooleanInstead:
        plan.bytes = simreply::boolean(true);
        break;
    }
    return plan;
}

} // namespace

ReplyPlan shapeReply(std::vector<uint8_t> reply, const std::optional<ReplyOverride>& entry) {
    if (!entry) {
        return {std::move(reply), {}};
    }
    if (!entry->fault) {
        return {entry->rawReply, {}};
    }
    return applyFault(std::move(reply), *entry->fault, entry->count);
}

} // namespace tavrel::sim
