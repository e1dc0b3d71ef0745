// The process-wide port discovery: the listing through libudev and the one subscription to port
// changes. The application and tavrelctl list and follow ports through these, apart from any
// connection.
#pragma once

#include "SerialDeviceAction.h"
#include "SerialPortList.h"

#include <optional>

namespace tavrel::link {

std::optional<records::SerialPortList> availableSerialDevices();
// Subscribes `target` (once per process) to port arrivals and departures; a later call with
// another target redirects, a null target unsubscribes. Notifications are delivered from
// dispatchSerialDeviceNotifications(), which the owner of the event loop calls whenever
// serialDeviceNotificationDescriptor() is readable.
void registerForSerialDeviceNotifications(const void* target, SerialDeviceAction action);
int serialDeviceNotificationDescriptor(); // -1 while not subscribed
void dispatchSerialDeviceNotifications();

} // namespace tavrel::link
