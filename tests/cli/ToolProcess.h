// Runs the built tavrelctl as a child process, as a user or a script would, and collects its
// standard output, standard error and exit status.
#pragma once

#include "../SignalCatching.h"
#include "TempFolder.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

// How the child is started, beyond its arguments.
struct ToolSetup {
    // A program that starts tavrelctl, with its arguments ("prlimit", "--nofile=5", "--").
    std::vector<std::string> wrapper;
    // Standard output appended to this file, as a shell's ">>" does; empty: a file of its own.
    std::string appendOutputTo;
};

// A terminal for the child's standard error, and the settings it is used with.
struct ToolTerminal {
    int descriptor = -1; // none: standard error goes to a file
    // NAME=VALUE settings that take the place of the test's own for the child (TERM).
    std::vector<std::string> environment;
};

struct ToolResult {
    int status = -1; // the exit status; 128 + N when ended by signal N
    std::string out;
    std::string err;

    bool operator==(const ToolResult&) const = default;
};

class ToolProcess {
  public:
    // Standard input is /dev/null; standard output and error go to files. No other descriptor
    // of the test is inherited, so the child starts with the same descriptors in every run.
    explicit ToolProcess(std::vector<std::string> args, ToolSetup setup = {},
                         const ToolTerminal& terminal = {}) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        if (setup.appendOutputTo.empty()) {
            posix_spawn_file_actions_addopen(&actions, 1, _streams.path("out").c_str(),
                                             O_WRONLY | O_CREAT, 0600);
        } else {
            posix_spawn_file_actions_addopen(&actions, 1, setup.appendOutputTo.c_str(),
                                             O_WRONLY | O_APPEND, 0);
        }
        if (terminal.descriptor >= 0) {
            posix_spawn_file_actions_adddup2(&actions, terminal.descriptor, 2);
        } else {
            posix_spawn_file_actions_addopen(&actions, 2, _streams.path("err").c_str(),
                                             O_WRONLY | O_CREAT, 0600);
        }
        posix_spawn_file_actions_addclosefrom_np(&actions, 3);
        args.insert(args.begin(), TAVRELCTL_PATH);
        args.insert(args.begin(), setup.wrapper.begin(), setup.wrapper.end());
        std::vector<char*> argv;
        for (auto& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        std::vector<std::string> settings = terminal.environment;
        for (char** setting = environ; *setting; ++setting) {
            std::string own = *setting;
            if (std::none_of(settings.begin(), settings.end(), [&](const std::string& given) {
                    return own.substr(0, own.find('=')) == given.substr(0, given.find('='));
                })) {
                settings.push_back(own);
            }
        }
        std::vector<char*> env;
        for (auto& setting : settings) {
            env.push_back(setting.data());
        }
        env.push_back(nullptr);
        if (posix_spawnp(&_pid, argv[0], &actions, nullptr, argv.data(), env.data()) != 0) {
            _pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    ~ToolProcess() {
        if (_pid > 0) {
            ::kill(_pid, SIGKILL);
            finish();
        }
    }
    ToolProcess(const ToolProcess&) = delete;
    ToolProcess& operator=(const ToolProcess&) = delete;

    pid_t pid() const { return _pid; }
    // Whether the process has not yet ended (it is not reaped here).
    bool running() const {
        siginfo_t info{};
        return ::waitid(P_PID, static_cast<id_t>(_pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
               info.si_pid == 0;
    }
    // Waits for the exit.
    ToolResult finish() {
        ToolResult result;
        int status = 0;
        if (_pid > 0 && ::waitpid(_pid, &status, 0) == _pid) {
            result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        _pid = -1;
        result.out = TempFolder::readBytes(_streams.path("out"));
        result.err = TempFolder::readBytes(_streams.path("err"));
        return result;
    }

  private:
    TempFolder _streams;
    pid_t _pid = -1;
};

inline ToolResult runTool(const std::vector<std::string>& args, ToolSetup setup = {}) {
    return ToolProcess(args, std::move(setup)).finish();
}
