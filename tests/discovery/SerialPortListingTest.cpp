// Which ttys are listed as serial ports, and how the port list is built, over records, over
// recorded sysfs trees and over this machine. Nothing here opens a port.
#include "SerialPortScanner.h"
#include "TavrelLog.h"
#include "TavrelSocket.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string fixtures = DISCOVERY_FIXTURES;

SerialDeviceRecord tty(std::optional<std::string> name, std::optional<std::string> path,
                       bool hasParent = true, std::optional<long> type = std::nullopt) {
    return SerialDeviceRecord{std::move(name), std::move(path), hasParent, type};
}

struct ListingCase {
    const char* what;
    std::vector<SerialDeviceRecord> records;
    SerialPortList expected;
};

const ListingCase listingCases[] = {
    {"no ttys give an empty list", {}, {}},
    {"a USB-serial adapter is listed by kernel name and node",
     {tty("ttyUSB0", "/dev/ttyUSB0")},
     {{"ttyUSB0", "/dev/ttyUSB0"}}},
    {"a UART that answered is listed",
     {tty("ttyS0", "/dev/ttyS0", true, 4)},
     {{"ttyS0", "/dev/ttyS0"}}},
    {"a legacy port without a UART is left out", {tty("ttyS1", "/dev/ttyS1", true, 0)}, {}},
    {"a virtual console is left out", {tty("tty1", "/dev/tty1", false)}, {}},
    {"a tty without a name is left out, the next one is listed",
     {tty(std::nullopt, "/dev/ttyUSB0"), tty("ttyUSB1", "/dev/ttyUSB1")},
     {{"ttyUSB1", "/dev/ttyUSB1"}}},
    {"a tty without a device node is left out, the next one is listed",
     {tty("ttyX0", std::nullopt), tty("ttyACM0", "/dev/ttyACM0")},
     {{"ttyACM0", "/dev/ttyACM0"}}},
    {"Bluetooth-PDA-Sync is never listed",
     {tty("Bluetooth-PDA-Sync", "/dev/Bluetooth-PDA-Sync"), tty("ttyS0", "/dev/ttyS0", true, 4)},
     {{"ttyS0", "/dev/ttyS0"}}},
    {"a name met twice keeps the later path",
     {tty("ttyUSB0", "/dev/first"), tty("ttyUSB0", "/dev/second")},
     {{"ttyUSB0", "/dev/second"}}},
    {"a name met twice keeps the later path even when the later one is not listable",
     {tty("ttyUSB0", "/dev/first"), tty("ttyUSB0", std::nullopt)},
     {{"ttyUSB0", "/dev/first"}}},
};

TEST(SerialPortListing, FollowsTheListingRules) {
    for (const ListingCase& c : listingCases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(serialPortListFromRecords(c.records), c.expected);
    }
}

TEST(SerialPortListing, OrdersNamesCaseSensitivelyAscending) {
    std::vector<SerialDeviceRecord> records;
    for (const char* name : {"ttyUSB0", "ttyS10", "ttyS2", "ttyACM0", "alpha", "Zeta"}) {
        records.push_back(tty(name, std::string("/dev/") + name));
    }
    std::vector<std::string> names;
    for (const auto& [name, path] : serialPortListFromRecords(records)) {
        names.push_back(name);
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"Zeta", "alpha", "ttyACM0", "ttyS10", "ttyS2", "ttyUSB0"}));
}

TEST(SerialPortListing, ReadsTheUartTypeAttribute) {
    const std::pair<const char*, std::optional<long>> cases[] = {
        {"4\n", 4},
        {"0\n", 0},
        {"0", 0},
        {"12 \n", 12},
        {"", std::nullopt},
        {"4x\n", std::nullopt},
        {"unknown\n", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(parseUartType(text), expected);
    }
}

TEST(SerialPortListing, RecordedDesktopTreeListsOnlyItsRealPorts) {
    // Virtual consoles, a Bluetooth tty, three legacy 8250 ports of type 0, a tty without a device
    // node and a Bluetooth-PDA-Sync device around an on-board UART behind the serial core's port
    // device, a PCI UART without one, a USB-serial adapter and a CDC ACM modem.
    auto ports = scanSerialPorts(fixtures + "/desktop");
    ASSERT_TRUE(ports);
    EXPECT_EQ(*ports, (SerialPortList{{"ttyACM0", "/dev/ttyACM0"},
                                      {"ttyS0", "/dev/ttyS0"},
                                      {"ttyS4", "/dev/ttyS4"},
                                      {"ttyUSB0", "/dev/ttyUSB0"}}));
}

TEST(SerialPortListing, RecordedVirtualMachineTreeListsItsOneUart) {
    // Recorded on a kernel that puts a serial port device between the tty and its driver; 64
    // virtual consoles besides.
    auto ports = scanSerialPorts(fixtures + "/vm-kernel-6.18");
    ASSERT_TRUE(ports);
    EXPECT_EQ(*ports, (SerialPortList{{"ttyS0", "/dev/ttyS0"}}));
}

TEST(SerialPortListing, UnreadableTreeGivesNullAndIsLogged) {
    std::vector<std::string> logged;
    tavrelLogSetSink([&](const std::string& line) { logged.push_back(line); });
    auto ports = scanSerialPorts(fixtures + "/no-such-tree");
    tavrelLogSetSink({});

    EXPECT_FALSE(ports);
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[0].rfind("Error reading serial devices ", 0), 0u) << logged[0];
    EXPECT_EQ(logged[1], "Error finding RS-232 Services, returned -2");
}

TEST(SerialPortListing, ThisMachineGivesAListAsItsSysfsDoes) {
    auto ports = TavrelSocket::availableSerialDevices();
    ASSERT_TRUE(ports) << "the udev query failed";
    auto fromSysfs = scanSerialPorts("/sys");
    ASSERT_TRUE(fromSysfs);
    EXPECT_EQ(*ports, *fromSysfs);
    for (const auto& [name, path] : *ports) {
        EXPECT_TRUE(path.starts_with("/dev/")) << name << " " << path;
    }
}

} // namespace
