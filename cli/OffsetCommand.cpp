// tavrelctl offset add|subtract -p PORT -n REGISTER [-m MACHINES] TIMECODE
#include "CommandSupport.h"
#include "Commands.h"
#include "Diagnostics.h"
#include "RegisterFieldInput.h"
#include "RegisterTimeWire.h"

namespace tavrel::cli {

using records::parseOffsetInput;
using records::TavrelError;
using records::VRG500_registerTime;
using records::WireFramesLimitTwoDigits;

namespace {

struct OffsetRequest {
    bool add = true;
    uint16_t registerNumber = 0;
    Machines machines{true, true, true, true};
    VRG500_registerTime offset;
};

std::optional<OffsetRequest> parseOffsetRequest(const CommandLine& line, std::string* problem) {
    if (!expectOperands(line, 2, "add or subtract and a TIMECODE", problem)) {
        return std::nullopt;
    }
    OffsetRequest request;
    const std::string& action = line.operands[0];
    if (action != "add" && action != "subtract") {
        *problem = "the offset command takes add or subtract, not '" + action + "'";
        return std::nullopt;
    }
    request.add = action == "add";
    if (!line.registerNumber) {
        *problem = "the offset command needs a register (-n REGISTER)";
        return std::nullopt;
    }
    auto number = parseRegisterNumber(*line.registerNumber);
    if (!number) {
        *problem = "bad register '" + *line.registerNumber + "': use a number from 0 to 65535";
        return std::nullopt;
    }
    request.registerNumber = *number;
    if (line.machines) {
        auto machines = parseMachines(*line.machines);
        if (!machines) {
            *problem =
                "bad machines '" + *line.machines + "': use letters from ABCD, each at most once";
            return std::nullopt;
        }
        request.machines = *machines;
    }
    if (!parseOffsetInput(line.operands[1], &request.offset)) {
        *problem = "bad timecode '" + line.operands[1] + "': use HH:MM:SS:FF, two digits each, " +
                   WireFramesLimitTwoDigits;
        return std::nullopt;
    }
    return request;
}

} // namespace

ExitStatus runOffset(const CommandLine& line) {
    std::string problem;
    auto request = parseOffsetRequest(line, &problem);
    if (!request) {
        return reportUsageError(problem);
    }
    ExitStatus failure = ExitFailure;
    auto path = requiredPortPath(line, &failure);
    auto socket = path ? openPort(*path, &failure) : nullptr;
    if (!socket) {
        return failure;
    }
    const VRG500_registerTime& t = request->offset;
    const Machines& m = request->machines;
    TavrelError error;
    bool sent =
        request->add
            ? socket->registerTimeOffsetAdd(t.hours, t.minutes, t.seconds, t.frames, m.a, m.b, m.c,
                                            m.d, request->registerNumber, &error)
            : socket->registerTimeOffsetSubtract(t.hours, t.minutes, t.seconds, t.frames, m.a, m.b,
                                                 m.c, m.d, request->registerNumber, &error);
    if (!sent) {
        return reportFailure(error);
    }
    return ExitSuccess;
}

} // namespace tavrel::cli
