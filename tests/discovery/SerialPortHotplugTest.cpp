// A real device event reaching the monitor and, through it, the action. The ports themselves
// come from a list of the test's own, where an adapter has been "plugged in" that only a new
// listing can see.
#include "DiscoveryTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <iostream>

namespace {

TEST(SerialPortHotplug, DeviceEventMakesTheMonitorListAgainAndReportTheNewPort) {
    const std::string devpath = virtualConsoleDevpath();
    SerialPortList ports{{"ttyS0", {"/dev/ttyS0"}}};
    SerialDeviceNotifier notifier([&] { return ports; });
    NotificationRecorder recorder;
    int target = 0;
    notifier.registerTarget(&target, recorder.withFlagAndPorts());
    const std::string source = notifier.monitor()->eventSource();
    ASSERT_FALSE(source.empty()) << "no udev monitor could be made";
    std::cout << "udev monitor source: " << source << "\n";

    ports.insert({"ttyUSB0", {"/dev/ttyUSB0"}}); // only a new listing sees it
    UeventWitness witness;
    if (!sendChangeEvent()) {
        GTEST_SKIP() << "cannot write /sys" << devpath << "/uevent: " << std::strerror(errno);
    }
    if (!serveUntilListed(notifier)) {
        ASSERT_FALSE(witness.sawEventFor(devpath))
            << "the kernel sent the event but the " << source << " monitor did not report it";
        GTEST_SKIP() << "no device event reaches this system's network namespace";
    }
    EXPECT_EQ(recorder.calls, (Calls{{2, true, {{"ttyUSB0", {"/dev/ttyUSB0"}}}}}));
}

} // namespace
