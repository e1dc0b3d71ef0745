// What the tests of port notifications share: the calls an action received, and serving the
// notification descriptor until the ports have been listed again.
#pragma once

#include "SerialDeviceNotifier.h"

#include <vector>

struct NotificationCall {
    int arguments; // how many the action took
    bool arrived;
    SerialPortList ports;

    bool operator==(const NotificationCall&) const = default;
};

class NotificationRecorder {
  public:
    std::vector<NotificationCall> calls;

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

// Serves the descriptor until a listing has been made; false when none came within the bound,
// which only keeps a broken build from hanging.
bool serveUntilListed(SerialDeviceNotifier& notifier, int boundMilliseconds = 20000);

// What an event does, then serves it through.
bool rescanAndServe(SerialDeviceNotifier& notifier);
