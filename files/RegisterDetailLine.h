// The exact register file: a vg2 file that gives the device's registers back byte for byte, for
// the snapshots an upload keeps and tavrelctl's backups. It is a register file a person reads as
// any other, with three additions:
//
//  - its first line is the header "#vg2-exact 1" (the form and its version);
//  - a clip name of eight blanks stays eight blanks (a plain file reads it as "********");
//  - before a register's line, when that line alone cannot give the register back, a detail
//    line: "#=NNN,", then, when the line cannot give its times as they are, the register's eight
//    times as the device holds them, in file order, each as its four wire bytes in upper-case
//    hexadecimal followed by "," (frames byte first: "C0000000" is an unset drop-frame time with
//    zero numbers), then "names", or "none" when the device holds no clip names. Register 007
//    with an unset A IN that hides 12:34:56:00 is
//      #=007,80563412,80000000,80000000,80000000,80000000,80000000,80000000,80000000,names
//    and register 008, whose line says all there is but that it has no clip names, is
//      #=008,none
//
// The detail line must agree with the line after it: the same number, and each time reading as
// the line shows it, where a time whose numbers text cannot show (bytes that are not decimal, such
// as hours 0xAA) is shown unset. A file that breaks any of this is malformed, like any other.
#pragma once

#include "RegisterEntry.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavrel::files {

inline constexpr std::string_view ExactRegisterFileHeader = "#vg2-exact 1";

struct RegisterDetail {
    int32_t number = 0;
    bool hasTimes = false; // else the register's line gives them
    std::array<records::RegisterTimeBytes, 8> times{};
    bool noClipNames = false;
};

// Whether the register's line alone would not give it back: an unset time hiding numbers, device
// bytes kept for a time, a number text cannot show, or no clip names.
bool needsDetailLine(const records::RegisterEntry& entry);
// Whether its detail line carries its times, as wire bytes: when its line cannot give them as
// they are. Every time must then have bytes that read back as it.
bool detailCarriesTimes(const records::RegisterEntry& entry);

// The detail line, without its line end.
std::string registerDetailLineText(int32_t number, const records::RegisterEntry& entry);

// The entry as its line in an exact file shows it: a time with a number above 99 shown unset.
records::RegisterEntry entryAsLineShows(const records::RegisterEntry& entry);

// One detail line without its line end; false when it is not of the form above.
bool parseRegisterDetailLine(std::string_view line, RegisterDetail* detail);

// Gives `entry`, read from the line of register `number`, the times and clip state of `detail`;
// false, leaving `entry` alone, when the two do not agree.
bool applyRegisterDetail(const RegisterDetail& detail, int32_t number,
                         records::RegisterEntry* entry);

} // namespace tavrel::files
