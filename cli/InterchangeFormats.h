// The formats that `tavrelctl export` writes and `tavrelctl import` reads, one entry each: its
// name for -f, the options only it takes, and its writer and reader. A format is added with its
// entry alone; the commands, their help and their checks follow the table.
#pragma once

#include "CommandLine.h"
#include "RegisterCollection.h"
#include "TavrelError.h"

#include <string>
#include <vector>

namespace tavrel::cli {

struct InterchangeFormat {
    const char* name; // as -f takes it
    // Long names of the options of export and of import that this format alone takes.
    std::vector<const char*> exportOptions;
    std::vector<const char*> importOptions;
    // Checks the values of those options for export or import; false with the problem for a
    // usage error. May be null.
    bool (*checkOptions)(const CommandLine& line, bool exporting, std::string* problem);
    // Writes the registers to `path` as the file writers do (atomically, *inPlace told).
    bool (*write)(const CommandLine& line, const std::string& path,
                  const files::RegisterCollection& registers, records::TavrelError* error,
                  bool* inPlace);
    // Reads the registers from `path`, all or nothing.
    bool (*read)(const CommandLine& line, const std::string& path,
                 files::RegisterCollection* registers, records::TavrelError* error);
};

const std::vector<InterchangeFormat>& interchangeFormats();

// The format that -f names, checked with the command's other options for it (`exporting` tells
// export from import). Null with the problem (a usage error) when there is none, or an option
// given is not for it or has a value it does not take.
const InterchangeFormat* chosenFormat(const CommandLine& line, bool exporting,
                                      std::string* problem);

// The path the file readers take for an input operand: - is standard input.
std::string inputPath(const std::string& operand);

} // namespace tavrel::cli
