// The command line of tavrelctl, split into its command, options and operands. Only the shape is
// checked here (known options, values present, each option once); the values themselves are
// checked by the command that uses them (Arguments.h). Options may come before or after the
// command.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tavrel::cli {

struct CommandLine {
    std::string command; // empty for the bare tool: --help, --version
    bool help = false;
    bool version = false;
    bool watch = false;
    bool changedOnly = false;
    bool json = false;
    std::optional<std::string> port;
    std::optional<std::string> range;
    std::optional<std::string> output;
    std::optional<std::string> registerNumber;
    std::optional<std::string> machines;
    std::optional<std::string> backup;
    std::optional<std::string> format;
    std::optional<std::string> frameRate;
    std::optional<std::string> recordStart;
    std::optional<std::string> firstRegister;
    std::vector<std::string> operands;
};

// Parses argv. False with a message for the user when the shape is wrong.
bool parseCommandLine(int argc, const char* const* argv, CommandLine* line, std::string* problem);

// Whether `name` is one of the commands.
bool isKnownCommand(const std::string& name);

} // namespace tavrel::cli
