#include "DevicePort.h"

#include "Diagnostics.h"


std::optional<std::string> resolvePort(const std::string& port, std::string* problem) {
    if (port.find('/') != std::string::npos) {
        return port;
    }
    auto ports = TavrelSocket::availableSerialDevices();
    if (ports) {
        auto found = ports->find(port);
        if (found != ports->end()) {
            return found->second;
        }
    }
    *problem = "unknown port '" + port + "' (see 'tavrelctl ports', or give a device path)";
    return std::nullopt;
}

std::shared_ptr<TavrelSocket> openDevice(const std::string& path) {
    int openErrno = 0;
    auto socket = TavrelSocket::socketForDeviceFilePath(path, &openErrno);
    if (!socket) {
        TavrelError error = toolError("Error communicating with VRG-500",
                                      "Perhaps the device is off or the wrong port is selected.");
        error.failureReason = explainOpenFailure(path, openErrno);
        reportError(error);
    }
    return socket;
}
