#include "RegisterTransfer.h"

#include <optional>
#include <string>

namespace tavrel::link {

using records::holdsNoClipNames;
using records::NoClipName;
using records::RegisterEntry;
using records::RegisterWire;
using records::TavrelError;

bool readRegister(TavrelSocket& socket, uint16_t number, RegisterEntry* entry, TavrelError* error) {
    RegisterEntry read;
    RegisterWire wire;
    std::optional<std::string> clips[4];
    if (!socket.registerWire(&wire, number, error) ||
        !socket.registerClipName(&clips[0], &clips[1], &clips[2], &clips[3], number, error)) {
        return false;
    }
    records::decodeRegisterWire(wire, &read);
    // The reply gives either four names or none.
    read.noClipNames = !clips[0].has_value();
    for (size_t machine = 0; machine < read.clips.size(); ++machine) {
        read.clips[machine] = clips[machine].value_or(NoClipName);
    }
    *entry = std::move(read);
    return true;
}

namespace {

// The register's times and trailing bytes, with the device's own bytes where it kept them.
bool writeTimes(TavrelSocket& socket, uint16_t number, const RegisterEntry& entry,
                TavrelError* error) {
    RegisterWire wire;
    if (!records::encodeRegisterWire(entry, &wire)) {
        // The same refusal as a record the link cannot pack.
        return socket.setRegisterData(entry.reg, number, error);
    }
    return socket.setRegisterWire(wire, number, error);
}

} // namespace

bool writeRegister(TavrelSocket& socket, uint16_t number, const RegisterEntry& entry,
                   TavrelError* error) {
    return writeTimes(socket, number, entry, error) &&
           socket.setRegisterClipName(entry.clips[0], entry.clips[1], entry.clips[2],
                                      entry.clips[3], number, error);
}

bool writeRegisterOver(TavrelSocket& socket, uint16_t number, const RegisterEntry& entry,
                       TavrelError* error) {
    // Writing no-clip names to a register that has none would give it four names it never had.
    return holdsNoClipNames(entry) ? writeTimes(socket, number, entry, error)
                                   : writeRegister(socket, number, entry, error);
}

} // namespace tavrel::link
