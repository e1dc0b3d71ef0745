// Runs the built tavrelctl as a child process, as a user or a script would, and collects its
// standard output, standard error and exit status.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

struct ToolResult {
    int status = -1; // the exit status; 128 + N when ended by signal N
    std::string out;
    std::string err;
};

class ToolProcess {
  public:
    // Starts tavrelctl with `args`. Standard input is /dev/null; standard error goes to
    // `errorFd` when it is given (a terminal, for the progress bar), else to a pipe.
    explicit ToolProcess(const std::vector<std::string>& args, int errorFd = -1);
    ~ToolProcess();
    ToolProcess(const ToolProcess&) = delete;
    ToolProcess& operator=(const ToolProcess&) = delete;

    pid_t pid() const { return _pid; }
    // Whether the process has a handler installed for `signal` (it is then safe to send it).
    bool catches(int signal) const;
    // Reads all output and waits for the exit.
    ToolResult finish();

  private:
    pid_t _pid = -1;
    int _out = -1;
    int _err = -1;
};

inline ToolResult runTool(const std::vector<std::string>& args) {
    return ToolProcess(args).finish();
}
