#include "RegisterFileFault.h"

#include "RegisterDetailLine.h"
#include "RegisterFile.h"
#include "RegisterLabel.h"

namespace tavrel::files {

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

std::string lineName(uint64_t line) {
    return "Line " + std::to_string(line);
}

const std::string Header = quoted(ExactRegisterFileHeader);
const std::string Limit = std::to_string(RegisterFileLineLimit);

} // namespace

std::string emptyFirstLineFault() {
    return lineName(1) + " is empty.";
}

std::string notTheHeaderFault(std::string_view text) {
    return lineName(1) + ": " + quoted(text) + " is not the header " + Header + ".";
}

std::string commentWithoutHeaderFault(uint64_t line) {
    return lineName(line) + " starts with \"#\", but line 1 is not the header " + Header + ".";
}

std::string notADetailLineFault(uint64_t line, std::string_view text) {
    return lineName(line) + ": " + quoted(text) + " is not a detail line.";
}

std::string secondDetailLineFault(uint64_t line, uint64_t detailLine) {
    return lineName(line) + " is a second detail line; the register's line must follow the one " +
           "on line " + std::to_string(detailLine) + ".";
}

std::string endAfterDetailLineFault(uint64_t detailLine) {
    return "The file ends after the detail line on line " + std::to_string(detailLine) +
           ", without its register's line.";
}

std::string otherRegisterFault(uint64_t line, int32_t number, uint64_t detailLine,
                               int32_t detailNumber) {
    return lineName(line) + " is register " + registerLabel(number) +
           ", but the detail line on line " + std::to_string(detailLine) + " is for register " +
           registerLabel(detailNumber) + ".";
}

std::string disagreesWithDetailFault(uint64_t line, uint64_t detailLine) {
    return lineName(line) + " does not agree with the detail line on line " +
           std::to_string(detailLine) + ".";
}

std::string registerLineFault(uint64_t line, const RegisterLineFault& fault,
                              std::string_view field) {
    using Kind = RegisterLineFault::Kind;
    switch (fault.kind) {
    case Kind::MissingField:
        return lineName(line) + " has only " + std::to_string(fault.field - 1) +
               " fields; a register's line has " + std::to_string(RegisterLineFieldCount) + ".";
    case Kind::TooLong:
        return lineName(line) + " is longer than " + Limit + " bytes.";
    case Kind::TooLongSaved:
        return lineName(line) + " would be longer than " + Limit + " bytes once saved.";
    default:
        break;
    }
    std::string where = lineName(line) + ", field " + std::to_string(fault.field) + " (" +
                        registerLineFieldName(fault.field) + ")";
    switch (fault.kind) {
    case Kind::Empty:
        return where + " is empty.";
    case Kind::NotATime:
        return where + ": " + quoted(field) + " is not a time (HH:MM:SS:FF or **:**:**:**).";
    case Kind::OutOfRange:
        return where + ": " + quoted(field) + " is out of range (-2147483648 to 2147483647).";
    default:
        return where + ": " + quoted(field) + " is not a whole number.";
    }
}

} // namespace tavrel::files
