// What the tests of port notifications share: the calls an action received, serving the
// notifier's descriptor, and a real device event with a witness of the kernel's events.
#pragma once

#include "SerialDeviceNotifier.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <linux/netlink.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

using namespace tavrel::link;
using namespace tavrel::records;

struct NotificationCall {
    int arguments; // how many the action took
    bool arrived;
    SerialPortList ports;

    bool operator==(const NotificationCall&) const = default;
};
using Calls = std::vector<NotificationCall>;

struct NotificationRecorder {
    Calls calls;

    SerialDeviceAction withoutArguments() {
        return std::function<void()>([this] { calls.push_back({0, false, {}}); });
    }
    SerialDeviceAction withFlag() {
        return std::function<void(bool)>([this](bool arrived) {
            calls.push_back({1, arrived, {}});
        });
    }
    SerialDeviceAction withFlagAndPorts() {
        return std::function<void(bool, const SerialPortList&)>(
            [this](bool arrived, const SerialPortList& ports) {
                calls.push_back({2, arrived, ports});
            });
    }
};

// Serves the descriptor until a listing has been made; false when none came within 20 seconds,
// which only keeps a broken build from hanging.
inline bool serveUntilListed(SerialDeviceNotifier& notifier) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (notifier.descriptor() >= 0 && std::chrono::steady_clock::now() < deadline) {
        pollfd watched{notifier.descriptor(), POLLIN, 0};
        if (poll(&watched, 1, 100) > 0 && notifier.dispatch()) {
            return true;
        }
    }
    return false;
}

// A virtual console's device (tty63, or ptmx): a "change" event for it belongs to no serial port,
// so nobody is disturbed, yet it comes through the same kernel and udev path as an adapter's.
inline std::string virtualConsoleDevpath() {
    const std::string tty63 = "/devices/virtual/tty/tty63";
    return std::filesystem::exists("/sys" + tty63) ? tty63 : "/devices/virtual/tty/ptmx";
}

// Sends that event; false when this system does not let the test send one.
inline bool sendChangeEvent() {
    std::ofstream uevent("/sys" + virtualConsoleDevpath() + "/uevent");
    return bool(uevent << "change" << std::flush);
}

// A kernel-event socket of the test's own, to tell "no event reaches this system" apart from
// "the event was missed".
struct UeventWitness {
    UeventWitness() {
        sockaddr_nl address{};
        address.nl_family = AF_NETLINK;
        address.nl_groups = 1; // the kernel's own events
        // Unbound, it sees no event, and sawEventFor says so.
        (void)bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
    ~UeventWitness() { close(fd); }
    bool sawEventFor(const std::string& devpath) const {
        char message[8192];
        for (ssize_t length; (length = recv(fd, message, sizeof message - 1, 0)) > 0;) {
            message[length] = '\0';
            const char* at = std::strchr(message, '@'); // the header is "ACTION@DEVPATH"
            if (at != nullptr && devpath == at + 1) {
                return true;
            }
        }
        return false;
    }
    const int fd =
        socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_KOBJECT_UEVENT);
};
