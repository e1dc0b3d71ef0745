#include "ToolProcess.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

ToolProcess::ToolProcess(const std::vector<std::string>& args, int errorFd) {
    int outPipe[2];
    int errPipe[2] = {-1, -1};
    if (::pipe2(outPipe, O_CLOEXEC) != 0 || (errorFd < 0 && ::pipe2(errPipe, O_CLOEXEC) != 0)) {
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errorFd >= 0 ? errorFd : errPipe[1], STDERR_FILENO);
    std::vector<std::string> argvStrings{TAVRELCTL_PATH};
    argvStrings.insert(argvStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : argvStrings) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    if (posix_spawn(&_pid, TAVRELCTL_PATH, &actions, nullptr, argv.data(), environ) != 0) {
        _pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(outPipe[1]);
    _out = outPipe[0];
    if (errPipe[1] >= 0) {
        ::close(errPipe[1]);
        _err = errPipe[0];
    }
}

ToolProcess::~ToolProcess() {
    if (_pid > 0) {
        ::kill(_pid, SIGKILL);
        finish();
    }
}

bool ToolProcess::catches(int signal) const {
    std::ifstream status("/proc/" + std::to_string(_pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("SigCgt:", 0) == 0) {
            unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
            return (mask >> (signal - 1)) & 1;
        }
    }
    return false;
}

ToolResult ToolProcess::finish() {
    ToolResult result;
    struct Stream {
        int fd;
        std::string* text;
    } streams[2] = {{_out, &result.out}, {_err, &result.err}};
    for (;;) {
        pollfd fds[2];
        int count = 0;
        for (const auto& stream : streams) {
            if (stream.fd >= 0) {
                fds[count++] = {stream.fd, POLLIN, 0};
            }
        }
        if (count == 0) {
            break;
        }
        if (::poll(fds, static_cast<nfds_t>(count), -1) < 0 && errno != EINTR) {
            break;
        }
        for (int i = 0; i < count; ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) {
                continue;
            }
            for (auto& stream : streams) {
                if (stream.fd != fds[i].fd) {
                    continue;
                }
                char buffer[4096];
                ssize_t got = ::read(stream.fd, buffer, sizeof buffer);
                if (got > 0) {
                    stream.text->append(buffer, static_cast<size_t>(got));
                } else if (got == 0 || errno != EINTR) {
                    ::close(stream.fd);
                    stream.fd = -1;
                }
            }
        }
    }
    _out = _err = -1;
    int status = 0;
    if (_pid > 0 && ::waitpid(_pid, &status, 0) == _pid) {
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    _pid = -1;
    return result;
}
