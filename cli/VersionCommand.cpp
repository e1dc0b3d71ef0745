// tavrelctl version -p PORT
#include "CommandSupport.h"
#include "Commands.h"
#include "DevicePort.h"
#include "Diagnostics.h"

ExitStatus runVersion(const CommandLine& line) {
    std::string problem;
    auto path = expectOperands(line, 0, "no arguments", &problem) ? requiredPortPath(line, &problem)
                                                                  : std::nullopt;
    if (!path) {
        return reportUsageError(problem);
    }
    auto socket = openDevice(*path);
    std::string version;
    if (!socket || !checkDevice(*socket, &version)) {
        return ExitFailure;
    }
    printBytes(trimBlanks(version) + "\n");
    return ExitSuccess;
}
