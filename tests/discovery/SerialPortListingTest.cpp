// Which ttys are listed as serial ports and how their adapters are described and told apart, over
// records, over a recorded sysfs tree with its udev database and over this machine. Nothing here
// opens a port.
#include "SerialPortDiscovery.h"
#include "SerialPortScanner.h"
#include "TavrelLog.h"

#include <gtest/gtest.h>

using namespace tavrel::link;
using namespace tavrel::records;

namespace {

const std::string fixtures = DISCOVERY_FIXTURES;
using PortsInOrder = std::vector<std::pair<std::string, SerialPort>>;

SerialDeviceRecord tty(std::optional<std::string> name, std::optional<std::string> path,
                       UdevProperties properties = {}) {
    return SerialDeviceRecord{std::move(name), std::move(path), true, std::nullopt,
                              std::move(properties)};
}

const std::string ftdiById = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A600XYZ-if00-port0";
const std::string arduinoById =
    "/dev/serial/by-id/usb-Arduino__www.arduino.cc__0043_75830333238351F0C0A1-if00";

TEST(SerialPortListing, FollowsTheListingRules) {
    const struct {
        const char* what;
        std::vector<SerialDeviceRecord> records;
        PortsInOrder expected;
    } cases[] = {
        // Virtual consoles, a Bluetooth tty, three legacy 8250 ports of type 0, a tty without a
        // device node and a Bluetooth-PDA-Sync device around an on-board UART behind the serial
        // core's port device, a PCI UART without one, a USB-serial adapter and a CDC ACM modem.
        // Its udev database describes the two USB adapters; the on-board UARTs have none.
        {"the recorded desktop tree lists only its real ports",
         sysfsSerialDeviceRecords(fixtures + "/desktop", fixtures + "/desktop.udev").value(),
         {{"ttyACM0",
           {"/dev/ttyACM0", "Arduino (www.arduino.cc) 0043 75830333238351F0C0A1", arduinoById}},
          {"ttyS0", {"/dev/ttyS0"}},
          {"ttyS4", {"/dev/ttyS4"}},
          {"ttyUSB0", {"/dev/ttyUSB0", "FTDI FT232R USB UART A600XYZ", ftdiById}}}},
        {"without a udev database no port is described",
         sysfsSerialDeviceRecords(fixtures + "/desktop").value(),
         {{"ttyACM0", {"/dev/ttyACM0"}},
          {"ttyS0", {"/dev/ttyS0"}},
          {"ttyS4", {"/dev/ttyS4"}},
          {"ttyUSB0", {"/dev/ttyUSB0"}}}},
        {"a tty without a name is left out, the next one is listed",
         {tty(std::nullopt, "/dev/ttyUSB0"), tty("ttyUSB1", "/dev/ttyUSB1")},
         {{"ttyUSB1", {"/dev/ttyUSB1"}}}},
        {"a name met twice keeps the later port",
         {tty("ttyUSB0", "/dev/first", {{"ID_SERIAL", "old"}}),
          tty("ttyUSB0", "/dev/second", {{"ID_SERIAL", "new"}})},
         {{"ttyUSB0", {"/dev/second", "", "new"}}}},
        {"a name met twice keeps the later path only when the later one is listable",
         {tty("ttyUSB0", "/dev/first"), tty("ttyUSB0", std::nullopt)},
         {{"ttyUSB0", {"/dev/first"}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const SerialPortList ports = serialPortListFromRecords(c.records);
        EXPECT_EQ(PortsInOrder(ports.begin(), ports.end()), c.expected);
    }
}

// What a person tells an adapter by, and what follows it to another name.
TEST(SerialPortListing, DescribesAndIdentifiesEachAdapter) {
    const struct {
        const char* what;
        UdevProperties properties;
        std::string description, identity;
    } cases[] = {
        {"the adapter's own strings before the database's names, then the serial number, and "
         "the by-id link",
         {{"ID_VENDOR_FROM_DATABASE", "Prolific Technology, Inc."},
          {"ID_VENDOR", "Prolific_Technology_Inc."},
          {"ID_MODEL_FROM_DATABASE", "PL2303 Serial Port"},
          {"ID_MODEL", "USB-Serial_Controller"},
          {"ID_SERIAL_SHORT", "0001"},
          {"ID_SERIAL", "Prolific_USB-Serial_Controller_0001"},
          {"DEVLINKS", "/dev/serial/by-path/pci-0:1 /dev/serial/by-id/usb-Prolific-port0"}},
         "Prolific Technology Inc. USB-Serial Controller 0001",
         "/dev/serial/by-id/usb-Prolific-port0"},
        {"the database's names where the adapter has no strings of its own",
         {{"ID_VENDOR_FROM_DATABASE", "Prolific Technology, Inc."},
          {"ID_MODEL_FROM_DATABASE", "PL2303 Serial Port"},
          {"ID_SERIAL", "Prolific_0001"}},
         "Prolific Technology, Inc. PL2303 Serial Port",
         "Prolific_0001"},
        {"the adapter's strings decoded, without control characters; the first by-id link",
         {{"ID_VENDOR_ENC", "Silicon\x20Labs\x1b[2J"},
          {"ID_VENDOR", "Silicon_Labs__2J"},
          {"ID_MODEL_ENC", "CP2102\x20USB\x20to\x20UART\x20\x20"},
          {"DEVLINKS", "/dev/serial/by-id/usb-b /dev/serial/by-id/usb-a"}},
         "Silicon Labs [2J CP2102 USB to UART",
         "/dev/serial/by-id/usb-a"},
        {"udev's safe strings with underscores as spaces; ID_SERIAL without a by-id link",
         {{"ID_MODEL", "USB2.0-Serial"},
          {"ID_VENDOR", "QinHeng_Electronics"},
          {"ID_SERIAL", "1a86_USB2.0-Serial"},
          {"DEVLINKS", "/dev/serial/by-path/pci-0:2 /dev/serial/by-id/"}},
         "QinHeng Electronics USB2.0-Serial",
         "1a86_USB2.0-Serial"},
        {"a serial number alone", {{"ID_SERIAL_SHORT", "A600XYZ"}}, "A600XYZ", ""},
        {"a built-in UART", {{"DEVNAME", "ttyS0"}, {"MAJOR", "4"}, {"MINOR", "64"}}, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(adapterDescription(c.properties), c.description);
        EXPECT_EQ(adapterIdentity(c.properties), c.identity);
    }
}

TEST(SerialPortListing, ByIdLinkNamesItsPort) {
    const SerialPortList ports =
        scanSerialPorts(fixtures + "/desktop", fixtures + "/desktop.udev").value();
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"usb-FTDI_FT232R_USB_UART_A600XYZ-if00-port0", "ttyUSB0"},
        {ftdiById, std::nullopt}, // a path is no link name
        {"usb-FTDI_FT232R_USB_UART_A600XYZ", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [link, name] : cases) {
        EXPECT_EQ(portNameOfByIdLink(ports, link), name) << link;
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
    EXPECT_EQ(ports, scanSerialPorts("/sys", "/run/udev/data"));
}

} // namespace
