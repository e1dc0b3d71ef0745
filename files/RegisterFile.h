// The register file (extension vg2): one line of fifteen comma-separated fields per register,
// ascending register numbers, CR LF line ends. The reader is strict and all-or-nothing.
#pragma once

#include "RegisterCollection.h"
#include "TavrelError.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace tavrel::files {

// The longest line (without its line end) a file may hold. A register's line is about 130 bytes;
// a longer one is malformed, and the reader gives up on it as soon as that many bytes of it are
// at hand, so no input, however large or endless, is held whole. A line is refused too when it
// would be longer once written ("1" is written "001"), so that whatever is read can be saved.
inline constexpr size_t RegisterFileLineLimit = 64 * 1024;

// The bytes of a register's line as it is written, without its line end.
size_t registerLineLength(int32_t number, const records::RegisterEntry& entry);

// The text of a collection, exactly as it is saved. Fails (naming the register in `error`) when
// a register would make a line that does not read back as it was: a time with a number above 99,
// an empty clip name, a comma in clip name A, B or C, a line break in any clip name, a line
// longer than the limit.
bool formatRegisterFile(const RegisterCollection& registers, std::string* text,
                        records::TavrelError* error = nullptr);

// Whether one register makes a line that reads back as it was (see formatRegisterFile); the
// error names the register. Lets a download stop at a register it could not save.
bool checkRegisterWritable(int32_t number, const records::RegisterEntry& entry,
                           records::TavrelError* error = nullptr);

// Parses a whole file's text. On success replaces *registers; a malformed text changes nothing,
// and *fault (when given) says what is wrong and where (RegisterFileFault.h).
bool parseRegisterFile(std::string_view text, RegisterCollection* registers,
                       std::string* fault = nullptr);

// Writes atomically: a temporary file in the target's folder, flushed, then renamed over the
// target. On failure the target is as it was and `error` holds the system's reason. Where the
// file cannot be replaced but can be written (see AtomicFileWriter), it is written in place and
// *wroteInPlace (when given) is set to true.
bool writeRegisterFile(const std::string& path, const RegisterCollection& registers,
                       records::TavrelError* error = nullptr, bool* wroteInPlace = nullptr);

// The exact form of the file (see RegisterDetailLine.h), which gives every register back byte
// for byte: the numbers behind unset times, time bytes that are not decimal, clip names of eight
// blanks, registers without clip names. For what must come back as the device held it: the
// snapshots an upload keeps and tavrelctl's backups. Every reader takes it.
bool formatExactRegisterFile(const RegisterCollection& registers, std::string* text,
                             records::TavrelError* error = nullptr);
// Whether the exact form can give the register's times back: when they go as wire bytes (see
// detailCarriesTimes), every time has bytes that read back as it. The error names the register.
bool checkRegisterTimeBytes(int32_t number, const records::RegisterEntry& entry,
                            records::TavrelError* error = nullptr);
bool writeExactRegisterFile(const std::string& path, const RegisterCollection& registers,
                            records::TavrelError* error = nullptr, bool* wroteInPlace = nullptr);

// Reads and parses a file. An unreadable file gives the system's error; a malformed one the
// error "Error processing .vg2 file" / "The file NAME is malformed and could not be processed."
// (the second text as the recovery suggestion), with the line and field at fault as its detail
// ("Line 7, field 3 (A OUT): ..."). On failure *registers is unchanged.
bool readRegisterFile(const std::string& path, RegisterCollection* registers,
                      records::TavrelError* error = nullptr);

} // namespace tavrel::files
