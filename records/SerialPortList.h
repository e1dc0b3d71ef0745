// The serial ports of the machine as discovery reports them.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace tavrel::records {

// Where udev links each adapter's port under a name made of its vendor, model and serial number.
inline constexpr const char* SerialByIdFolder = "/dev/serial/by-id/";

// One listed port. The description and identity come from udev's account of the adapter behind
// the port; a port without one (a built-in UART, a pseudo-terminal) has both empty.
struct SerialPort {
    std::string path = {};        // the device node, "/dev/ttyUSB0"
    std::string description = {}; // vendor, model and serial number, "FTDI FT232R USB UART A600XYZ"
    // What names this adapter wherever it is plugged in: its link in SerialByIdFolder, or failing
    // that udev's serial name of it.
    std::string identity = {};

    bool operator==(const SerialPort&) const = default;
};

// Port name (the kernel's name, "ttyUSB0") to the port.
using SerialPortList = std::map<std::string, SerialPort>;

// The name of the listed port whose identity is the link `linkName` in SerialByIdFolder
// ("usb-FTDI_FT232R_USB_UART_A600XYZ-if00-port0"); nothing when no port has it.
std::optional<std::string> portNameOfByIdLink(const SerialPortList& ports,
                                              const std::string& linkName);

} // namespace tavrel::records
