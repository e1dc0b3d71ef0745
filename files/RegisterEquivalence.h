// When two registers are the same: exactly when a register file would hold them the same. An
// unset time is the same as an unset time of the same notation, whatever numbers the device keeps
// behind it; a clip name of eight blanks is the same as no clip ("********"), and so is a
// register that holds no clip names at all. Every decision of an upload (which registers to
// write), a comparison (which differ) and a restore rests on this one rule.
#pragma once

#include "RegisterEntry.h"

#include <string>

namespace tavrel::files {

bool sameRegisterTime(const records::VRG500_registerTime& a, const records::VRG500_registerTime& b);
bool sameClipName(const std::string& a, const std::string& b);
bool sameRegister(const records::RegisterEntry& a, const records::RegisterEntry& b);

// What to send to a register that holds `held` so that it holds `wanted`: `wanted`, except that
// each field the same as the device's by the rule above keeps the device's bytes (the numbers
// behind an unset time, bytes that are not decimal, a clip name of blanks), and a register that
// holds no clip names keeps none while its names are all the same as no clip.
records::RegisterEntry keepingDeviceBytes(const records::RegisterEntry& wanted,
                                          const records::RegisterEntry& held);

} // namespace tavrel::files
