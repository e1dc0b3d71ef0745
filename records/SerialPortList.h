// The serial ports of the machine as discovery reports them.
#pragma once

#include <map>
#include <string>

namespace tavrel::records {

// Port name (the kernel's name, "ttyUSB0") to device path ("/dev/ttyUSB0").
using SerialPortList = std::map<std::string, std::string>;

} // namespace tavrel::records
