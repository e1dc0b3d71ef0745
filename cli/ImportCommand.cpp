// tavrelctl import -f FORMAT [--first-register N] IN -o OUT.vg2
#include "CommandSupport.h"
#include "Commands.h"
#include "Diagnostics.h"
#include "InterchangeFormats.h"
#include "RegisterDetailLine.h"
#include "RegisterFile.h"

#include <algorithm>

namespace tavrel::cli {

using files::RegisterCollection;
using records::TavrelError;

ExitStatus runImport(const CommandLine& line) {
    std::string problem;
    if (!expectOperands(line, 1, "a file to import (IN)", &problem)) {
        return reportUsageError(problem);
    }
    if (!line.output) {
        return reportUsageError("the import command needs an output file (-o OUT.vg2)");
    }
    const InterchangeFormat* format = chosenFormat(line, false, &problem);
    if (!format) {
        return reportUsageError(problem);
    }
    RegisterCollection registers;
    TavrelError error;
    if (!format->read(line, inputPath(line.operands[0]), &registers, &error)) {
        return reportError(error);
    }
    // The plain form unless a register holds what only the exact form gives back.
    const bool exact =
        std::any_of(registers.begin(), registers.end(), [](const RegisterCollection::Item& item) {
            return files::needsDetailLine(item.second);
        });
    return writeOutput(line, [&](const std::string& path, TavrelError* failure, bool* inPlace) {
        return exact ? files::writeExactRegisterFile(path, registers, failure, inPlace)
                     : files::writeRegisterFile(path, registers, failure, inPlace);
    });
}

} // namespace tavrel::cli
