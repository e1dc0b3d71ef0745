// Registers from a CMX 3600 edit decision list (EditDecisionListReader.h says how events become
// registers). All or nothing: a malformed list changes nothing.
//
// A window or a command imports in a line:
//     readEditDecisionList(path, &registers, &error, firstRegister);
#pragma once

#include "RegisterCollection.h"
#include "TavrelError.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrel::files {

// Parses a whole list's text. On success replaces *registers; on failure changes nothing, and
// *fault (when given) says what is wrong and where ("Line 12: ..."). Events of a list from an
// editing system become registers `firstRegister`, `firstRegister` + 1, ...; a list Tavrel wrote
// names its own registers.
bool parseEditDecisionList(std::string_view text, RegisterCollection* registers,
                           std::string* fault = nullptr, int32_t firstRegister = 0);

// Reads and parses a file a piece at a time. An unreadable file gives the system's error; a
// malformed one "Error processing .edl file" / "The file NAME is malformed and could not be
// processed." (the recovery suggestion), with the line at fault as its detail. On failure
// *registers is unchanged.
bool readEditDecisionList(const std::string& path, RegisterCollection* registers,
                          records::TavrelError* error = nullptr, int32_t firstRegister = 0);

} // namespace tavrel::files
