// One register's line of a register file, the one home of its form: the file reader and writer
// and the clipboard all read and write a register's line through these.
#pragma once

#include "RegisterEntry.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrel::files {

class RegisterFileScanner;

// One register's line exactly as the file reader takes it (no line end): fails on anything the
// reader would refuse.
bool parseRegisterLine(std::string_view line, int32_t* number, records::RegisterEntry* entry);

// One register's line exactly as the writer writes it, without its line end. A time with a number
// above 99, which the writer refuses, shows that number with three digits.
std::string registerLineText(int32_t number, const records::RegisterEntry& entry);

// For the file reader: one line from the scanner's position up to (not including) its line end,
// refused also when longer than RegisterFileLineLimit, read or written. A clip name of eight
// blanks reads as no clip ("********") unless `keepBlankClips` (an exact file keeps it).
bool scanRegisterLine(RegisterFileScanner& scanner, int32_t* number, records::RegisterEntry* entry,
                      bool keepBlankClips = false);

// For the file writer: puts the line (registerLineLength bytes, no line end) at `at`, which has
// room for it, and returns the end. Every time's numbers must be at most 99.
char* putRegisterLine(char* at, int32_t number, const records::RegisterEntry& entry);

} // namespace tavrel::files
