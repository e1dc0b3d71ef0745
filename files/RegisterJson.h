// Registers as JSON, for scripts (jq): every byte the exact register file holds, in a form that
// stays as it is from one version of Tavrel to the next (docs/formats.md describes it):
//
//   {"format": "tavrel-registers", "version": 1, "registers": [
//   {"register": 7, "A": {"in": "01:00:00:00", "out": "**:**:**:**", "clip": "INTRO   "}, "B": ...,
//    "C": ..., "D": ..., "trailing": [0, 0], "noClipNames": false},
//   ...
//   ]}
//
// one register a line (written on one line; wrapped here), in ascending order, LF line ends.
// Times are texts as a register's line shows them; a clip name is a string whose characters are
// its bytes (U+0000 to U+00FF). "noClipNames" says the device holds no clip names for the
// register. "wire" is there when the texts cannot give the times back as they are (an unset time
// hiding numbers, bytes that are not decimal): the eight times' wire bytes in file order, as the
// exact file's detail line has them, which must agree with the texts as a detail line must agree
// with its register's line (RegisterDetailLine.h).
//
// The reader takes any JSON of that shape: keys in any order, whitespace anywhere, registers in
// any order (a number twice is refused); "noClipNames" and "wire" may be left out (false; the
// texts decide). A key it does not know is refused rather than passed over, so that a misspelt
// key is not lost unnoticed. It reads the text as it goes, building the registers without a tree
// of the document, and refuses malformed text with the line and column ("Line 3, column 17:
// ..."). All or nothing.
#pragma once

#include "RegisterCollection.h"
#include "TavrelError.h"
#include "TextInput.h"

#include <string>
#include <string_view>

namespace tavrel::files {

// The whole text. Fails, naming the register, where formatExactRegisterFile fails for its times.
bool formatRegisterJson(const RegisterCollection& registers, std::string* text,
                        records::TavrelError* error = nullptr);
// Writes the text atomically, a piece at a time.
bool writeRegisterJson(const std::string& path, const RegisterCollection& registers,
                       records::TavrelError* error = nullptr, bool* wroteInPlace = nullptr);

// On success replaces *registers; otherwise leaves it alone and says in *fault what is wrong.
bool parseRegisterJson(std::string_view text, RegisterCollection* registers,
                       std::string* fault = nullptr);
bool parseRegisterJson(TextInput& input, RegisterCollection* registers,
                       std::string* fault = nullptr);
// Reads a file as readRegisterFile does; a malformed one is "Error processing .json file".
bool readRegisterJson(const std::string& path, RegisterCollection* registers,
                      records::TavrelError* error = nullptr);

} // namespace tavrel::files
