// The process-wide port discovery: the listing through libudev and the one subscription to port
// changes. TavrelSocket's class-level discovery operations forward here.
#pragma once

#include "SerialDeviceAction.h"
#include "SerialPortList.h"

#include <optional>

namespace tavrel::link {

std::optional<records::SerialPortList> availableSerialDevices();
// Subscribes `target` (once per process) to port arrivals and departures; a later call with
// another target redirects, a null target unsubscribes.
void registerForSerialDeviceNotifications(const void* target, SerialDeviceAction action);
int serialDeviceNotificationDescriptor(); // -1 while not subscribed
void dispatchSerialDeviceNotifications();

} // namespace tavrel::link
