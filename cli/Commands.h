// The commands of tavrelctl. Each takes the parsed command line and returns the exit status,
// having printed its output and any error itself.
#pragma once

#include "CommandLine.h"
#include "ExitStatus.h"

namespace tavrel::cli {

ExitStatus runPorts(const CommandLine& line);
ExitStatus runVersion(const CommandLine& line);
ExitStatus runDownload(const CommandLine& line);
ExitStatus runUpload(const CommandLine& line);
ExitStatus runMenuDownload(const CommandLine& line);
ExitStatus runMenuUpload(const CommandLine& line);
ExitStatus runOffset(const CommandLine& line);
ExitStatus runShow(const CommandLine& line);
ExitStatus runDiff(const CommandLine& line);
ExitStatus runExport(const CommandLine& line);
ExitStatus runImport(const CommandLine& line);

} // namespace tavrel::cli
