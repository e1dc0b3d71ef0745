// tavrelctl ports [--watch]
#include "CommandSupport.h"
#include "Commands.h"
#include "Diagnostics.h"
#include "Interruption.h"
#include "SerialDeviceNotifier.h"
#include "SerialPortDiscovery.h"

#include <cerrno>
#include <cstdio>
#include <poll.h>

namespace tavrel::cli {

using link::availableSerialDevices;
using link::SerialDeviceNotifier;
using records::SerialPortList;

namespace {

// NAME<tab>PATH, and <tab>DESCRIPTION for a port whose adapter udev describes.
void printPorts(const SerialPortList& ports, const char* prefix) {
    // The list is a map, so names come in case-sensitive ascending order.
    for (const auto& [name, port] : ports) {
        const std::string description =
            port.description.empty() ? std::string() : "\t" + port.description;
        printBytes(prefix + name + "\t" + port.path + description + "\n");
        std::fflush(stdout); // a watcher reading through a pipe sees each change at once
    }
}

ExitStatus cannotWatch() {
    return reportError(toolError("Could not watch the serial ports"));
}

// Serves port notifications until SIGINT or SIGTERM.
ExitStatus watchPorts(SerialDeviceNotifier& notifier) {
    for (;;) {
        pollfd fds[2] = {{notifier.descriptor(), POLLIN, 0}, {interruptionDescriptor(), POLLIN, 0}};
        if (interruptionRequested()) {
            return ExitSuccess;
        }
        int ready = ::poll(fds, 2, -1);
        if (ready < 0 && errno != EINTR) {
            return cannotWatch();
        }
        if (interruptionRequested() || (fds[1].revents & POLLIN)) {
            return ExitSuccess;
        }
        if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
            return cannotWatch(); // would be reported again at once, for ever
        }
        if (fds[0].revents & POLLIN) {
            notifier.dispatch();
        }
    }
}

} // namespace

ExitStatus runPorts(const CommandLine& line) {
    std::string problem;
    if (!expectOperands(line, 0, "no arguments", &problem)) {
        return reportUsageError(problem);
    }
    // A subscription of this command's own, to see whether the device events really come: a
    // watch without them would run on and never report a change.
    SerialDeviceNotifier notifier([] { return availableSerialDevices(); });
    if (line.watch) {
        watchForInterruption();
        // Subscribed before the list is taken, so that no arrival falls between the two.
        notifier.registerTarget(&notifier, std::function<void(bool, const SerialPortList&)>(
                                               [](bool arrived, const SerialPortList& ports) {
                                                   printPorts(ports, arrived ? "+ " : "- ");
                                               }));
        if (notifier.descriptor() < 0 || notifier.monitor()->eventSource().empty()) {
            return cannotWatch();
        }
    }
    auto ports = availableSerialDevices();
    if (!ports) {
        return reportError(toolError("Could not list the serial ports"));
    }
    printPorts(*ports, "");
    return line.watch ? watchPorts(notifier) : ExitSuccess;
}

} // namespace tavrel::cli
