// Which ttys are listed as serial ports, over records, over a recorded sysfs tree and over this
// machine. Nothing here opens a port.
#include "SerialPortDiscovery.h"
#include "SerialPortScanner.h"
#include "TavrelLog.h"

#include <gtest/gtest.h>

using namespace tavrel::link;
using namespace tavrel::records;

namespace {

const std::string fixtures = DISCOVERY_FIXTURES;
using PortsInOrder = std::vector<std::pair<std::string, std::string>>;

SerialDeviceRecord tty(std::optional<std::string> name, std::optional<std::string> path) {
    return SerialDeviceRecord{std::move(name), std::move(path), true, std::nullopt};
}

TEST(SerialPortListing, FollowsTheListingRules) {
    const struct {
        const char* what;
        std::vector<SerialDeviceRecord> records;
        PortsInOrder expected;
    } cases[] = {
        // Virtual consoles, a Bluetooth tty, three legacy 8250 ports of type 0, a tty without a
        // device node and a Bluetooth-PDA-Sync device around an on-board UART behind the serial
        // core's port device, a PCI UART without one, a USB-serial adapter and a CDC ACM modem.
        {"the recorded desktop tree lists only its real ports",
         sysfsSerialDeviceRecords(fixtures + "/desktop").value(),
         {{"ttyACM0", "/dev/ttyACM0"},
          {"ttyS0", "/dev/ttyS0"},
          {"ttyS4", "/dev/ttyS4"},
          {"ttyUSB0", "/dev/ttyUSB0"}}},
        {"a tty without a name is left out, the next one is listed",
         {tty(std::nullopt, "/dev/ttyUSB0"), tty("ttyUSB1", "/dev/ttyUSB1")},
         {{"ttyUSB1", "/dev/ttyUSB1"}}},
        {"a name met twice keeps the later path",
         {tty("ttyUSB0", "/dev/first"), tty("ttyUSB0", "/dev/second")},
         {{"ttyUSB0", "/dev/second"}}},
        {"a name met twice keeps the later path only when the later one is listable",
         {tty("ttyUSB0", "/dev/first"), tty("ttyUSB0", std::nullopt)},
         {{"ttyUSB0", "/dev/first"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const SerialPortList ports = serialPortListFromRecords(c.records);
        EXPECT_EQ(PortsInOrder(ports.begin(), ports.end()), c.expected);
    }
}

TEST(SerialPortListing, UnreadableTreeGivesNullAndIsLogged) {
    std::vector<std::string> logged;
    tavrelLogSetSink([&](TavrelLogLevel level, const std::string& line) {
        logged.push_back(line);
        EXPECT_EQ(level, TavrelLogLevel::Error) << line; // where `journalctl -p err` shows it
    });
    auto ports = scanSerialPorts(fixtures + "/no-such-tree");
    tavrelLogSetSink({});

    EXPECT_FALSE(ports);
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[0].rfind("Error reading serial devices ", 0), 0u) << logged[0];
    EXPECT_EQ(logged[1], "Error finding RS-232 Services, returned -2");
}

TEST(SerialPortListing, ThisMachineGivesAListAsItsSysfsDoes) {
    auto ports = availableSerialDevices();
    ASSERT_TRUE(ports) << "the udev query failed";
    EXPECT_EQ(ports, scanSerialPorts("/sys"));
}

} // namespace
