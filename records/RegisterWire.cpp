#include "RegisterWire.h"

#include "RegisterTimeWire.h"

#include <algorithm>

namespace tavrel::records {

using vrg500wire::packRegisterTime;
using vrg500wire::parseRegisterTime;

bool timeBytesNeedKeeping(const RegisterTimeBytes& bytes) {
    VRG500_registerTime read;
    parseRegisterTime(bytes.data(), &read);
    RegisterTimeBytes packed;
    packRegisterTime(read, packed.data());
    return packed != bytes || !vrg500wire::registerTimeCanBeSent(read);
}

void decodeRegisterWire(const RegisterWire& wire, RegisterEntry* entry) {
    for (size_t i = 0; i < 8; ++i) {
        RegisterTimeBytes bytes;
        std::copy_n(wire.begin() + static_cast<std::ptrdiff_t>(4 * i), 4, bytes.begin());
        parseRegisterTime(bytes.data(), &(entry->reg.*VRG500_registerTimes[i]));
        entry->deviceBytes[i] = timeBytesNeedKeeping(bytes) ? bytes : RegisterTimeBytes{};
    }
    entry->reg.trailingByte1 = wire[32];
    entry->reg.trailingByte2 = wire[33];
}

RegisterTimeBytes timeBytesToSend(const RegisterEntry& entry, size_t index) {
    if (const RegisterTimeBytes* kept = deviceTimeBytes(entry, index)) {
        return *kept;
    }
    RegisterTimeBytes bytes;
    packRegisterTime(entry.reg.*VRG500_registerTimes[index], bytes.data());
    return bytes;
}

bool timeCanBeSent(const RegisterEntry& entry, size_t index) {
    return deviceTimeBytes(entry, index) != nullptr ||
           vrg500wire::registerTimeCanBeSent(entry.reg.*VRG500_registerTimes[index]);
}

bool encodeRegisterWire(const RegisterEntry& entry, RegisterWire* wire, size_t* refused) {
    for (size_t i = 0; i < 8; ++i) {
        if (!timeCanBeSent(entry, i)) {
            if (refused != nullptr) {
                *refused = i;
            }
            return false;
        }
        const RegisterTimeBytes bytes = timeBytesToSend(entry, i);
        std::copy(bytes.begin(), bytes.end(), wire->begin() + static_cast<std::ptrdiff_t>(4 * i));
    }
    (*wire)[32] = entry.reg.trailingByte1;
    (*wire)[33] = entry.reg.trailingByte2;
    return true;
}

} // namespace tavrel::records
