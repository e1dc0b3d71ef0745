// Which ttys are serial ports, and the port list built from them.
//
// A tty counts as a serial port when it hangs off a real device (virtual consoles, pseudo-terminals
// and the like have no parent) and, when it carries the serial core's "type" attribute, that type
// is not 0. The legacy 8250 ports exist whether or not a UART sits behind them; their type is the
// only harmless way to tell. Nothing here opens a port: opening one disturbs whoever is using it.
//
// Devices are read as records, either through libudev or from a sysfs tree given by its root (with
// the udev database beside it, which describes the adapters), so the rules can be run over
// recorded trees as well as over the machine itself.
#pragma once

#include "SerialPortAdapter.h"
#include "SerialPortList.h"

#include <optional>
#include <string>
#include <vector>

namespace tavrel::link {

// What the listing needs to know of one tty.
struct SerialDeviceRecord {
    std::optional<std::string> name;       // the kernel's name, "ttyUSB0"
    std::optional<std::string> devicePath; // the device node, "/dev/ttyUSB0"
    bool hasParentDevice = false;
    std::optional<long> uartType; // the "type" attribute, for ports of the serial core
    UdevProperties properties;    // what udev holds of it: DEVLINKS, the adapter's ID_* values
};

// The one name that is never listed, whatever device carries it.
inline constexpr const char* SerialPortExcludedName = "Bluetooth-PDA-Sync";

bool isListableSerialDevice(const SerialDeviceRecord& record);

// Builds the port list in record order: a later record with a name already listed replaces it.
// Each port carries its adapter's description and identity.
records::SerialPortList serialPortListFromRecords(const std::vector<SerialDeviceRecord>& records);

// The value of a "type" attribute, or nothing when the text is not a number.
std::optional<long> parseUartType(const char* text);

// The ttys of the machine as libudev enumerates them; null (logged) when the query fails.
std::optional<std::vector<SerialDeviceRecord>> udevSerialDeviceRecords();

// The ttys of the sysfs tree under `sysfsRoot` (its "class/tty" folder), in name order; null
// (logged) when that folder cannot be read. Their udev properties are read from the udev database
// in `udevDataFolder` ("/run/udev/data" beside "/sys"), as libudev reads them; none when it is
// empty or holds nothing of a tty.
std::optional<std::vector<SerialDeviceRecord>>
sysfsSerialDeviceRecords(const std::string& sysfsRoot, const std::string& udevDataFolder = {});

// The machine's serial ports through libudev, or null when the query fails.
std::optional<records::SerialPortList> scanSerialPorts();

// The serial ports of a sysfs tree and a udev database (as above), or null when the tree cannot be
// read.
std::optional<records::SerialPortList> scanSerialPorts(const std::string& sysfsRoot,
                                                       const std::string& udevDataFolder = {});

} // namespace tavrel::link
