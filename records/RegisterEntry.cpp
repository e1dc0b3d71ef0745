#include "RegisterEntry.h"

#include "RegisterTimeWire.h"
#include "TextTemplate.h"

#include <string>

namespace tavrel::records {

RegisterEntry blankRegisterEntry() {
    RegisterEntry entry;
    for (auto time : VRG500_registerTimes) {
        (entry.reg.*time).isNull = 1;
    }
    return entry;
}

bool clipNameCanBeSent(const std::string& name) {
    return name.size() == ClipNameLength;
}

std::string clipNameLengthProblem(size_t machine) {
    return filledText(TAVREL_TEXT("Clip Name %1 not 8 bytes in length"),
                      {std::string(1, static_cast<char>('A' + machine))});
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
    return vrg500wire::sameWireTime(read, entry.reg.*VRG500_registerTimes[index]) ? &bytes
                                                                                  : nullptr;
}

} // namespace tavrel::records
