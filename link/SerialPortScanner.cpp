#include "SerialPortScanner.h"

#include "SystemErrorText.h"
#include "TavrelLog.h"
#include "UdevHandles.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace tavrel::link {

using records::SerialPortList;
using records::systemErrorText;

namespace {

constexpr const char* TtySubsystem = "tty";

// Logs the failed query the way every listing failure ends, and gives the null result.
std::optional<std::vector<SerialDeviceRecord>> listingFailed(int status) {
    tavrelLog("Error finding RS-232 Services, returned %d", status);
    return std::nullopt;
}

int negativeErrno() {
    return errno != 0 ? -errno : -ENOMEM;
}

SerialDeviceRecord recordOfUdevDevice(udev_device* device) {
    SerialDeviceRecord record;
    if (const char* name = udev_device_get_sysname(device)) {
        record.name = name;
    }
    if (const char* node = udev_device_get_devnode(device)) {
        record.devicePath = node;
    }
    // The parent is owned by the device; it must not be released here.
    record.hasParentDevice = udev_device_get_parent(device) != nullptr;
    if (const char* type = udev_device_get_sysattr_value(device, "type")) {
        record.uartType = parseUartType(type);
    }
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_device_get_properties_list_entry(device)) {
        const char* value = udev_list_entry_get_value(entry);
        record.properties[udev_list_entry_get_name(entry)] = value != nullptr ? value : "";
    }
    return record;
}

std::optional<std::string> readSmallFile(const std::string& path) {
    std::ifstream file(path);
    if (!file) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The KEY=VALUE lines of a "uevent" file.
UdevProperties ueventProperties(const std::string& uevent) {
    UdevProperties properties;
    std::istringstream lines(uevent);
    for (std::string line; std::getline(lines, line);) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos && equals > 0) {
            properties[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return properties;
}

// Adds what a udev database entry holds of a device: its properties ("E:KEY=VALUE") and, as
// DEVLINKS, its links under /dev ("S:serial/by-id/..."), separated by spaces as libudev gives them.
void addUdevDatabaseEntry(const std::string& entry, UdevProperties& properties) {
    std::istringstream lines(entry);
    std::string links;
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("E:")) {
            const size_t equals = line.find('=');
            if (equals != std::string::npos && equals > 2) {
                properties[line.substr(2, equals - 2)] = line.substr(equals + 1);
            }
        } else if (line.starts_with("S:") && line.size() > 2) {
            links += (links.empty() ? "/dev/" : " /dev/") + line.substr(2);
        }
    }
    if (!links.empty()) {
        properties["DEVLINKS"] = links;
    }
}

SerialDeviceRecord recordOfSysfsTty(const std::string& ttyDirectory, const std::string& name,
                                    const std::string& udevDataFolder) {
    SerialDeviceRecord record;
    record.name = name;
    if (auto uevent = readSmallFile(ttyDirectory + "/uevent")) {
        record.properties = ueventProperties(*uevent);
    }
    // udev names the device node "/dev/" and the DEVNAME value.
    if (auto devName = record.properties.find("DEVNAME");
        devName != record.properties.end() && !devName->second.empty()) {
        record.devicePath = "/dev/" + devName->second;
    }
    struct stat linkStatus {};
    record.hasParentDevice = lstat((ttyDirectory + "/device").c_str(), &linkStatus) == 0;
    if (auto type = readSmallFile(ttyDirectory + "/type")) {
        record.uartType = parseUartType(type->c_str());
    }
    // A character device's entry is named "c" and its numbers.
    const auto major = record.properties.find("MAJOR");
    const auto minor = record.properties.find("MINOR");
    if (!udevDataFolder.empty() && major != record.properties.end() &&
        minor != record.properties.end()) {
        if (auto entry =
                readSmallFile(udevDataFolder + "/c" + major->second + ":" + minor->second)) {
            addUdevDatabaseEntry(*entry, record.properties);
        }
    }
    return record;
}

std::optional<std::vector<std::string>> directoryEntries(const std::string& path) {
    DIR* directory = opendir(path.c_str());
    if (directory == nullptr) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    while (const dirent* entry = readdir(directory)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            names.emplace_back(entry->d_name);
        }
    }
    closedir(directory);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

bool isListableSerialDevice(const SerialDeviceRecord& record) {
    if (!record.name || !record.devicePath || !record.hasParentDevice) {
        return false;
    }
    if (*record.name == SerialPortExcludedName) {
        return false;
    }
    return !(record.uartType && *record.uartType == 0);
}

SerialPortList serialPortListFromRecords(const std::vector<SerialDeviceRecord>& records) {
    SerialPortList ports;
    for (const SerialDeviceRecord& record : records) {
        if (isListableSerialDevice(record)) {
            ports.insert_or_assign(*record.name,
                                   records::SerialPort{*record.devicePath,
                                                       adapterDescription(record.properties),
                                                       adapterIdentity(record.properties)});
        }
    }
    return ports;
}

std::optional<long> parseUartType(const char* text) {
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text, &end, 10);
    if (end == text || errno != 0) {
        return std::nullopt;
    }
    while (*end == '\n' || *end == ' ') {
        ++end;
    }
    return *end == '\0' ? std::optional<long>(value) : std::nullopt;
}

std::optional<std::vector<SerialDeviceRecord>> udevSerialDeviceRecords() {
    UdevHandle<udev> context(udev_new());
    if (!context) {
        int status = negativeErrno();
        tavrelLog("udev_new returned NULL");
        return listingFailed(status);
    }
    UdevHandle<udev_enumerate> enumerate(udev_enumerate_new(context.get()));
    if (!enumerate) {
        int status = negativeErrno();
        tavrelLog("udev_enumerate_new returned NULL");
        return listingFailed(status);
    }
    int status = udev_enumerate_add_match_subsystem(enumerate.get(), TtySubsystem);
    if (status < 0) {
        tavrelLog("udev_enumerate_add_match_subsystem returned %d", status);
        return listingFailed(status);
    }
    status = udev_enumerate_scan_devices(enumerate.get());
    if (status < 0) {
        tavrelLog("udev_enumerate_scan_devices returned %d", status);
        return listingFailed(status);
    }

    std::vector<SerialDeviceRecord> records;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get())) {
        // A device that went away since the scan is simply no longer there to list.
        UdevHandle<udev_device> device(
            udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
        if (device) {
            records.push_back(recordOfUdevDevice(device.get()));
        }
    }
    return records;
}

std::optional<std::vector<SerialDeviceRecord>>
sysfsSerialDeviceRecords(const std::string& sysfsRoot, const std::string& udevDataFolder) {
    const std::string classDirectory = sysfsRoot + "/class/tty";
    auto names = directoryEntries(classDirectory);
    if (!names) {
        int error = errno;
        tavrelLog("%s",
                  systemErrorText("Error reading serial devices", classDirectory, error).c_str());
        return listingFailed(-error);
    }
    std::vector<SerialDeviceRecord> records;
    for (const std::string& name : *names) {
        records.push_back(recordOfSysfsTty(classDirectory + "/" + name, name, udevDataFolder));
    }
    return records;
}

std::optional<SerialPortList> scanSerialPorts() {
    auto records = udevSerialDeviceRecords();
    if (!records) {
        return std::nullopt;
    }
    return serialPortListFromRecords(*records);
}

std::optional<SerialPortList> scanSerialPorts(const std::string& sysfsRoot,
                                              const std::string& udevDataFolder) {
    auto records = sysfsSerialDeviceRecords(sysfsRoot, udevDataFolder);
    if (!records) {
        return std::nullopt;
    }
    return serialPortListFromRecords(*records);
}

} // namespace tavrel::link
