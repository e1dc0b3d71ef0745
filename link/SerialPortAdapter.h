// What udev tells of the adapter behind a port: the description a person tells it apart by, and
// the identity that follows it from one kernel name to the next. Both are empty for a port udev
// describes no adapter of (a built-in UART, a pseudo-terminal).
#pragma once

#include <map>
#include <string>

namespace tavrel::link {

// A device's udev properties, name to value ("ID_MODEL" to "FT232R_USB_UART").
using UdevProperties = std::map<std::string, std::string>;

// Vendor, model and serial number, those known, separated by spaces. Vendor and model are each
// taken from the hardware database when it names them, else from the adapter's own strings.
std::string adapterDescription(const UdevProperties& properties);

// The adapter's link in /dev/serial/by-id (the first in name order when it has several), or
// failing that its ID_SERIAL.
std::string adapterIdentity(const UdevProperties& properties);

// A udev "_ENC" value with its \xNN escapes decoded.
std::string decodeUdevEncoded(const std::string& encoded);

} // namespace tavrel::link
