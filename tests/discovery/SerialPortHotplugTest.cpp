// A real device event reaching the monitor and, through it, the action. The event is a synthetic
// "change" uevent written to a virtual console's sysfs entry (tty63, or ptmx): it belongs to no
// serial port, so nobody is disturbed, yet it comes through the same kernel and udev path as a
// plugged adapter's. The ports themselves come from a list of the test's own, where an adapter
// has been "plugged in" that only a new listing can see.
#include "DiscoveryTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <linux/netlink.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace tavrel::link;
using namespace tavrel::records;

namespace {

// A kernel-event socket of the test's own, to tell "no event reaches this system" apart from
// "the monitor missed an event".
struct UeventWitness {
    UeventWitness() {
        sockaddr_nl address{};
        address.nl_family = AF_NETLINK;
        address.nl_groups = 1; // the kernel's own events
        bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
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

TEST(SerialPortHotplug, DeviceEventMakesTheMonitorListAgainAndReportTheNewPort) {
    std::string devpath = "/devices/virtual/tty/tty63";
    if (!std::filesystem::exists("/sys" + devpath)) {
        devpath = "/devices/virtual/tty/ptmx";
    }
    SerialPortList ports{{"ttyS0", "/dev/ttyS0"}};
    SerialDeviceNotifier notifier([&] { return ports; });
    NotificationRecorder recorder;
    int target = 0;
    notifier.registerTarget(&target, recorder.withFlagAndPorts());
    const std::string source = notifier.monitor()->eventSource();
    ASSERT_FALSE(source.empty()) << "no udev monitor could be made";
    std::cout << "udev monitor source: " << source << "\n";

    ports.insert({"ttyUSB0", "/dev/ttyUSB0"}); // only a new listing sees it
    UeventWitness witness;
    std::ofstream uevent("/sys" + devpath + "/uevent");
    if (!(uevent << "change" << std::flush)) {
        GTEST_SKIP() << "cannot write /sys" << devpath << "/uevent: " << std::strerror(errno);
    }
    if (!serveUntilListed(notifier)) {
        ASSERT_FALSE(witness.sawEventFor(devpath))
            << "the kernel sent the event but the " << source << " monitor did not report it";
        GTEST_SKIP() << "no device event reaches this system's network namespace";
    }
    EXPECT_EQ(recorder.calls, (Calls{{2, true, {{"ttyUSB0", "/dev/ttyUSB0"}}}}));
}

} // namespace
