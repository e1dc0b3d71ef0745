// tavrelctl ports [--watch]
#include "CommandSupport.h"
#include "Commands.h"
#include "Diagnostics.h"
#include "Interruption.h"

#include <cerrno>
#include <cstdio>
#include <poll.h>

namespace {

void printPorts(const SerialPortList& ports, const char* prefix) {
    // The list is a map, so names come in case-sensitive ascending order.
    for (const auto& [name, path] : ports) {
        printBytes(prefix + name + "\t" + path + "\n");
        std::fflush(stdout); // a watcher reading through a pipe sees each change at once
    }
}

// Serves port notifications until SIGINT or SIGTERM.
ExitStatus watchPorts() {
    for (;;) {
        pollfd fds[2] = {{TavrelSocket::serialDeviceNotificationDescriptor(), POLLIN, 0},
                         {interruptionDescriptor(), POLLIN, 0}};
        if (interruptionRequested()) {
            return ExitSuccess;
        }
        int ready = ::poll(fds, 2, -1);
        if (ready < 0 && errno != EINTR) {
            return reportError(toolError("Could not watch the serial ports"));
        }
        if (interruptionRequested() || (fds[1].revents & POLLIN)) {
            return ExitSuccess;
        }
        if (fds[0].revents & POLLIN) {
            TavrelSocket::dispatchSerialDeviceNotifications();
        }
    }
}

} // namespace

ExitStatus runPorts(const CommandLine& line) {
    std::string problem;
    if (!expectOperands(line, 0, "no arguments", &problem)) {
        return reportUsageError(problem);
    }
    static int watchTarget;
    if (line.watch) {
        watchForInterruption();
        // Subscribed before the list is taken, so that no arrival falls between the two.
        TavrelSocket::registerForSerialDeviceNotifications(
            &watchTarget, std::function<void(bool, const SerialPortList&)>(
                              [](bool arrived, const SerialPortList& ports) {
                                  printPorts(ports, arrived ? "+ " : "- ");
                              }));
        if (TavrelSocket::serialDeviceNotificationDescriptor() < 0) {
            return reportError(toolError("Could not watch the serial ports"));
        }
    }
    auto ports = TavrelSocket::availableSerialDevices();
    if (!ports) {
        return reportError(toolError("Could not list the serial ports"));
    }
    printPorts(*ports, "");
    if (!line.watch) {
        return ExitSuccess;
    }
    ExitStatus status = watchPorts();
    TavrelSocket::registerForSerialDeviceNotifications(nullptr, std::function<void()>());
    return status;
}
