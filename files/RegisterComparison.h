// What differs between two sets of registers, field by field: a file against the device before
// an upload, or two files. The application lists it and tavrelctl prints it; both read the same
// result and the same text.
#pragma once

#include "RegisterCollection.h"
#include "RegisterRange.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tavrel::files {

// One field of a register that differs: its name and both sides' texts.
struct FieldDifference {
    std::string field;
    std::string left;
    std::string right;
};

struct RegisterDifference {
    enum Kind { Differs, OnlyLeft, OnlyRight };
    int32_t number = 0;
    Kind kind = Differs;
    std::vector<FieldDifference> fields; // Differs only, in the order of the fields below
};

struct RegisterComparison {
    std::vector<RegisterDifference> differences; // ascending number
    size_t identical = 0;                        // registers on both sides and equal
};

// Compares the registers of `left` and `right` in `range` (every number by default). Registers are
// equal exactly when sameRegister says so, and a field differs exactly when its own part of that
// rule says so (RegisterEquivalence).
//
// Fields, in this order: "A IN", "A OUT", ... "D OUT" (VRG500_registerTimeNames), "TRAILING 1",
// "TRAILING 2", "CLIP A" to "CLIP D". Their texts:
//  - a time as stringForRegisterTime gives it. Two unset times that carry different numbers
//    (which their texts hide) show them after the text, in brackets, with the time's separator
//    before the frames: "**:**:**:**[01:02:03:04]", "**:**:**;**[00:00:00;00]". Numbers above 99
//    (bytes that are not decimal) show all their digits: "**:**:**:**[165:00:00:00]".
//  - a trailing byte as "%03d";
//  - a clip name in double quotes, so that blanks at its end show: "\"REEL1   \"", with a
//    backslash before each quote and backslash inside it. The other bytes inside are the
//    device's, unchanged: the reader escapes or decodes them as it shows text.
RegisterComparison compareRegisters(const RegisterCollection& left, const RegisterCollection& right,
                                    records::RegisterRange range = records::EveryRegisterNumber);

// The stable text form, one line per differing field: "NNN FIELD LEFT RIGHT" (the register label
// as registerLabel gives it, e.g. "012 A IN 01:00:00:00 01:00:00:01"); for a register on one side
// only, "NNN only in LEFTNAME" or "NNN only in RIGHTNAME". Lines without their "\n", for a reader
// that escapes each one before showing it.
std::vector<std::string> comparisonLines(const RegisterComparison& comparison,
                                         const std::string& leftName, const std::string& rightName);

// The same lines, each ending with "\n".
std::string comparisonText(const RegisterComparison& comparison, const std::string& leftName,
                           const std::string& rightName);

} // namespace tavrel::files
