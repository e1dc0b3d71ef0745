#include "OpenFailure.h"

#include <cerrno>
#include <cstring>

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
