// The one shape in which the device link names a failed system call: what failed, the device
// path, the system's text and the error number, as in "Error opening serial port /dev/ttyUSB0 -
// Permission denied(13)". Log lines and failure reasons both use it.
#pragma once

#include <cstring>
#include <string>

inline std::string systemErrorText(const char* what, const std::string& path, int errorNumber) {
    return std::string(what) + " " + path + " - " + std::strerror(errorNumber) + "(" +
           std::to_string(errorNumber) + ")";
}
