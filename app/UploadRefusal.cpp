#include "UploadRefusal.h"

#include "RegisterLabel.h"
#include "RegisterTimeWire.h"
#include "UploadCheck.h"

#include <string>

namespace tavrel::app {

using files::firstUploadProblemInRange;
using files::RefusedRegister;
using files::RegisterCollection;
using files::UploadProblem;
using records::registerLabel;
using records::TavrelError;
using records::TavrelErrorDomain;
using records::VRG500_registerTimeNames;
using records::WireTimeLimitsClause;

bool rangeUploadable(const RegisterCollection& registers, LocationLengthRange range,
                     TavrelError* error) {
    const std::optional<RefusedRegister> refused = firstUploadProblemInRange(
        registers, {static_cast<int32_t>(range.location),
                    static_cast<int32_t>(range.location + range.length - 1)});
    if (!refused) {
        return true;
    }
    if (error) {
        const UploadProblem& problem = refused->problem;
        const std::string reason =
            problem.kind == UploadProblem::ClipName
                ? std::string("Clip Name ") + static_cast<char>('A' + problem.index) +
                      " not 8 bytes in length"
                : std::string("Time ") + VRG500_registerTimeNames[problem.index] +
                      " out of range: " + WireTimeLimitsClause;
        *error = TavrelError{TavrelErrorDomain, 0,
                             "Register " + registerLabel(refused->number) + " cannot be uploaded",
                             std::nullopt, reason};
    }
    return false;
}

} // namespace tavrel::app
