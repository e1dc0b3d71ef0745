// What is wrong with a malformed register file, in the words the reader's error gives as its
// detail: the line (counted from 1, a CR LF, a lone LF or a lone CR ending one) and, within a
// register's line, the field (counted from 1) at fault, with what it holds.
#pragma once

#include "RegisterLine.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrel::files {

// "Line 1 is empty."
std::string emptyFirstLineFault();
// Line 1 starts with "#" but is not the exact header.
std::string notTheHeaderFault(std::string_view text);
// A line starting with "#" in a file without the exact header.
std::string commentWithoutHeaderFault(uint64_t line);
// A line starting with "#" in an exact file that is no detail line.
std::string notADetailLineFault(uint64_t line, std::string_view text);
// A detail line where the register's line of the one on `detailLine` belongs.
std::string secondDetailLineFault(uint64_t line, uint64_t detailLine);
// The file ends after a detail line.
std::string endAfterDetailLineFault(uint64_t detailLine);
// A register's line of another number than its detail line's.
std::string otherRegisterFault(uint64_t line, int32_t number, uint64_t detailLine,
                               int32_t detailNumber);
// A register's line that its detail line does not agree with.
std::string disagreesWithDetailFault(uint64_t line, uint64_t detailLine);
// A register's line refused for `fault`; `field` is what the field at fault holds.
std::string registerLineFault(uint64_t line, const RegisterLineFault& fault,
                              std::string_view field);

// The same faults of one cell of a CSV row, or one value of a JSON text: the place is a column
// (of a CSV row, counted from 1; of a JSON line, in bytes) and the column's or value's name
// ("Line 7, column 3 (A OUT): ..."). A line that is too long is said as of a register file's.
std::string registerCellFault(uint64_t line, uint64_t column, std::string_view name,
                              const RegisterLineFault& fault, std::string_view cell);

// A register number that a CSV or JSON text holds twice: at `line` and `column` (of the value
// named `name`), and before on `firstLine`.
std::string repeatedRegisterFault(uint64_t line, uint64_t column, std::string_view name,
                                  int32_t registerNumber, uint64_t firstLine);

} // namespace tavrel::files
