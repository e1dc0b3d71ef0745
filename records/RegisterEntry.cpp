#include "RegisterEntry.h"

#include "RegisterTimeWire.h"

namespace tavrel::records {

namespace {

// The same time as the wire carries it: numbers, and the flags as set or not.
bool sameWireTime(const VRG500_registerTime& a, const VRG500_registerTime& b) {
    return a.hours == b.hours && a.minutes == b.minutes && a.seconds == b.seconds &&
           a.frames == b.frames && (a.dropFrame != 0) == (b.dropFrame != 0) &&
           (a.isNull != 0) == (b.isNull != 0);
}

} // namespace

RegisterEntry blankRegisterEntry() {
    RegisterEntry entry;
    for (auto time : VRG500_registerTimes) {
        (entry.reg.*time).isNull = 1;
    }
    return entry;
}

bool holdsNoClipNames(const RegisterEntry& entry) {
    if (!entry.noClipNames) {
        return false;
    }
    for (const std::string& clip : entry.clips) {
        if (clip != NoClipName) {
            return false;
        }
    }
    return true;
}

const RegisterTimeBytes* deviceTimeBytes(const RegisterEntry& entry, size_t index) {
    const RegisterTimeBytes& bytes = entry.deviceBytes[index];
    if (bytes == RegisterTimeBytes{}) {
        return nullptr;
    }
    VRG500_registerTime read;
    vrg500wire::parseRegisterTime(bytes.data(), &read);
    return sameWireTime(read, entry.reg.*VRG500_registerTimes[index]) ? &bytes : nullptr;
}

} // namespace tavrel::records
