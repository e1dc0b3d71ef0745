#include "RegisterFileFault.h"

#include "RegisterDetailLine.h"
#include "RegisterFile.h"
#include "RegisterLabel.h"
#include "TextTemplate.h"

#include <vector>

namespace tavrel::files {

using records::filledText;
using records::registerLabel;

namespace {

// What a line or field holds, in double quotes; a long one is cut short with "...".
std::string quoted(std::string_view text) {
    constexpr size_t Longest = 32;
    if (text.size() > Longest) {
        return "\"" + std::string(text.substr(0, Longest - 3)) + "...\"";
    }
    return "\"" + std::string(text) + "\"";
}

std::string number(uint64_t value) {
    return std::to_string(value);
}

const std::string Header = quoted(ExactRegisterFileHeader);
const std::string Limit = std::to_string(RegisterFileLineLimit);

} // namespace

std::string emptyFirstLineFault() {
    return filledText(TAVREL_TEXT("Line %1 is empty."), {number(1)});
}

std::string notTheHeaderFault(std::string_view text) {
    return filledText(TAVREL_TEXT("Line %1: %2 is not the header %3."),
                      {number(1), quoted(text), Header});
}

std::string commentWithoutHeaderFault(uint64_t line) {
    return filledText(TAVREL_TEXT("Line %1 starts with \"#\", but line 1 is not the header %2."),
                      {number(line), Header});
}

std::string notADetailLineFault(uint64_t line, std::string_view text) {
    return filledText(TAVREL_TEXT("Line %1: %2 is not a detail line."),
                      {number(line), quoted(text)});
}

std::string secondDetailLineFault(uint64_t line, uint64_t detailLine) {
    return filledText(TAVREL_TEXT("Line %1 is a second detail line; the register's line must "
                                  "follow the one on line %2."),
                      {number(line), number(detailLine)});
}

std::string endAfterDetailLineFault(uint64_t detailLine) {
    return filledText(TAVREL_TEXT("The file ends after the detail line on line %1, without its "
                                  "register's line."),
                      {number(detailLine)});
}

std::string otherRegisterFault(uint64_t line, int32_t registerNumber, uint64_t detailLine,
                               int32_t detailNumber) {
    return filledText(TAVREL_TEXT("Line %1 is register %2, but the detail line on line %3 is for "
                                  "register %4."),
                      {number(line), registerLabel(registerNumber), number(detailLine),
                       registerLabel(detailNumber)});
}

std::string disagreesWithDetailFault(uint64_t line, uint64_t detailLine) {
    return filledText(TAVREL_TEXT("Line %1 does not agree with the detail line on line %2."),
                      {number(line), number(detailLine)});
}

std::string registerLineFault(uint64_t line, const RegisterLineFault& fault,
                              std::string_view field) {
    using Kind = RegisterLineFault::Kind;
    const std::vector<std::string> where{number(line), number(fault.field),
                                         registerLineFieldName(fault.field), quoted(field)};
    switch (fault.kind) {
    case Kind::MissingField:
        return filledText(TAVREL_TEXT("Line %1 has only %2 fields; a register's line has %3."),
                          {number(line), number(fault.field - 1), number(RegisterLineFieldCount)});
    case Kind::TooLong:
        return filledText(TAVREL_TEXT("Line %1 is longer than %2 bytes."), {number(line), Limit});
    case Kind::TooLongSaved:
        return filledText(TAVREL_TEXT("Line %1 would be longer than %2 bytes once saved."),
                          {number(line), Limit});
    case Kind::Empty:
        return filledText(TAVREL_TEXT("Line %1, field %2 (%3) is empty."), where);
    case Kind::NotATime:
        return filledText(
            TAVREL_TEXT("Line %1, field %2 (%3): %4 is not a time (HH:MM:SS:FF or **:**:**:**)."),
            where);
    case Kind::OutOfRange:
        return filledText(
            TAVREL_TEXT("Line %1, field %2 (%3): %4 is out of range (-2147483648 to 2147483647)."),
            where);
    default:
        return filledText(TAVREL_TEXT("Line %1, field %2 (%3): %4 is not a whole number."), where);
    }
}

std::string registerCellFault(uint64_t line, uint64_t column, std::string_view name,
                              const RegisterLineFault& fault, std::string_view cell) {
    using Kind = RegisterLineFault::Kind;
    const std::vector<std::string> where{number(line), number(column), std::string(name),
                                         quoted(cell)};
    switch (fault.kind) {
    case Kind::MissingField:
    case Kind::TooLong:
    case Kind::TooLongSaved:
        return registerLineFault(line, fault, cell);
    case Kind::Empty:
        return filledText(TAVREL_TEXT("Line %1, column %2 (%3) is empty."), where);
    case Kind::NotATime:
        return filledText(
            TAVREL_TEXT("Line %1, column %2 (%3): %4 is not a time (HH:MM:SS:FF or **:**:**:**)."),
            where);
    case Kind::OutOfRange:
        return filledText(
            TAVREL_TEXT("Line %1, column %2 (%3): %4 is out of range (-2147483648 to 2147483647)."),
            where);
    default:
        return filledText(TAVREL_TEXT("Line %1, column %2 (%3): %4 is not a whole number."), where);
    }
}

std::string repeatedRegisterFault(uint64_t line, uint64_t column, std::string_view name,
                                  int32_t registerNumber, uint64_t firstLine) {
    return filledText(TAVREL_TEXT("Line %1, column %2 (%3): register %4 is also on line %5."),
                      {number(line), number(column), std::string(name),
                       registerLabel(registerNumber), number(firstLine)});
}

} // namespace tavrel::files
