// tavrelctl show FILE.vg2
#include "CommandSupport.h"
#include "Commands.h"
#include "Diagnostics.h"
#include "PrintableText.h"
#include "RegisterFile.h"
#include "RegisterTimeText.h"

#include <cstdio>

namespace tavrel::cli {

using files::readRegisterFile;
using files::RegisterCollection;
using records::RegisterEntry;
using records::registerLabel;
using records::stringForRegisterTime;
using records::TavrelError;
using records::VRG500_registerTimes;

namespace {

std::string showLine(int32_t number, const RegisterEntry& entry) {
    std::string line = registerLabel(number);
    for (auto time : VRG500_registerTimes) {
        line += " " + stringForRegisterTime(entry.reg.*time);
    }
    line += " " + registerLabel(entry.reg.trailingByte1);
    line += " " + registerLabel(entry.reg.trailingByte2);
    // Clip names come from a device through a file: shown escaped, never sent to the terminal
    // as they are.
    for (const auto& clip : entry.clips) {
        line += " " + printableText(clip);
    }
    return line + "\n";
}

} // namespace

ExitStatus runShow(const CommandLine& line) {
    std::string problem;
    if (!expectOperands(line, 1, "a register file (FILE.vg2)", &problem)) {
        return reportUsageError(problem);
    }
    RegisterCollection registers;
    TavrelError error;
    if (!readRegisterFile(line.operands[0], &registers, &error)) {
        return reportError(error);
    }
    for (const auto& [number, entry] : registers) {
        printBytes(showLine(number, entry));
    }
    return ExitSuccess;
}

} // namespace tavrel::cli
