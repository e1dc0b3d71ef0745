// tavrelctl diff A.vg2 B.vg2
// tavrelctl diff -p PORT [-r RANGE] FILE.vg2
#include "CommandSupport.h"
#include "Commands.h"
#include "DeviceRegisters.h"
#include "Diagnostics.h"
#include "Interruption.h"
#include "PrintableText.h"
#include "RegisterComparison.h"
#include "RegisterFile.h"

#include <climits>
#include <cstdio>
#include <new>

namespace tavrel::cli {

using files::compareRegisters;
using files::comparisonLines;
using files::readRegisterFile;
using files::RegisterCollection;
using files::RegisterComparison;
using records::RegisterRange;
using records::TavrelError;

namespace {

// The statuses of diff(1), so that scripts can tell "different" from "could not compare": the
// tool's failure status means "different" here, and every trouble exits as a usage error does.
// An interruption keeps its own status.
constexpr ExitStatus ExitDifferent = ExitFailure;
constexpr ExitStatus ExitTrouble = ExitUsage;

ExitStatus trouble(ExitStatus status) {
    return status == ExitFailure ? ExitTrouble : status;
}

// Names and clip names may hold any byte: every line is shown escaped.
ExitStatus printComparison(const RegisterComparison& comparison, const std::string& leftName,
                           const std::string& rightName) {
    for (const std::string& line : comparisonLines(comparison, leftName, rightName)) {
        printBytes(printableText(line) + "\n");
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fputs("tavrelctl: could not write the output\n", stderr);
        return ExitTrouble;
    }
    return comparison.differences.empty() ? ExitSuccess : ExitDifferent;
}

ExitStatus readFile(const std::string& path, RegisterCollection* registers) {
    TavrelError error;
    return readRegisterFile(path, registers, &error) ? ExitSuccess : trouble(reportError(error));
}

// The device's registers of `range`; *name becomes the port's device path, which names the
// device's side of the comparison (a word such as "device" could be a file's name too).
ExitStatus readDevice(const CommandLine& line, RegisterRange range, RegisterCollection* registers,
                      std::string* name) {
    ExitStatus failure = ExitFailure;
    auto path = requiredPortPath(line, &failure);
    if (!path) {
        return trouble(failure);
    }
    *name = *path;
    auto socket = connectDevice(*path, &failure);
    if (!socket) {
        return trouble(failure);
    }
    return trouble(readDeviceRegisters(*socket, rangeNumbers(range), registers));
}

ExitStatus compare(const CommandLine& line) {
    const bool device = line.port.has_value();
    if (device) {
        // A device command from here on; comparing two files is not one.
        watchForInterruption();
    }
    std::string problem;
    if (!expectOperands(line, device ? 1 : 2,
                        device ? "a register file (FILE.vg2)" : "two register files (A.vg2 B.vg2)",
                        &problem)) {
        return reportUsageError(problem);
    }
    // Two files are compared whole unless a range is given.
    std::optional<RegisterRange> range;
    if (device || line.range) {
        range = rangeOption(line, &problem);
        if (!range) {
            return reportUsageError(problem);
        }
    }
    RegisterCollection left;
    RegisterCollection right;
    std::string rightName = device ? std::string() : line.operands[1];
    ExitStatus status = readFile(line.operands[0], &left);
    if (status == ExitSuccess) {
        status = device ? readDevice(line, *range, &right, &rightName)
                        : readFile(line.operands[1], &right);
    }
    if (status != ExitSuccess) {
        return status;
    }
    if (interruptionRequested()) {
        return reportInterrupted();
    }
    const RegisterComparison comparison =
        compareRegisters(left, right, range.value_or(records::EveryRegisterNumber));
    return printComparison(comparison, line.operands[0], rightName);
}

} // namespace

ExitStatus runDiff(const CommandLine& line) {
    // Files or a range too large for the memory are trouble, not a difference.
    try {
        return compare(line);
    } catch (const std::bad_alloc&) {
        return trouble(reportOutOfMemory());
    }
}

} // namespace tavrel::cli
