// tavrelctl: backup and restore of a VRG-500 from a terminal, with the same device link and the
// same files as the Tavrel application.
#include "CommandLine.h"
#include "CommandSyntax.h"
#include "Diagnostics.h"
#include "FileError.h"
#include "Interruption.h"
#include "TavrelLog.h"
#include "Usage.h"

#include <cstdio>
#include <new>

namespace tavrel::cli {

namespace {

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

int run(int argc, char** argv) {
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
    const CommandSyntax& command = *findCommandSyntax(line.command);
    if (command.device) {
        watchForInterruption();
    }
    return finish(command.run(line));
}

} // namespace

} // namespace tavrel::cli

int main(int argc, char** argv) {
    // The link's diagnostics stay in the system log; what the user must see goes to standard
    // error through the commands' own reports.
    tavrel::link::tavrelLogSetDestination(tavrel::link::TavrelLogDestination::Syslog);
    // A file is named by the whole path the user gave, as a command-line tool names it.
    tavrel::files::setFileNaming(tavrel::files::FileNaming::WholePath);
    // A file or a range too large for the memory ends the command like any other failure; the
    // files are written all-or-nothing, so nothing is left half done.
    try {
        return tavrel::cli::run(argc, argv);
    } catch (const std::bad_alloc&) {
        return tavrel::cli::reportOutOfMemory();
    }
}
