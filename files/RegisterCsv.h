// Registers as CSV (RFC 4180), for spreadsheets: a header row naming the fifteen columns, then a
// row per register in ascending order, CR LF after every row. Each cell holds what the register's
// line in a plain register file holds for that field (RegisterLine.h), so a plain register file
// gives the same file back through CSV; a cell is quoted only when it holds a comma, a double
// quote or a line break. A clip name is any bytes, a comma or a line break included, which the
// device takes though a register file cannot hold them (saving one as a file is refused then). What
// a plain file cannot hold (the device's hidden bytes, a register without clip names) CSV does not
// hold either: the exact form and JSON keep those.
//
// The reader takes what a spreadsheet writes back: columns in any order, named as the header
// names them, each once; rows in any order (a register number twice is refused), "7" or "007";
// an empty cell for an unset time ("**:**:**:**") or no clip ("********"); rows of empty cells
// skipped; CR LF, LF or CR line ends, with or without one after the last row; a UTF-8 byte order
// mark before the header; quoted cells across lines. Cells are bytes, as in a register file.
// Every other cell is read by the rules of its field in a register's line and refused in its
// words, with the line and column ("Line 7, column 3 (A OUT): ..."). All or nothing.
#pragma once

#include "RegisterCollection.h"
#include "TavrelError.h"
#include "TextInput.h"

#include <string>
#include <string_view>

namespace tavrel::files {

inline constexpr std::string_view RegisterCsvHeader =
    "Register,A IN,A OUT,B IN,B OUT,C IN,C OUT,D IN,D OUT,Trailing 1,Trailing 2,Clip A,Clip B,"
    "Clip C,Clip D";

// The whole text. Fails, naming the register, where formatRegisterFile would for anything but a
// comma or a line break in a clip name.
bool formatRegisterCsv(const RegisterCollection& registers, std::string* text,
                       records::TavrelError* error = nullptr);
// Writes the text atomically, a piece at a time (as writeRegisterFile writes).
bool writeRegisterCsv(const std::string& path, const RegisterCollection& registers,
                      records::TavrelError* error = nullptr, bool* wroteInPlace = nullptr);

// On success replaces *registers; otherwise leaves it alone and says in *fault what is wrong.
bool parseRegisterCsv(std::string_view text, RegisterCollection* registers,
                      std::string* fault = nullptr);
bool parseRegisterCsv(TextInput& input, RegisterCollection* registers,
                      std::string* fault = nullptr);
// Reads a file as readRegisterFile does; a malformed one is "Error processing .csv file".
bool readRegisterCsv(const std::string& path, RegisterCollection* registers,
                     records::TavrelError* error = nullptr);

} // namespace tavrel::files
