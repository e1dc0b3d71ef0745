// A real device event reaching the monitor and, through it, the action. The event is a synthetic
// "change" uevent written to a virtual console's sysfs entry (tty63, or ptmx): it belongs to no
// serial port, so nobody is disturbed, yet it comes through the same kernel and udev path as a
// plugged adapter's. The ports themselves are listed from a sysfs tree of the test's own, where
// an adapter has been "plugged in" that only a new listing can see.
#include "NotificationRecorder.h"
#include "SerialPortScanner.h"
#include "SysfsTree.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <linux/netlink.h>
#include <sys/socket.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The sysfs folder of a virtual tty, checked to be one, or nothing.
std::optional<fs::path> virtualTtyFolder() {
    for (const char* name : {"tty63", "ptmx"}) {
        std::error_code error;
        fs::path folder = fs::canonical(fs::path("/sys/class/tty") / name, error);
        if (!error && folder.string().starts_with("/sys/devices/virtual/tty/")) {
            return folder;
        }
    }
    return std::nullopt;
}

// A kernel-event socket of the test's own, to tell "no event reaches this system" apart from
// "the monitor missed an event".
class UeventWitness {
  public:
    UeventWitness() {
        _fd = socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_KOBJECT_UEVENT);
        sockaddr_nl address{};
        address.nl_family = AF_NETLINK;
        address.nl_groups = 1; // the kernel's own events
        if (_fd >= 0 && bind(_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0) {
            close(_fd);
            _fd = -1;
        }
    }
    ~UeventWitness() {
        if (_fd >= 0) {
            close(_fd);
        }
    }
    UeventWitness(const UeventWitness&) = delete;
    UeventWitness& operator=(const UeventWitness&) = delete;

    bool sawEventFor(const std::string& devpath) {
        char message[8192];
        ssize_t length = 0;
        while (_fd >= 0 && (length = recv(_fd, message, sizeof message - 1, 0)) > 0) {
            message[length] = '\0';
            // The header is "ACTION@DEVPATH".
            if (const char* at = std::strchr(message, '@'); at != nullptr && devpath == at + 1) {
                return true;
            }
        }
        return false;
    }

  private:
    int _fd = -1;
};

// Writes the synthetic event; 0 on success, else the errno.
int writeSyntheticEvent(const fs::path& ttyFolder) {
    int fd = open((ttyFolder / "uevent").c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    const char action[] = "change";
    int error = write(fd, action, sizeof action - 1) < 0 ? errno : 0;
    close(fd);
    return error;
}

TEST(SerialPortHotplug, DeviceEventMakesTheMonitorListAgainAndReportTheNewPort) {
    auto ttyFolder = virtualTtyFolder();
    if (!ttyFolder) {
        GTEST_SKIP() << "no virtual tty in /sys/class/tty to send an event for";
    }
    SysfsTree tree;
    tree.addUart("ttyS0", 4);
    SerialDeviceNotifier notifier([&] { return scanSerialPorts(tree.root()); });
    NotificationRecorder recorder;
    int target = 0;
    notifier.registerTarget(&target, recorder.withFlagAndPorts());
    const std::string source = notifier.monitor()->eventSource();
    ASSERT_FALSE(source.empty()) << "no udev monitor could be made";
    RecordProperty("event_source", source);
    std::cout << "udev monitor source: " << source << "\n";

    tree.plugUsbAdapter("ttyUSB0"); // only a new listing sees it
    UeventWitness witness;
    if (int error = writeSyntheticEvent(*ttyFolder); error != 0) {
        GTEST_SKIP() << "cannot write " << (*ttyFolder / "uevent") << ": " << std::strerror(error);
    }

    if (!serveUntilListed(notifier)) {
        const std::string devpath = ttyFolder->string().substr(std::strlen("/sys"));
        ASSERT_FALSE(witness.sawEventFor(devpath))
            << "the kernel sent the event but the " << source << " monitor did not report it";
        GTEST_SKIP() << "no device event reaches this system's network namespace";
    }
    EXPECT_EQ(recorder.calls,
              (std::vector<NotificationCall>{{2, true, {{"ttyUSB0", "/dev/ttyUSB0"}}}}));
}

} // namespace
