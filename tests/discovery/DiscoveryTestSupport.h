// What the tests of port notifications share: the calls an action received, and serving the
// notifier's descriptor.
#pragma once

#include "SerialDeviceNotifier.h"

#include <chrono>
#include <poll.h>
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
