#include "SafeUploadPlan.h"

#include "RegisterEquivalence.h"

namespace tavrel::files {

using records::RegisterEntry;
using records::RegisterRange;

std::vector<int32_t> registersToRead(const RegisterCollection& source, RegisterRange range) {
    std::vector<int32_t> numbers;
    for (const auto& [number, entry] : source) {
        if (range.contains(number)) {
            numbers.push_back(number);
        }
    }
    return numbers;
}

std::vector<int32_t> registersToWrite(const RegisterCollection& source,
                                      const RegisterCollection& device, RegisterRange range) {
    std::vector<int32_t> numbers;
    for (const int32_t number : registersToRead(source, range)) {
        const RegisterEntry* held = device.find(number);
        if (held == nullptr || !sameRegister(*held, *source.find(number))) {
            numbers.push_back(number);
        }
    }
    return numbers;
}

RegisterEntry registerToSend(const RegisterEntry& wanted, const RegisterEntry* held) {
    return held != nullptr ? keepingDeviceBytes(wanted, *held) : wanted;
}

RegisterCollection onlyRegisters(const RegisterCollection& source,
                                 const std::vector<int32_t>& numbers) {
    RegisterCollection chosen;
    chosen.reserve(numbers.size());
    for (const int32_t number : numbers) {
        if (const RegisterEntry* entry = source.find(number)) {
            chosen.set(number, *entry);
        }
    }
    return chosen;
}

} // namespace tavrel::files
