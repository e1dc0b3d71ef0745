#include "SerialDeviceNotifier.h"

namespace tavrel::link {

using records::SerialPortList;

SerialDeviceNotifier::SerialDeviceNotifier(SerialPortMonitor::Lister lister,
                                           std::chrono::milliseconds rescanDelay)
    : _lister(std::move(lister)), _rescanDelay(rescanDelay) {}

void SerialDeviceNotifier::registerTarget(const void* target, SerialDeviceAction action) {
    _notificationTarget = target;
    _notificationAction = std::move(action);
    if (_needsSetup && target != nullptr) {
        _subscribe();
    } else if (!_needsSetup && target == nullptr) {
        _unsubscribe();
    }
}

int SerialDeviceNotifier::descriptor() const {
    return _monitor ? _monitor->descriptor() : -1;
}

void SerialDeviceNotifier::_subscribe() {
    _monitor = std::make_unique<SerialPortMonitor>(_lister, _rescanDelay);
    ++_subscription;
    _needsSetup = false;
}

void SerialDeviceNotifier::_unsubscribe() {
    _monitor.reset();
    _needsSetup = true;
}

bool SerialDeviceNotifier::dispatch() {
    if (!_monitor) {
        return false;
    }
    // The changes are taken out of the monitor before any call: an action may end the
    // subscription, which destroys the monitor.
    auto changes = _monitor->dispatch();
    if (!changes) {
        return false;
    }
    const unsigned subscription = _subscription;
    if (!changes->arrived.empty()) {
        _notify(true, changes->arrived);
    }
    if (!changes->departed.empty() && !_needsSetup && _subscription == subscription) {
        _notify(false, changes->departed);
    }
    return true;
}

void SerialDeviceNotifier::_notify(bool arrived, const SerialPortList& ports) {
    if (_notificationTarget == nullptr) {
        return;
    }
    // A copy: the action may register another one, which would destroy the running function.
    const SerialDeviceAction action = _notificationAction;
    invokeSerialDeviceAction(action, arrived, ports);
}

void invokeSerialDeviceAction(const SerialDeviceAction& action, bool arrived,
                              const SerialPortList& ports) {
    if (auto* none = std::get_if<std::function<void()>>(&action)) {
        if (*none) {
            (*none)();
        }
    } else if (auto* flag = std::get_if<std::function<void(bool)>>(&action)) {
        if (*flag) {
            (*flag)(arrived);
        }
    } else if (auto* both =
                   std::get_if<std::function<void(bool, const SerialPortList&)>>(&action)) {
        if (*both) {
            (*both)(arrived, ports);
        }
    }
}

} // namespace tavrel::link
