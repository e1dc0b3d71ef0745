// One register's line of a register file, the one home of its form: the file reader and writer
// and the clipboard all read and write a register's line through these.
#pragma once

#include "RegisterEntry.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrel::files {

class RegisterFileScanner;

// Why scanRegisterLine refused a line: what is wrong, in which field, and where that field
// starts among the scanned bytes. The reader words it (RegisterFileFault.h).
struct RegisterLineFault {
    enum class Kind {
        NotANumber,   // the register number or a trailing byte is not a whole number
        OutOfRange,   // a whole number beyond 32 signed bits
        NotATime,     // a time is not HH:MM:SS:FF (or HH:MM:SS;FF) nor **:**:**:**
        Empty,        // the field holds nothing
        MissingField, // the line ends before the field
        TooLong,      // the line is longer than RegisterFileLineLimit
        TooLongSaved, // the line would be, once written
    };
    Kind kind = Kind::NotANumber;
    int field = 0; // 1 (the register number) to 15 (clip name D); 0 for the line as a whole
    size_t fieldStart = 0;
};

// The fields of a register's line, in order, as a person is told of them: "register number",
// the time names ("A IN"), "TRAILING 1", "TRAILING 2", "CLIP A" to "CLIP D".
inline constexpr int RegisterLineFieldCount = 15;
const char* registerLineFieldName(int field);

// One register's line exactly as the file reader takes it (no line end): fails on anything the
// reader would refuse.
bool parseRegisterLine(std::string_view line, int32_t* number, records::RegisterEntry* entry);

// One register's line exactly as the writer writes it, without its line end. A time with a number
// above 99, which the writer refuses, shows that number with three digits.
std::string registerLineText(int32_t number, const records::RegisterEntry& entry);

// For the file reader: one line from the scanner's position up to (not including) its line end,
// refused also when longer than RegisterFileLineLimit, read or written. A clip name of eight
// blanks reads as no clip ("********") unless `keepBlankClips` (an exact file keeps it). A refused
// line is described in *fault, when given.
bool scanRegisterLine(RegisterFileScanner& scanner, int32_t* number, records::RegisterEntry* entry,
                      bool keepBlankClips = false, RegisterLineFault* fault = nullptr);

// One field of a register's line on its own (`field` 1 to 15, as the line counts them), by the
// rules the line's reader applies to it: the register number into *number, any other field into
// *entry; a clip name of eight blanks reads as no clip. For the formats whose cells hold what a
// register's line does (CSV). A refused field is described in *fault (its start is 0).
bool parseRegisterLineField(int field, std::string_view text, int32_t* number,
                            records::RegisterEntry* entry, RegisterLineFault* fault = nullptr);

// For the file writer: puts the line (registerLineLength bytes, no line end) at `at`, which has
// room for it, and returns the end. Every time's numbers must be at most 99.
char* putRegisterLine(char* at, int32_t number, const records::RegisterEntry& entry);

} // namespace tavrel::files
