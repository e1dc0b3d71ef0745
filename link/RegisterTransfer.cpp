#include "RegisterTransfer.h"

#include <optional>
#include <string>

namespace tavrel::link {

using records::NoClipName;
using records::RegisterEntry;
using records::TavrelError;

bool readRegister(TavrelSocket& socket, uint16_t number, RegisterEntry* entry, TavrelError* error) {
    RegisterEntry read;
    std::optional<std::string> clips[4];
    if (!socket.registerData(&read.reg, number, error) ||
        !socket.registerClipName(&clips[0], &clips[1], &clips[2], &clips[3], number, error)) {
        return false;
    }
    for (size_t machine = 0; machine < read.clips.size(); ++machine) {
        read.clips[machine] = clips[machine].value_or(NoClipName);
    }
    *entry = std::move(read);
    return true;
}

bool writeRegister(TavrelSocket& socket, uint16_t number, const RegisterEntry& entry,
                   TavrelError* error) {
    return socket.setRegisterData(entry.reg, number, error) &&
           socket.setRegisterClipName(entry.clips[0], entry.clips[1], entry.clips[2],
                                      entry.clips[3], number, error);
}

} // namespace tavrel::link
