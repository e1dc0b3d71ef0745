// tavrelctl: backup and restore of a VRG-500 from a terminal, with the same device link and the
// same files as the Tavrel application.
#include "CommandLine.h"
#include "Commands.h"
#include "Diagnostics.h"
#include "TavrelLog.h"
#include "Usage.h"

#include <cstdio>
#include <map>

namespace {

using Command = ExitStatus (*)(const CommandLine&);

const std::map<std::string, Command> CommandTable = {
    {"ports", runPorts},
    {"version", runVersion},
    {"download", runDownload},
    {"upload", runUpload},
    {"menu-download", runMenuDownload},
    {"menu-upload", runMenuUpload},
    {"offset", runOffset},
    {"show", runShow},
};

int finish(ExitStatus status) {
    // Output that could not be written (a full disk, a closed pipe) is a failure too.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        if (status == ExitSuccess) {
            std::fputs("tavrelctl: could not write the output\n", stderr);
            return ExitFailure;
        }
    }
    return status;
}

} // namespace

int main(int argc, char** argv) {
    // The link's diagnostics stay in the system log; what the user must see goes to standard
    // error through the commands' own reports.
    tavrelLogSetDestination(TavrelLogDestination::Syslog);
    CommandLine line;
    std::string problem;
    if (!parseCommandLine(argc, argv, &line, &problem)) {
        return reportUsageError(problem);
    }
    if (line.help) {
        std::fputs((line.command.empty() ? toolUsage() : commandUsage(line.command)).c_str(),
                   stdout);
        return finish(ExitSuccess);
    }
    if (line.command.empty()) {
        if (line.version) {
            std::printf("tavrelctl %s\n", TAVREL_VERSION);
            return finish(ExitSuccess);
        }
        if (!line.operands.empty()) {
            return reportUsageError("unknown command '" + line.operands[0] + "'");
        }
        std::fputs(toolUsage().c_str(), stderr);
        return ExitUsage;
    }
    return finish(CommandTable.at(line.command)(line));
}
