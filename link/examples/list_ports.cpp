// Lists the machine's serial ports, one "NAME<tab>PATH" line each (and "<tab>DESCRIPTION" for an
// adapter udev describes), and with --watch keeps running, printing the same line after "+ " for
// each port plugged in and after "- " for each one pulled out. It shows the whole use of the
// discovery interface without an application framework: the notification descriptor is served by
// poll().
#include "SerialPortDiscovery.h"
#include "TavrelLog.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <poll.h>

using tavrel::link::availableSerialDevices;
using tavrel::link::dispatchSerialDeviceNotifications;
using tavrel::link::registerForSerialDeviceNotifications;
using tavrel::link::serialDeviceNotificationDescriptor;
using tavrel::link::TavrelLogDestination;
using tavrel::link::tavrelLogSetDestination;
using tavrel::records::SerialPortList;

namespace {

void printPorts(const SerialPortList& ports, const char* prefix) {
    for (const auto& [name, port] : ports) {
        std::printf("%s%s\t%s%s%s\n", prefix, name.c_str(), port.path.c_str(),
                    port.description.empty() ? "" : "\t", port.description.c_str());
    }
    std::fflush(stdout);
}

// Subscribes before anything is listed, so that a port arriving between the listing and the
// subscription is not missed: it is either in the listing or reported afterwards.
bool subscribe() {
    static int marker = 0; // any address serves as the target
    registerForSerialDeviceNotifications(&marker,
                                         std::function<void(bool, const SerialPortList&)>(
                                             [](bool arrived, const SerialPortList& ports) {
                                                 printPorts(ports, arrived ? "+ " : "- ");
                                             }));
    if (serialDeviceNotificationDescriptor() < 0) {
        std::fprintf(stderr, "list_ports: cannot watch the serial ports\n");
        return false;
    }
    return true;
}

int watchPorts() {
    pollfd watched{serialDeviceNotificationDescriptor(), POLLIN, 0};
    for (;;) {
        if (poll(&watched, 1, -1) < 0 && errno != EINTR) {
            std::fprintf(stderr, "list_ports: poll: %s\n", std::strerror(errno));
            return 1;
        }
        if ((watched.revents & POLLIN) != 0) {
            dispatchSerialDeviceNotifications();
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    const bool watch = argc == 2 && std::strcmp(argv[1], "--watch") == 0;
    if (argc > 2 || (argc == 2 && !watch)) {
        std::fprintf(stderr, "usage: list_ports [--watch]\n");
        return 2;
    }
    tavrelLogSetDestination(TavrelLogDestination::StandardError);
    if (watch && !subscribe()) {
        return 1;
    }

    auto ports = availableSerialDevices();
    if (!ports) {
        std::fprintf(stderr, "list_ports: the serial ports could not be listed\n");
        return 1;
    }
    printPorts(*ports, "");
    return watch ? watchPorts() : 0;
}
