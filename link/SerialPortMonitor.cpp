#include "SerialPortMonitor.h"

#include "SystemErrorText.h"
#include "TavrelLog.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <libudev.h>
#include <sys/epoll.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace tavrel::link {

using records::SerialPortList;
using records::systemErrorText;

namespace {

constexpr const char* UdevControlPath = "/run/udev/control";

void logSystemFailure(const char* what) {
    int error = errno;
    tavrelLog("%s", systemErrorText(std::string(what) + " failed", error).c_str());
}

// Every port in `from` that `to` lacks or holds under another path or adapter.
SerialPortList portsMissingFrom(const SerialPortList& from, const SerialPortList& to) {
    SerialPortList missing;
    for (const auto& [name, port] : from) {
        auto found = to.find(name);
        if (found == to.end() || found->second != port) {
            missing.emplace(name, port);
        }
    }
    return missing;
}

} // namespace

const char* serialPortEventSource() {
    return access(UdevControlPath, F_OK) == 0 ? "udev" : "kernel";
}

SerialPortMonitor::SerialPortMonitor(Lister lister, std::chrono::milliseconds rescanDelay)
    : _lister(std::move(lister)), _rescanDelay(rescanDelay) {
    _openEpoll();
    _openTimer();
    _openUdevMonitor();
    // Listed only now that events are received: a port arriving in between is then either in
    // this listing or reported by the next one.
    auto ports = _lister();
    _listed = ports.has_value();
    _ports = std::move(ports).value_or(SerialPortList{});
}

SerialPortMonitor::~SerialPortMonitor() {
    if (_monitor != nullptr) {
        udev_monitor_unref(_monitor);
    }
    if (_udev != nullptr) {
        udev_unref(_udev);
    }
    if (_timerFd >= 0) {
        close(_timerFd);
    }
    if (_epollFd >= 0) {
        close(_epollFd);
    }
}

void SerialPortMonitor::_openEpoll() {
    _epollFd = epoll_create1(EPOLL_CLOEXEC);
    if (_epollFd < 0) {
        logSystemFailure("epoll_create1");
    }
}

void SerialPortMonitor::_openTimer() {
    _timerFd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (_timerFd < 0) {
        logSystemFailure("timerfd_create");
        return;
    }
    _watch(_timerFd, "epoll_ctl (timer)");
}

void SerialPortMonitor::_openUdevMonitor() {
    _udev = udev_new();
    if (_udev == nullptr) {
        tavrelLog("udev_new returned NULL");
        return;
    }
    const char* source = serialPortEventSource();
    _monitor = udev_monitor_new_from_netlink(_udev, source);
    if (_monitor == nullptr) {
        tavrelLog("udev_monitor_new_from_netlink (%s) returned NULL", source);
        return;
    }
    int status = udev_monitor_filter_add_match_subsystem_devtype(_monitor, "tty", nullptr);
    if (status < 0) {
        tavrelLog("udev_monitor_filter_add_match_subsystem_devtype returned %d", status);
    }
    status = udev_monitor_enable_receiving(_monitor);
    if (status < 0) {
        tavrelLog("udev_monitor_enable_receiving returned %d", status);
        return;
    }
    _eventSource = source;
    _watch(udev_monitor_get_fd(_monitor), "epoll_ctl (udev monitor)");
}

void SerialPortMonitor::_watch(int fd, const char* what) {
    if (_epollFd < 0 || fd < 0) {
        return;
    }
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fd;
    if (epoll_ctl(_epollFd, EPOLL_CTL_ADD, fd, &event) < 0) {
        logSystemFailure(what);
    }
}

void SerialPortMonitor::scheduleRescan() {
    if (_rescanPending) {
        return;
    }
    _rescanPending = true;
    if (_timerFd < 0) {
        return; // listed at once by the next dispatch
    }
    auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(_rescanDelay).count();
    itimerspec when{};
    // A zero time would disarm the timer instead of firing it.
    nanoseconds = nanoseconds > 0 ? nanoseconds : 1;
    when.it_value.tv_sec = static_cast<time_t>(nanoseconds / 1'000'000'000);
    when.it_value.tv_nsec = static_cast<long>(nanoseconds % 1'000'000'000);
    if (timerfd_settime(_timerFd, 0, &when, nullptr) < 0) {
        logSystemFailure("timerfd_settime");
        _rescanPending = false;
    }
}

std::optional<SerialPortMonitor::Changes> SerialPortMonitor::dispatch() {
    if (_drainMonitor()) {
        scheduleRescan();
    }
    if (!_rescanPending) {
        return std::nullopt;
    }
    if (_timerFd >= 0 && !_timerExpired()) {
        return std::nullopt;
    }
    _rescanPending = false;
    return _rescan();
}

bool SerialPortMonitor::_drainMonitor() {
    if (_monitor == nullptr) {
        return false;
    }
    // The monitor's socket does not block: this ends when the queue is empty.
    bool received = false;
    while (udev_device* device = udev_monitor_receive_device(_monitor)) {
        received = true;
        udev_device_unref(device);
    }
    return received;
}

bool SerialPortMonitor::_timerExpired() {
    uint64_t expirations = 0;
    return read(_timerFd, &expirations, sizeof expirations) == sizeof expirations;
}

SerialPortMonitor::Changes SerialPortMonitor::_rescan() {
    auto ports = _lister();
    if (!ports) {
        // Already logged. Keeping the last listing means a failed query never looks like every
        // port being pulled out.
        return {};
    }
    // Without an earlier listing there is nothing to compare with: the ports present now were
    // there before the subscription as far as anyone can tell, and did not arrive.
    Changes changes;
    if (_listed) {
        changes = {portsMissingFrom(*ports, _ports), portsMissingFrom(_ports, *ports)};
    }
    _ports = std::move(*ports);
    _listed = true;
    return changes;
}

} // namespace tavrel::link
