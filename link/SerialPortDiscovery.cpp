// TavrelSocket's class-level port discovery: the listing through libudev and the one
// process-wide subscription to port changes.
#include "SerialDeviceNotifier.h"
#include "SerialPortScanner.h"
#include "TavrelSocket.h"

namespace {

SerialDeviceNotifier& processNotifier() {
    static SerialDeviceNotifier notifier([] { return scanSerialPorts(); });
    return notifier;
}

} // namespace

std::optional<SerialPortList> TavrelSocket::availableSerialDevices() {
    return scanSerialPorts();
}

void TavrelSocket::registerForSerialDeviceNotifications(const void* target,
                                                        SerialDeviceAction action) {
    processNotifier().registerTarget(target, std::move(action));
}

int TavrelSocket::serialDeviceNotificationDescriptor() {
    return processNotifier().descriptor();
}

void TavrelSocket::dispatchSerialDeviceNotifications() {
    processNotifier().dispatch();
}
