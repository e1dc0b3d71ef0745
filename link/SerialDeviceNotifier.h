// One subscription to serial port arrivals and departures, and the calls of its target's action.
//
// Not subscribed at first. A registration with a target subscribes, taking the ports present at
// that moment as known, so they are never reported; later registrations only replace the target
// and action; one with a null target ends the subscription. Every change found by the monitor
// calls the action once for the ports that arrived and once for those that departed, each call
// only when it has ports, with as many arguments as the action takes.
//
// TavrelSocket's class-level discovery operations drive one process-wide instance over the
// machine's ports; tests and tools may make their own over another port source.
#pragma once

#include "SerialDeviceAction.h"
#include "SerialPortMonitor.h"

#include <memory>

namespace tavrel::link {

class SerialDeviceNotifier {
  public:
    explicit SerialDeviceNotifier(
        SerialPortMonitor::Lister lister,
        std::chrono::milliseconds rescanDelay = SerialPortMonitor::defaultRescanDelay);

    void registerTarget(const void* target, SerialDeviceAction action);

    bool isSubscribed() const { return !_needsSetup; }

    // The descriptor to wait on; -1 while not subscribed.
    int descriptor() const;

    // Serves a readable descriptor, calling the action for what changed. True when the ports were
    // listed again (whether or not anything changed).
    bool dispatch();

    // The running subscription's monitor, null while not subscribed.
    SerialPortMonitor* monitor() const { return _monitor.get(); }

  private:
    void _subscribe();
    void _unsubscribe();
    void _notify(bool arrived, const records::SerialPortList& ports);

    SerialPortMonitor::Lister _lister;
    std::chrono::milliseconds _rescanDelay;
    const void* _notificationTarget = nullptr;
    SerialDeviceAction _notificationAction;
    bool _needsSetup = true;
    unsigned _subscription = 0; // counts subscriptions, to tell one from the next
    std::unique_ptr<SerialPortMonitor> _monitor;
};

// Calls `action` with as many of (arrived, ports) as it takes; an empty action is not called.
void invokeSerialDeviceAction(const SerialDeviceAction& action, bool arrived,
                              const records::SerialPortList& ports);

} // namespace tavrel::link
