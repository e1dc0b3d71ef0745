// What a serial port change notification calls: with no argument, with the arrival flag, or with
// the flag and the ports that arrived or departed.
#pragma once

#include "SerialPortList.h"

#include <functional>
#include <variant>

namespace tavrel::link {

using SerialDeviceAction = std::variant<std::function<void()>, std::function<void(bool)>,
                                        std::function<void(bool, const records::SerialPortList&)>>;

} // namespace tavrel::link
