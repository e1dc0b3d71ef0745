#include "Usage.h"

#include "CommandSyntax.h"

#include <algorithm>

namespace tavrel::cli {

namespace {

// Every line of the help fits a terminal of 80 columns, with the last one left free.
constexpr size_t HelpWidth = 79;
// Where an option's explanation starts in the list of options.
constexpr size_t OptionHelpColumn = 27;

// The words of `text`, split at blanks; a bracketed group ("[-r RANGE]") or a quoted one
// ("'tavrelctl version'", a quote opening a word) stays one word.
std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> found;
    std::string word;
    int depth = 0;
    char quote = 0;
    for (char c : text) {
        if (quote == 0 && word.empty() && (c == '\'' || c == '"')) {
            quote = c;
        } else if (c == quote) {
            quote = 0;
        }
        depth += c == '[' ? 1 : c == ']' ? -1 : 0;
        if (c == ' ' && depth <= 0 && quote == 0) {
            if (!word.empty()) {
                found.push_back(word);
            }
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) {
        found.push_back(word);
    }
    return found;
}

// `text` filled into lines of at most HelpWidth columns, the first starting with `first` and the
// others with `indent` blanks; each line ends with a line end. A word longer than a line has it
// to itself.
std::string wrapped(const std::string& first, size_t indent, const std::string& text) {
    std::string out = first;
    size_t column = first.size();
    bool lineEmpty = true;
    for (const std::string& word : words(text)) {
        if (!lineEmpty && column + 1 + word.size() > HelpWidth) {
            out += "\n" + std::string(indent, ' ');
            column = indent;
            lineEmpty = true;
        }
        if (!lineEmpty) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        lineEmpty = false;
    }
    return out + "\n";
}

// A synopsis after `prefix`, its continuation lines lined up after "tavrelctl COMMAND ".
std::string synopsisLines(const std::string& prefix, const std::string& synopsis) {
    size_t afterCommand = synopsis.find(' ', synopsis.find(' ') + 1);
    size_t indent = prefix.size() + (afterCommand == std::string::npos ? 0 : afterCommand + 1);
    return wrapped(prefix, indent, synopsis);
}

// "  -p, --port PORT          a port name ...", the explanation wrapped under itself.
std::string optionLines(const OptionSyntax& option) {
    std::string names = "  ";
    if (!option.longName) {
        names += option.valueName;
    } else {
        names += option.shortName ? std::string(option.shortName) + ", " : std::string(4, ' ');
        names += option.longName;
        if (option.valueName) {
            names += std::string(" ") + option.valueName;
        }
    }
    names.resize(std::max(OptionHelpColumn, names.size() + 1), ' ');
    return wrapped(names, OptionHelpColumn, option.help);
}

// The option or operand that the help's lists name `name`.
const OptionSyntax& listedOption(const std::string& name) {
    const auto& options = optionSyntaxes();
    return *std::find_if(options.begin(), options.end(), [&](const OptionSyntax& option) {
        return name == (option.longName ? option.longName : option.valueName);
    });
}

} // namespace

std::string toolUsage() {
    std::string text = "Usage:\n";
    for (const auto& command : commandSyntaxes()) {
        for (const char* synopsis : command.synopses) {
            text += synopsisLines("  ", synopsis);
        }
    }
    text += "  tavrelctl --help | -h ; tavrelctl COMMAND --help ; tavrelctl --version\n\n";
    text += "Options may come before or after the command.\n\n";
    for (const auto& option : optionSyntaxes()) {
        if (option.inToolHelp) {
            text += optionLines(option);
        }
    }
    text += "\nExit status: 0 success, 1 device, file or data error, 2 usage error,\n"
            "130 interrupted (SIGINT or SIGTERM) during a device command. diff as diff(1):\n"
            "0 when identical, 1 when different, 2 on trouble.\n";
    return text;
}

std::string commandUsage(const std::string& name) {
    const CommandSyntax* command = findCommandSyntax(name);
    if (!command) {
        return toolUsage();
    }
    std::string text;
    for (const char* synopsis : command->synopses) {
        text += synopsisLines(text.empty() ? "Usage: " : "       ", synopsis);
    }
    text += "\n";
    for (const char* paragraph : command->description) {
        text += wrapped("", 0, paragraph);
    }
    if (!command->options.empty()) {
        text += "\n";
    }
    for (const char* option : command->options) {
        text += optionLines(listedOption(option));
    }
    return text;
}

} // namespace tavrel::cli
