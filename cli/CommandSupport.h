// Checks and steps that several commands share.
#pragma once

#include "Arguments.h"
#include "CommandLine.h"
#include "TavrelSocket.h"

#include <optional>
#include <string>

// Exactly `count` operands, else the problem names what is expected (`what`).
bool expectOperands(const CommandLine& line, size_t count, const char* what, std::string* problem);

// The device path of the --port option, which must be given.
std::optional<std::string> requiredPortPath(const CommandLine& line, std::string* problem);

// The --range option, "all" when absent.
std::optional<RegisterRange> rangeOption(const CommandLine& line, std::string* problem);

// Asks the device for its version, the check that it answers; reports a failure.
bool checkDevice(TavrelSocket& socket, std::string* version = nullptr);

// Without the spaces and tabs at either end.
std::string trimBlanks(const std::string& text);

// "%03d".
std::string registerLabel(int32_t number);

// Writes bytes to standard output unchanged.
void printBytes(const std::string& bytes);
