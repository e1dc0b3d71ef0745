#include "CommandSupport.h"

#include "AtomicFile.h"
#include "DevicePort.h"
#include "Diagnostics.h"
#include "Interruption.h"

#include <cstdio>

namespace tavrel::cli {

using files::checkFileWritable;
using link::TavrelSocket;
using records::RegisterRange;
using records::TavrelError;

namespace {

constexpr const char* StandardOutputName = "-";

// The path that the file writers take for the --output option.
std::string outputPath(const CommandLine& line) {
    return *line.output == StandardOutputName ? "/dev/stdout" : *line.output;
}

} // namespace

bool expectOperands(const CommandLine& line, size_t count, const char* what, std::string* problem) {
    if (line.operands.size() == count) {
        return true;
    }
    if (line.operands.size() < count) {
        *problem = "the " + line.command + " command needs " + what;
    } else {
        *problem = "unexpected argument '" + line.operands[count] + "'";
    }
    return false;
}

bool expectOutputOnly(const CommandLine& line, const char* file, std::string* problem) {
    if (!expectOperands(line, 0, "no arguments", problem)) {
        return false;
    }
    if (!line.output) {
        *problem = "the " + line.command + " command needs an output file (-o " + file + ")";
        return false;
    }
    return true;
}

bool checkOutputWritable(const CommandLine& line) {
    if (*line.output == StandardOutputName) {
        return true;
    }
    TavrelError error;
    if (!checkFileWritable(*line.output, &error)) {
        reportError(error);
        return false;
    }
    return true;
}

ExitStatus writeFileNamed(const std::string& name, const std::string& path,
                          const OutputWriter& write) {
    if (interruptionRequested()) {
        return reportInterrupted();
    }
    TavrelError error;
    bool inPlace = false;
    if (!write(path, &error, &inPlace)) {
        return reportFailure(error);
    }
    if (inPlace && name != StandardOutputName) {
        reportNote(name + " was written in place, as it could not be replaced by a new file");
    }
    return ExitSuccess;
}

ExitStatus writeOutput(const CommandLine& line, const OutputWriter& write) {
    return writeFileNamed(*line.output, outputPath(line), write);
}

std::optional<std::string> requiredPortPath(const CommandLine& line, ExitStatus* failure) {
    if (!line.port) {
        *failure = reportUsageError("the " + line.command + " command needs a port (-p PORT)");
        return std::nullopt;
    }
    return resolvePort(*line.port, failure);
}

std::optional<files::EdlFrameRate> frameRateOption(const std::string& value, std::string* problem) {
    auto rate = files::edlFrameRateFromName(value);
    if (!rate) {
        *problem = "bad frame rate '" + value + "': use 24, 25, 30 or 30df";
    }
    return rate;
}

std::optional<RegisterRange> rangeOption(const CommandLine& line, std::string* problem) {
    if (!line.range) {
        return records::AllRegistersRange;
    }
    auto range = parseRegisterRange(*line.range);
    if (!range) {
        *problem = "bad range '" + *line.range +
                   "': use all, first100, N-M or N with 0 <= N <= M <= 65535";
    }
    return range;
}

std::shared_ptr<TavrelSocket> openPort(const std::string& path, ExitStatus* failure) {
    if (interruptionRequested()) {
        *failure = reportInterrupted();
        return nullptr;
    }
    TavrelError error;
    auto socket = openDevice(path, &error);
    if (!socket) {
        *failure = reportFailure(error);
    }
    return socket;
}

std::shared_ptr<TavrelSocket> connectDevice(const std::string& path, ExitStatus* failure,
                                            std::string* version) {
    auto socket = openPort(path, failure);
    std::string text;
    TavrelError error;
    if (socket && !socket->deviceVersion(&text, &error)) {
        *failure = reportFailure(error);
        return nullptr;
    }
    if (socket && version) {
        *version = text;
    }
    return socket;
}

ExitStatus reportFailure(const TavrelError& error) {
    return interruptionRequested() ? reportInterrupted() : reportError(error);
}

void printBytes(const std::string& bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

} // namespace tavrel::cli
