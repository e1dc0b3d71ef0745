// tavrelctl download -p PORT [-r RANGE] -o FILE.vg2
#include "CommandSupport.h"
#include "Commands.h"
#include "Diagnostics.h"
#include "Interruption.h"
#include "ProgressBar.h"
#include "RegisterFile.h"
#include "RegisterTransfer.h"

namespace tavrel::cli {

using files::checkRegisterWritable;
using files::RegisterCollection;
using files::writeRegisterFile;
using link::readRegister;
using link::TavrelSocket;
using records::RegisterEntry;
using records::RegisterRange;
using records::TavrelError;

namespace {

// Reads one register into the collection. A register that the file could not hold ends the
// download here, rather than after the rest of a range that may take hours.
bool downloadRegister(TavrelSocket& socket, uint16_t number, RegisterCollection* registers,
                      TavrelError* error) {
    RegisterEntry entry;
    if (!readRegister(socket, number, &entry, error) ||
        !checkRegisterWritable(number, entry, error)) {
        return false;
    }
    registers->set(number, std::move(entry));
    return true;
}

ExitStatus downloadRange(TavrelSocket& socket, RegisterRange range, RegisterCollection* registers) {
    // Device numbers, as tavrelctl's ranges hold (parseRegisterRange).
    const auto first = static_cast<uint32_t>(range.first);
    const auto last = static_cast<uint32_t>(range.last);
    const auto count = static_cast<uint32_t>(range.count());
    ProgressBar bar("Downloading", count);
    TavrelError error;
    for (uint32_t number = first; number <= last; ++number) {
        if (interruptionRequested()) {
            bar.clear();
            return reportInterrupted();
        }
        bar.update(number, number - first);
        if (!downloadRegister(socket, static_cast<uint16_t>(number), registers, &error)) {
            bar.clear();
            return reportFailure(error);
        }
    }
    bar.update(last, count);
    return ExitSuccess;
}

} // namespace

ExitStatus runDownload(const CommandLine& line) {
    std::string problem;
    auto range =
        expectOutputOnly(line, "FILE.vg2", &problem) ? rangeOption(line, &problem) : std::nullopt;
    if (!range) {
        return reportUsageError(problem);
    }
    ExitStatus failure = ExitFailure;
    auto path = requiredPortPath(line, &failure);
    if (!path) {
        return failure;
    }
    if (!checkOutputWritable(line)) {
        return ExitFailure;
    }
    auto socket = connectDevice(*path, &failure);
    if (!socket) {
        return failure;
    }
    RegisterCollection registers;
    registers.reserve(static_cast<size_t>(range->count()));
    ExitStatus status = downloadRange(*socket, *range, &registers);
    if (status != ExitSuccess) {
        return status;
    }
    // Written only now that the whole range is in: any failure above leaves the file as it was.
    return writeOutput(line, [&](const std::string& output, TavrelError* error, bool* inPlace) {
        return writeRegisterFile(output, registers, error, inPlace);
    });
}

} // namespace tavrel::cli
