#include "SerialPortDiscovery.h"

#include "SerialDeviceNotifier.h"
#include "SerialPortScanner.h"

namespace tavrel::link {

using records::SerialPortList;

namespace {

SerialDeviceNotifier& processNotifier() {
    static SerialDeviceNotifier notifier([] { return scanSerialPorts(); });
    return notifier;
}

} // namespace

std::optional<SerialPortList> availableSerialDevices() {
    return scanSerialPorts();
}

void registerForSerialDeviceNotifications(const void* target, SerialDeviceAction action) {
    processNotifier().registerTarget(target, std::move(action));
}

int serialDeviceNotificationDescriptor() {
    return processNotifier().descriptor();
}

void dispatchSerialDeviceNotifications() {
    processNotifier().dispatch();
}

} // namespace tavrel::link
