// tavrelctl export -f FORMAT [-r RANGE] [--frame-rate RATE] [--record-start TIMECODE] FILE.vg2
//                  -o OUT
#include "CommandSupport.h"
#include "Commands.h"
#include "Diagnostics.h"
#include "InterchangeFormats.h"
#include "RegisterFile.h"

namespace tavrel::cli {

using files::readRegisterFile;
using files::RegisterCollection;
using records::TavrelError;

namespace {

// The registers of `range` alone.
RegisterCollection inRange(const RegisterCollection& registers, records::RegisterRange range) {
    RegisterCollection chosen;
    for (const auto& [number, entry] : registers) {
        if (range.contains(number)) {
            chosen.set(number, entry);
        }
    }
    return chosen;
}

} // namespace

ExitStatus runExport(const CommandLine& line) {
    std::string problem;
    if (!expectOperands(line, 1, "a register file (FILE.vg2)", &problem)) {
        return reportUsageError(problem);
    }
    if (!line.output) {
        return reportUsageError("the export command needs an output file (-o OUT)");
    }
    const InterchangeFormat* format = chosenFormat(line, true, &problem);
    // The whole file unless a range is given.
    auto range = !format      ? std::nullopt
                 : line.range ? rangeOption(line, &problem)
                              : std::optional(records::EveryRegisterNumber);
    if (!range) {
        return reportUsageError(problem);
    }
    RegisterCollection registers;
    TavrelError error;
    if (!readRegisterFile(inputPath(line.operands[0]), &registers, &error)) {
        return reportError(error);
    }
    if (line.range) {
        registers = inRange(registers, *range);
    }
    return writeOutput(line, [&](const std::string& path, TavrelError* failure, bool* inPlace) {
        return format->write(line, path, registers, failure, inPlace);
    });
}

} // namespace tavrel::cli
