#include "UploadRefusalText.h"

#include "RegisterLabel.h"
#include "RegisterTimeText.h"
#include "RegisterTimeWire.h"
#include "TextTemplate.h"
#include "UploadCheck.h"

#include <string>

namespace tavrel::files {

using records::filledText;

using records::clipNameLengthProblem;
using records::RegisterEntry;
using records::registerLabel;
using records::stringForRegisterTime;
using records::TavrelError;
using records::TavrelErrorDomain;
using records::VRG500_registerTimeNames;
using records::VRG500_registerTimes;

namespace {

std::string windowReason(const UploadProblem& problem) {
    const auto index = static_cast<size_t>(problem.index);
    if (problem.kind == UploadProblem::ClipName) {
        return clipNameLengthProblem(index);
    }
    return filledText(TAVREL_TEXT("Time %1 out of range: %2"),
                      {VRG500_registerTimeNames[index], records::WireTimeLimitsClause});
}

std::string toolReason(const RegisterEntry& entry, const UploadProblem& problem) {
    const auto index = static_cast<size_t>(problem.index);
    if (problem.kind == UploadProblem::ClipName) {
        return std::string("Its clip name for machine ") + static_cast<char>('A' + problem.index) +
               " is " + std::to_string(entry.clips[index].size()) +
               " characters long; the VRG-500 takes exactly 8.";
    }
    return std::string("Its ") + VRG500_registerTimeNames[index] + " time " +
           stringForRegisterTime(entry.reg.*VRG500_registerTimes[index]) +
           " is beyond the VRG-500's limits (" + records::WireTimeLimitsTwoDigits + ").";
}

} // namespace

bool rangeUploadable(const RegisterCollection& registers, records::RegisterRange range,
                     UploadRefusalVoice voice, TavrelError* error) {
    const std::optional<RefusedRegister> refused = firstUploadProblemInRange(registers, range);
    if (!refused) {
        return true;
    }
    if (error) {
        const RegisterEntry& entry = *registers.find(refused->number);
        *error = TavrelError{};
        error->domain = TavrelErrorDomain;
        error->description = filledText(TAVREL_TEXT("Register %1 cannot be uploaded"),
                                        {registerLabel(refused->number)});
        error->recoverySuggestion = voice == UploadRefusalVoice::Window
                                        ? windowReason(refused->problem)
                                        : toolReason(entry, refused->problem);
    }
    return false;
}

} // namespace tavrel::files
