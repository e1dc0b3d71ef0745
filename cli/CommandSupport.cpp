#include "CommandSupport.h"

#include "AtomicFile.h"
#include "DevicePort.h"
#include "Diagnostics.h"
#include "Interruption.h"

#include <cstdio>

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
    TavrelError error;
    if (!checkFileWritable(*line.output, &error)) {
        reportError(error);
        return false;
    }
    return true;
}

std::optional<std::string> requiredPortPath(const CommandLine& line, std::string* problem) {
    if (!line.port) {
        *problem = "the " + line.command + " command needs a port (-p PORT)";
        return std::nullopt;
    }
    return resolvePort(*line.port, problem);
}

std::optional<RegisterRange> rangeOption(const CommandLine& line, std::string* problem) {
    if (!line.range) {
        return RegisterRange{0, 299};
    }
    auto range = parseRegisterRange(*line.range);
    if (!range) {
        *problem = "bad range '" + *line.range +
                   "': use all, first100, N-M or N with 0 <= N <= M <= 65535";
    }
    return range;
}

bool checkDevice(TavrelSocket& socket, std::string* version) {
    std::string text;
    TavrelError error;
    if (!socket.deviceVersion(&text, &error)) {
        reportError(error);
        return false;
    }
    if (version) {
        *version = text;
    }
    return true;
}

std::shared_ptr<TavrelSocket> connectDevice(const std::string& path, ExitStatus* failure,
                                            std::string* version) {
    watchForInterruption();
    auto socket = openDevice(path);
    if (!socket || !checkDevice(*socket, version)) {
        *failure = interruptionRequested() ? reportInterrupted() : ExitFailure;
        return nullptr;
    }
    return socket;
}

ExitStatus reportFailure(const TavrelError& error) {
    return interruptionRequested() ? reportInterrupted() : reportError(error);
}

std::string trimBlanks(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string registerLabel(int32_t number) {
    char label[16];
    std::snprintf(label, sizeof label, "%03d", number);
    return label;
}

void printBytes(const std::string& bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}
