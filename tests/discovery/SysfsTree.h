// A small sysfs tree in a temporary folder, laid out as the kernel lays out ttys, for listing
// ports that tests plug in and pull out.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

class SysfsTree {
  public:
    SysfsTree();
    ~SysfsTree();
    SysfsTree(const SysfsTree&) = delete;
    SysfsTree& operator=(const SysfsTree&) = delete;

    const std::string& root() const { return _root; }

    // A USB-serial adapter's tty: a parent device, no "type".
    void plugUsbAdapter(const std::string& name);
    // An on-board UART's tty behind the serial core's port device, with its "type".
    void addUart(const std::string& name, int type);
    // A virtual console: no parent device.
    void addVirtualConsole(const std::string& name);
    // A tty under a parent device with the given kernel name (any name, "Bluetooth-PDA-Sync" too).
    void plugNamedDevice(const std::string& name);

    void unplug(const std::string& name);

  private:
    void _addTty(const std::string& name, const std::string& deviceFolder, std::optional<int> type,
                 bool hasParent);

    std::string _root;
};
