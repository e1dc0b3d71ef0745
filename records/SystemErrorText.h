// The one shape in which Tavrel names a failed system call: what failed, the device path when
// there is one, the system's text and the error number, as in "Error opening serial port
// /dev/ttyUSB0 - Permission denied(13)". Log lines and failure reasons both use it.
#pragma once

#include <cstring>
#include <string>

namespace tavrel::records {

inline std::string systemErrorText(const std::string& what, int errorNumber) {
    return what + " - " + std::strerror(errorNumber) + "(" + std::to_string(errorNumber) + ")";
}

inline std::string systemErrorText(const char* what, const std::string& path, int errorNumber) {
    return systemErrorText(std::string(what) + " " + path, errorNumber);
}

} // namespace tavrel::records
