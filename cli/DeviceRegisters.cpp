#include "DeviceRegisters.h"

#include "CommandSupport.h"
#include "Diagnostics.h"
#include "Interruption.h"
#include "ProgressBar.h"
#include "RegisterTransfer.h"

namespace tavrel::cli {

using files::RegisterCollection;
using link::readRegister;
using link::TavrelSocket;
using records::RegisterEntry;
using records::RegisterRange;
using records::TavrelError;

std::vector<uint16_t> rangeNumbers(RegisterRange range) {
    std::vector<uint16_t> numbers;
    numbers.reserve(static_cast<size_t>(range.count()));
    for (int64_t number = range.first; number <= range.last; ++number) {
        numbers.push_back(static_cast<uint16_t>(number));
    }
    return numbers;
}

ExitStatus readDeviceRegisters(TavrelSocket& socket, const std::vector<uint16_t>& numbers,
                               RegisterCollection* registers) {
    ProgressBar bar("Reading", static_cast<uint32_t>(numbers.size()));
    TavrelError error;
    registers->reserve(numbers.size());
    uint32_t done = 0;
    for (uint16_t number : numbers) {
        if (interruptionRequested()) {
            bar.clear();
            return reportInterrupted();
        }
        bar.update(number, done++);
        RegisterEntry entry;
        if (!readRegister(socket, number, &entry, &error)) {
            bar.clear();
            return reportFailure(error);
        }
        registers->set(number, std::move(entry));
    }
    return ExitSuccess;
}

} // namespace tavrel::cli
