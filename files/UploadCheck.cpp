#include "UploadCheck.h"

#include "RegisterWire.h"

namespace tavrel::files {

using records::RegisterEntry;

std::optional<UploadProblem> firstUploadProblem(const RegisterEntry& entry) {
    for (int machine = 0; machine < 4; ++machine) {
        if (!records::clipNameCanBeSent(entry.clips[static_cast<size_t>(machine)])) {
            return UploadProblem{UploadProblem::ClipName, machine};
        }
    }
    for (int i = 0; i < 8; ++i) {
        if (!records::timeCanBeSent(entry, static_cast<size_t>(i))) {
            return UploadProblem{UploadProblem::Time, i};
        }
    }
    return std::nullopt;
}

std::optional<RefusedRegister> firstUploadProblemInRange(const RegisterCollection& registers,
                                                         records::RegisterRange range) {
    for (const auto& [number, entry] : registers) {
        if (!range.contains(number)) {
            continue;
        }
        if (const std::optional<UploadProblem> problem = firstUploadProblem(entry)) {
            return RefusedRegister{number, *problem};
        }
    }
    return std::nullopt;
}

} // namespace tavrel::files
