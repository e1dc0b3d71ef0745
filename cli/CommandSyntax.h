// tavrelctl's commands and options in one table: what each command is called, its synopsis and
// description, the options it takes and what it runs. The parser (CommandLine.h) takes from it
// what a command accepts and the help texts (Usage.h) are written from it, so what `--help`
// shows is what the parser takes; the checks of the man page and of the bash completion compare
// them with that help.
#pragma once

#include "CommandLine.h"
#include "ExitStatus.h"

#include <optional>
#include <string>
#include <vector>

namespace tavrel::cli {

// An option, or an operand that the help explains among the options (TIMECODE).
struct OptionSyntax {
    const char* shortName; // "-p", or null
    const char* longName;  // "--port"; null for an operand
    const char* valueName; // what follows the option ("PORT"), null for a flag; an operand's name
    const char* help;      // one phrase, as the list of options shows it
    std::optional<std::string> CommandLine::*value; // where the parser puts a value
    bool CommandLine::*flag;                        // where the parser sets a flag
    // Shown in `tavrelctl --help`'s list of options: every option but those that only one
    // command's synopsis there names and its own help explains (--watch).
    bool inToolHelp;

    bool takesValue() const { return value != nullptr; }
};

struct CommandSyntax {
    const char* name;
    std::vector<const char*> synopses; // "tavrelctl NAME ...", one line each
    // Paragraphs, each shown from the start of a line and wrapped to the help's width.
    std::vector<const char*> description;
    std::vector<const char*> options; // long names, and operands' names, in the order shown
    ExitStatus (*run)(const CommandLine&);
    // Talks to the device: SIGINT and SIGTERM end it with "interrupted" from its very start.
    bool device;
};

// Every option the commands take, in the order the help lists them.
const std::vector<OptionSyntax>& optionSyntaxes();
// Every command, in the order the help lists them.
const std::vector<CommandSyntax>& commandSyntaxes();

// The command named `name`, or null.
const CommandSyntax* findCommandSyntax(const std::string& name);
// The option named `name` in its short ("-p") or long ("--port") form, or null; operands are not
// found.
const OptionSyntax* findOptionSyntax(const std::string& name);
// Whether `command` takes the option of long name `longName`.
bool commandTakes(const CommandSyntax& command, const std::string& longName);

} // namespace tavrel::cli
