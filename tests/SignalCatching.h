// Whether a process of the test's own has a handler installed for a signal ("SigCgt" in its
// status): the signal then no longer ends it outright, so it is safe to send.
#pragma once

#include <fstream>
#include <string>
#include <sys/types.h>

inline bool catchesSignal(pid_t pid, int signal) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("SigCgt:", 0) == 0) {
            return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1;
        }
    }
    return false;
}
