// Watches the machine's ttys and turns each burst of device events into one new port listing,
// compared with the listing before it.
//
// Events come from a udev monitor on subsystem "tty". Where a udev daemon runs, the "udev" source
// reports a port once its device node exists with its permissions; where none runs (no
// /run/udev/control: a container, a minimal system) that source stays silent, so the kernel's own
// events are taken instead. Either way an event only means "list again": the listing happens a
// short delay after the first event of a burst, so a burst gives one listing and a port's node
// has settled by then.
//
// The one descriptor() is an epoll set holding the monitor and the delay timer. Whoever runs the
// event loop waits for it to become readable and then calls dispatch().
#pragma once

#include "SerialPortList.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>

struct udev;
struct udev_monitor;

namespace tavrel::link {

class SerialPortMonitor {
  public:
    using Lister = std::function<std::optional<records::SerialPortList>()>;

    // The ports that appeared and those that went away between two listings. A port whose path
    // or adapter changed under the same name is in both.
    struct Changes {
        records::SerialPortList arrived;
        records::SerialPortList departed;
    };

    static constexpr std::chrono::milliseconds defaultRescanDelay{300};

    // Starts watching and takes the first listing, against which the first changes are found;
    // when that listing fails, the first one that succeeds takes its place. A part that cannot be
    // set up is logged and the rest goes on; with no epoll set at all the descriptor is -1 and
    // nothing is ever reported.
    explicit SerialPortMonitor(Lister lister,
                               std::chrono::milliseconds rescanDelay = defaultRescanDelay);
    ~SerialPortMonitor();

    SerialPortMonitor(const SerialPortMonitor&) = delete;
    SerialPortMonitor& operator=(const SerialPortMonitor&) = delete;

    int descriptor() const { return _epollFd; }

    // "udev" or "kernel", the source the monitor listens to; empty when there is no monitor.
    const std::string& eventSource() const { return _eventSource; }

    // What an event does: lists again once the delay has passed, unless a listing is pending.
    void scheduleRescan();

    // Reads what is ready. Returns the changes when a listing was made (possibly none changed),
    // nothing when it is not yet time to list.
    std::optional<Changes> dispatch();

    // The ports as last listed (none until a listing has succeeded).
    const records::SerialPortList& ports() const { return _ports; }

  private:
    void _openEpoll();
    void _openTimer();
    void _openUdevMonitor();
    void _watch(int fd, const char* what);
    bool _drainMonitor();
    bool _timerExpired();
    Changes _rescan();

    Lister _lister;
    std::chrono::milliseconds _rescanDelay;
    records::SerialPortList _ports;
    bool _listed = false; // _ports holds a listing that succeeded
    std::string _eventSource;
    int _epollFd = -1;
    int _timerFd = -1;
    bool _rescanPending = false;
    udev* _udev = nullptr;
    udev_monitor* _monitor = nullptr;
};

// The udev event source to listen to: "udev" when a udev daemon runs, else "kernel".
const char* serialPortEventSource();

} // namespace tavrel::link
