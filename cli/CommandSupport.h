// Checks and steps that several commands share.
#pragma once

#include "Arguments.h"
#include "CommandLine.h"
#include "ExitStatus.h"
#include "TavrelSocket.h"

#include <memory>
#include <optional>
#include <string>

// Exactly `count` operands, else the problem names what is expected (`what`).
bool expectOperands(const CommandLine& line, size_t count, const char* what, std::string* problem);

// No operands and an output file (-o `file`): what every download command starts with.
bool expectOutputOnly(const CommandLine& line, const char* file, std::string* problem);

// Whether the output file can be written, checked before the device is contacted so that a
// long transfer does not end in an unusable file; reports it when not.
bool checkOutputWritable(const CommandLine& line);

// The device path of the --port option, which must be given.
std::optional<std::string> requiredPortPath(const CommandLine& line, std::string* problem);

// The --range option, "all" when absent.
std::optional<RegisterRange> rangeOption(const CommandLine& line, std::string* problem);

// Asks the device for its version, the check that it answers; reports a failure.
bool checkDevice(TavrelSocket& socket, std::string* version = nullptr);

// Watches for interruption from now on, opens `path` and checks the device. Null after
// reporting the failure, with `*failure` the exit status.
std::shared_ptr<TavrelSocket> connectDevice(const std::string& path, ExitStatus* failure,
                                            std::string* version = nullptr);

// The exit status of a failed device or file step: interrupted, or the error reported.
ExitStatus reportFailure(const TavrelError& error);

// Without the spaces and tabs at either end.
std::string trimBlanks(const std::string& text);

// "%03d".
std::string registerLabel(int32_t number);

// Writes bytes to standard output unchanged.
void printBytes(const std::string& bytes);
