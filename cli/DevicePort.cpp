#include "DevicePort.h"

#include "Diagnostics.h"
#include "SerialPortDiscovery.h"

namespace tavrel::cli {

using link::availableSerialDevices;
using link::explainOpenFailure;
using link::GenericDeviceErrorInformation;
using link::GenericDeviceErrorMessage;
using link::TavrelSocket;
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
    auto found = ports->find(port);
    if (found == ports->end()) {
        *failure = reportUsageError("unknown port '" + port +
                                    "' (see 'tavrelctl ports', or give a device path)");
        return std::nullopt;
    }
    return found->second;
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
