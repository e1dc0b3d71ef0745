#include "RegisterEquivalence.h"

#include <iterator>

namespace tavrel::files {

using records::NoClipName;
using records::RegisterEntry;
using records::VRG500_registerTime;
using records::VRG500_registerTimes;

namespace {

constexpr const char* EightBlanks = "        ";

bool set(int8_t flag) {
    return flag != 0;
}

// The clip name as a register file reads it back.
const std::string& asRead(const std::string& clip) {
    static const std::string noClip = NoClipName;
    return clip == EightBlanks ? noClip : clip;
}

} // namespace

bool sameRegisterTime(const VRG500_registerTime& a, const VRG500_registerTime& b) {
    if (set(a.isNull) != set(b.isNull) || set(a.dropFrame) != set(b.dropFrame)) {
        return false;
    }
    return set(a.isNull) || (a.hours == b.hours && a.minutes == b.minutes &&
                             a.seconds == b.seconds && a.frames == b.frames);
}

bool sameClipName(const std::string& a, const std::string& b) {
    return asRead(a) == asRead(b);
}

bool sameRegister(const RegisterEntry& a, const RegisterEntry& b) {
    for (auto time : VRG500_registerTimes) {
        if (!sameRegisterTime(a.reg.*time, b.reg.*time)) {
            return false;
        }
    }
    for (size_t machine = 0; machine < a.clips.size(); ++machine) {
        if (!sameClipName(a.clips[machine], b.clips[machine])) {
            return false;
        }
    }
    return a.reg.trailingByte1 == b.reg.trailingByte1 && a.reg.trailingByte2 == b.reg.trailingByte2;
}

RegisterEntry keepingDeviceBytes(const RegisterEntry& wanted, const RegisterEntry& held) {
    RegisterEntry sent = wanted;
    for (size_t i = 0; i < std::size(VRG500_registerTimes); ++i) {
        auto time = VRG500_registerTimes[i];
        if (sameRegisterTime(wanted.reg.*time, held.reg.*time)) {
            sent.reg.*time = held.reg.*time;
            sent.deviceBytes[i] = held.deviceBytes[i];
        } else {
            sent.deviceBytes[i] = {};
        }
    }
    bool clipsKept = true;
    for (size_t machine = 0; machine < sent.clips.size(); ++machine) {
        if (sameClipName(wanted.clips[machine], held.clips[machine])) {
            sent.clips[machine] = held.clips[machine];
        } else {
            clipsKept = false;
        }
    }
    sent.noClipNames = clipsKept && held.noClipNames;
    return sent;
}

} // namespace tavrel::files
