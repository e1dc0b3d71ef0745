// Owning handles for the libudev objects that port discovery keeps, each released exactly once.
#pragma once

#include <libudev.h>
#include <memory>

namespace tavrel::link {

struct UdevDeleter {
    void operator()(udev* p) const { udev_unref(p); }
    void operator()(udev_enumerate* p) const { udev_enumerate_unref(p); }
    void operator()(udev_device* p) const { udev_device_unref(p); }
    void operator()(udev_monitor* p) const { udev_monitor_unref(p); }
};

template <typename T> using UdevHandle = std::unique_ptr<T, UdevDeleter>;

} // namespace tavrel::link
