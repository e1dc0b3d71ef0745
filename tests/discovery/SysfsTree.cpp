#include "SysfsTree.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

SysfsTree::SysfsTree() {
    std::string pattern = (fs::temp_directory_path() / "tavrel-sysfs-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    _root = pattern;
    fs::create_directories(_root + "/class/tty");
}

SysfsTree::~SysfsTree() {
    std::error_code ignored;
    fs::remove_all(_root, ignored);
}

void SysfsTree::plugUsbAdapter(const std::string& name) {
    _addTty(name, "pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.0/" + name, std::nullopt, true);
}

void SysfsTree::addUart(const std::string& name, int type) {
    _addTty(name, "pnp0/00:01/00:01:0/00:01:0." + name, type, true);
}

void SysfsTree::addVirtualConsole(const std::string& name) {
    _addTty(name, "virtual", std::nullopt, false);
}

void SysfsTree::plugNamedDevice(const std::string& name) {
    _addTty(name, "platform/device-of-" + name, std::nullopt, true);
}

void SysfsTree::unplug(const std::string& name) {
    const fs::path link = fs::path(_root) / "class/tty" / name;
    fs::remove_all(fs::canonical(link));
    fs::remove(link);
}

void SysfsTree::_addTty(const std::string& name, const std::string& deviceFolder,
                        std::optional<int> type, bool hasParent) {
    const std::string relative = "devices/" + deviceFolder + "/tty/" + name;
    const fs::path tty = fs::path(_root) / relative;
    fs::create_directories(tty);
    std::ofstream(tty / "uevent") << "MAJOR=188\nMINOR=0\nDEVNAME=" << name << "\n";
    if (type) {
        std::ofstream(tty / "type") << *type << "\n";
    }
    if (hasParent) {
        fs::create_directory_symlink("../..", tty / "device");
    }
    fs::create_directory_symlink("../../" + relative, fs::path(_root) / "class/tty" / name);
}
