#include "CommandLine.h"

#include "CommandSyntax.h"

namespace tavrel::cli {

namespace {

class Parser {
  public:
    Parser(int argc, const char* const* argv, CommandLine* line, std::string* problem)
        : _argc(argc), _argv(argv), _line(line), _problem(problem) {}

    bool run() {
        for (_next = 1; _next < _argc; ++_next) {
            std::string arg = _argv[_next];
            if (arg == "--") {
                for (++_next; _next < _argc; ++_next) {
                    _line->operands.push_back(_argv[_next]);
                }
                break;
            }
            if (!(arg.size() > 1 && arg[0] == '-' ? option(arg) : operand(arg))) {
                return false;
            }
        }
        return checkOptionsBeforeCommand();
    }

  private:
    bool fail(std::string text) {
        *_problem = std::move(text);
        return false;
    }

    bool operand(const std::string& arg) {
        if (_line->command.empty()) {
            if (!isKnownCommand(arg)) {
                return fail("unknown command '" + arg + "'");
            }
            _line->command = arg;
            return true;
        }
        _line->operands.push_back(arg);
        return true;
    }

    bool option(const std::string& arg) {
        size_t equals = arg.find('=');
        if (arg.rfind("--", 0) == 0 && equals != std::string::npos &&
            isFlag(arg.substr(0, equals))) {
            return fail("option '" + arg.substr(0, equals) + "' takes no value");
        }
        if (arg == "-h" || arg == "--help") {
            _line->help = true;
            return true;
        }
        if (arg == "--version" && _line->command.empty()) {
            _line->version = true;
            return true;
        }
        if (const OptionSyntax* spec = findOptionSyntax(arg); spec && !spec->takesValue()) {
            if (!taken(spec->longName)) {
                return false;
            }
            _line->*(spec->flag) = true;
            return true;
        }
        return valueOption(arg);
    }

    // "-p VALUE", "-pVALUE", "--port VALUE" or "--port=VALUE".
    bool valueOption(const std::string& arg) {
        std::string name = arg;
        std::optional<std::string> value;
        if (arg.rfind("--", 0) == 0) {
            size_t equals = arg.find('=');
            if (equals != std::string::npos) {
                name = arg.substr(0, equals);
                value = arg.substr(equals + 1);
            }
        } else if (arg.size() > 2) {
            name = arg.substr(0, 2);
            value = arg.substr(2);
        }
        const OptionSyntax* spec = findOptionSyntax(name);
        if (!spec || !spec->takesValue()) {
            return fail("unknown option '" + name + "'");
        }
        if (!taken(spec->longName)) {
            return false;
        }
        if (!value) {
            if (_next + 1 >= _argc) {
                return fail("option '" + name + "' needs a value");
            }
            value = _argv[++_next];
        }
        auto& slot = _line->*(spec->value);
        if (slot) {
            return fail(std::string("option '") + spec->longName + "' given more than once");
        }
        slot = *value;
        return true;
    }

    // Whether the command takes option `name`; an option before the command is checked once the
    // command is known.
    bool taken(const std::string& name) {
        if (_line->command.empty()) {
            _beforeCommand.push_back(name);
            return true;
        }
        return commandTakes(*findCommandSyntax(_line->command), name) || notTaken(name);
    }

    bool notTaken(const std::string& name) {
        return fail("the " + _line->command + " command takes no option '" + name + "'");
    }

    bool checkOptionsBeforeCommand() {
        for (const auto& name : _beforeCommand) {
            if (_line->command.empty()) {
                return fail("option '" + name + "' needs a command");
            }
            if (!commandTakes(*findCommandSyntax(_line->command), name)) {
                return notTaken(name);
            }
        }
        return true;
    }

    static bool isFlag(const std::string& name) {
        const OptionSyntax* spec = findOptionSyntax(name);
        return name == "--help" || name == "--version" || (spec && !spec->takesValue());
    }

    int _argc;
    const char* const* _argv;
    CommandLine* _line;
    std::string* _problem;
    int _next = 1;
    std::vector<std::string> _beforeCommand;
};

} // namespace

bool isKnownCommand(const std::string& name) {
    return findCommandSyntax(name) != nullptr;
}

bool parseCommandLine(int argc, const char* const* argv, CommandLine* line, std::string* problem) {
    *line = CommandLine{};
    return Parser(argc, argv, line, problem).run();
}

} // namespace tavrel::cli
