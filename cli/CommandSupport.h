// Checks and steps that several commands share.
#pragma once

#include "Arguments.h"
#include "CommandLine.h"
#include "EditDecisionListExport.h"
#include "ExitStatus.h"
#include "RegisterLabel.h"
#include "TavrelSocket.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tavrel::cli {

// Exactly `count` operands, else the problem names what is expected (`what`).
bool expectOperands(const CommandLine& line, size_t count, const char* what, std::string* problem);

// No operands and an output file (-o `file`): what every download command starts with.
bool expectOutputOnly(const CommandLine& line, const char* file, std::string* problem);

// Whether the output file can be written, checked before the device is contacted so that a
// long transfer does not end in an unusable file; reports it when not. Standard output (-o -) is
// not checked: there is nothing to probe beside it.
bool checkOutputWritable(const CommandLine& line);

// Writes the output file (-o) with `write`, which gets the path to write, the error and the
// in-place flag of the file writers. Nothing is written once an interruption has come. A file
// that had to be written in place, rather than replaced, is said on standard error.
using OutputWriter = std::function<bool(const std::string&, records::TavrelError*, bool*)>;
ExitStatus writeOutput(const CommandLine& line, const OutputWriter& write);
// The same for the file `name` written at `path` (another file than -o, such as a backup).
ExitStatus writeFileNamed(const std::string& name, const std::string& path,
                          const OutputWriter& write);

// The device path of the --port option, which must be given. Null after reporting the failure,
// with `*failure` the exit status.
std::optional<std::string> requiredPortPath(const CommandLine& line, ExitStatus* failure);

// The --range option, "all" (records::AllRegistersRange) when absent.
// --frame-rate's value (24, 25, 30 or 30df); none with the problem when it is not one of them.
std::optional<files::EdlFrameRate> frameRateOption(const std::string& value, std::string* problem);

std::optional<records::RegisterRange> rangeOption(const CommandLine& line, std::string* problem);

// Opens `path`. Null after reporting the failure, with `*failure` the exit status.
std::shared_ptr<link::TavrelSocket> openPort(const std::string& path, ExitStatus* failure);

// Opens `path` and asks the device for its version, the check that it answers. Null after
// reporting the failure, with `*failure` the exit status.
std::shared_ptr<link::TavrelSocket> connectDevice(const std::string& path, ExitStatus* failure,
                                                  std::string* version = nullptr);

// The exit status of a failed step: interrupted when a signal came, whatever the step reported
// (an interrupted exchange fails too); else the error reported.
ExitStatus reportFailure(const records::TavrelError& error);

// Writes bytes to standard output unchanged.
void printBytes(const std::string& bytes);

} // namespace tavrel::cli
