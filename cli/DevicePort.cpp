#include "DevicePort.h"

#include "Diagnostics.h"

#include <cerrno>
#include <cstring>

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

std::string explainOpenFailure(const std::string& path, int errorNumber) {
    switch (errorNumber) {
    case EACCES:
    case EPERM:
        return "Permission denied for " + path +
               ": the account needs to be in the \"dialout\" group (log in again after adding it)";
    case EBUSY:
        return path + " is busy: another program is using the port";
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return "No such device: " + path;
    case ENOTTY:
        return path + " is not a serial port";
    case 0:
        return path + " could not be opened";
    default:
        return path + ": " + std::strerror(errorNumber);
    }
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
