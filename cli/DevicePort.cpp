#include "DevicePort.h"

#include "Diagnostics.h"
#include "SerialPortDiscovery.h"

namespace tavrel::cli {

using link::availableSerialDevices;
using link::explainOpenFailure;
using link::GenericDeviceErrorInformation;
using link::GenericDeviceErrorMessage;
using link::TavrelSocket;
using records::portNameOfByIdLink;
using records::TavrelError;

std::optional<std::string> resolvePort(const std::string& port, ExitStatus* failure) {
    if (port.find('/') != std::string::npos) {
        return port;
    }
    auto ports = availableSerialDevices();
    if (!ports) {
        // Not the user's mistake: the name may well be right.
        *failure =
            reportError(toolError("Could not list the serial ports to find '" + port + "'",
                                  "Give the port as a device path, such as /dev/" + port + "."));
        return std::nullopt;
    }
    // A kernel name first; else the name of an adapter's link in /dev/serial/by-id.
    auto found = ports->find(port);
    if (found == ports->end()) {
        if (auto byIdPort = portNameOfByIdLink(*ports, port)) {
            found = ports->find(*byIdPort);
        }
    }
    if (found == ports->end()) {
        *failure = reportUsageError("unknown port '" + port +
                                    "' (see 'tavrelctl ports', or give a device path)");
        return std::nullopt;
    }
    return found->second.path;
}

std::shared_ptr<TavrelSocket> openDevice(const std::string& path, TavrelError* error) {
    int openErrno = 0;
    auto socket = TavrelSocket::socketForDeviceFilePath(path, &openErrno);
    if (!socket) {
        *error = toolError(GenericDeviceErrorMessage, GenericDeviceErrorInformation);
        error->failureReason = explainOpenFailure(path, openErrno);
    }
    return socket;
}

} // namespace tavrel::cli
