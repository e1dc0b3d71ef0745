#include "RegisterFile.h"

#include "AtomicFile.h"
#include "FileError.h"
#include "RegisterFileScanner.h"
#include "TavrelSocket.h"

#include <cstdio>

namespace {

constexpr const char* MachineTimeNames[8] = {"A IN", "A OUT", "B IN", "B OUT",
                                             "C IN", "C OUT", "D IN", "D OUT"};
constexpr char MachineLetters[4] = {'A', 'B', 'C', 'D'};

// Bytes of one line as the writer makes it with three-digit numbers and 8-character names.
constexpr size_t TypicalLineLength = 4 + 8 * 12 + 8 + 4 * 9 + 1;

std::string registerLabel(int32_t number) {
    char label[16];
    std::snprintf(label, sizeof label, "%03d", number);
    return label;
}

// "%03d": at least three digits, zero-padded after any sign.
void appendNumber(std::string* text, int32_t number) {
    if (number >= 0 && number < 1000) {
        char digits[3] = {static_cast<char>('0' + number / 100),
                          static_cast<char>('0' + number / 10 % 10),
                          static_cast<char>('0' + number % 10)};
        text->append(digits, 3);
        return;
    }
    text->append(registerLabel(number));
}

bool timeFitsText(const VRG500_registerTime& time) {
    return time.isNull ||
           (time.hours <= 99 && time.minutes <= 99 && time.seconds <= 99 && time.frames <= 99);
}

// A name that the reader would not give back whole: empty, a comma in names A to C (it would
// shift the fields), a line end in name D (it would end the line early).
bool clipFitsText(const std::string& name, size_t machine) {
    if (name.empty()) {
        return false;
    }
    if (machine < 3) {
        return name.find(',') == std::string::npos;
    }
    return name.find_first_of("\r\n") == std::string::npos;
}

bool checkEntryWritable(int32_t number, const RegisterEntry& entry, TavrelError* error) {
    for (size_t i = 0; i < 8; ++i) {
        if (!timeFitsText(entry.reg.*VRG500_registerTimes[i])) {
            tavrelFileFormatError(
                error, "Register " + registerLabel(number) + " holds a time that cannot be written",
                std::string("Its ") + MachineTimeNames[i] +
                    " time has a number above 99, which a register file cannot hold.");
            return false;
        }
    }
    for (size_t machine = 0; machine < 4; ++machine) {
        if (!clipFitsText(entry.clips[machine], machine)) {
            tavrelFileFormatError(error,
                                  "Register " + registerLabel(number) +
                                      " holds a clip name that cannot be written",
                                  std::string("Clip name ") + MachineLetters[machine] +
                                      (entry.clips[machine].empty() ? " is empty."
                                       : machine < 3                ? " contains a comma."
                                                                    : " contains a line break."));
            return false;
        }
    }
    return true;
}

void appendLine(std::string* text, int32_t number, const RegisterEntry& entry) {
    appendNumber(text, number);
    text->push_back(',');
    for (auto time : VRG500_registerTimes) {
        text->append(TavrelSocket::stringForRegisterTime(entry.reg.*time));
        text->push_back(',');
    }
    appendNumber(text, entry.reg.trailingByte1);
    text->push_back(',');
    appendNumber(text, entry.reg.trailingByte2);
    text->push_back(',');
    for (size_t machine = 0; machine < 3; ++machine) {
        text->append(entry.clips[machine]);
        text->push_back(',');
    }
    text->append(entry.clips[3]);
    text->append("\r\n");
}

std::string clipFromField(std::string_view field) {
    if (field == "        ") {
        return NoClipName;
    }
    return std::string(field);
}

bool scanTime(RegisterFileScanner& scanner, VRG500_registerTime* time) {
    std::string_view field;
    return scanner.scanUpTo(',', &field) && TavrelSocket::setRegisterTime(time, field) &&
           scanner.scanChar(',');
}

bool scanTrailingByte(RegisterFileScanner& scanner, uint8_t* byte) {
    int32_t value = 0;
    if (!scanner.scanInt(&value) || !scanner.scanChar(',')) {
        return false;
    }
    *byte = static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFF);
    return true;
}

// One line: number, eight times, two trailing bytes, four clip names, then the line ends.
bool scanLine(RegisterFileScanner& scanner, int32_t* number, RegisterEntry* entry) {
    if (!scanner.scanInt(number) || !scanner.scanChar(',')) {
        return false;
    }
    for (auto time : VRG500_registerTimes) {
        if (!scanTime(scanner, &(entry->reg.*time))) {
            return false;
        }
    }
    if (!scanTrailingByte(scanner, &entry->reg.trailingByte1) ||
        !scanTrailingByte(scanner, &entry->reg.trailingByte2)) {
        return false;
    }
    std::string_view field;
    for (size_t machine = 0; machine < 3; ++machine) {
        if (!scanner.scanUpTo(',', &field) || !scanner.scanChar(',')) {
            return false;
        }
        entry->clips[machine] = clipFromField(field);
    }
    if (!scanner.scanUpToLineEnd(&field)) {
        return false;
    }
    entry->clips[3] = clipFromField(field);
    return scanner.atEnd() || scanner.scanLineEnds();
}

} // namespace

bool formatRegisterFile(const RegisterCollection& registers, std::string* text,
                        TavrelError* error) {
    for (const auto& [number, entry] : registers) {
        if (!checkEntryWritable(number, entry, error)) {
            return false;
        }
    }
    std::string result;
    result.reserve(registers.size() * TypicalLineLength);
    for (const auto& [number, entry] : registers) {
        appendLine(&result, number, entry);
    }
    text->swap(result);
    return true;
}

bool parseRegisterFile(std::string_view text, RegisterCollection* registers) {
    RegisterCollection parsed;
    // Lines are at least about 110 bytes long: this is enough, and not much more than needed.
    parsed.reserve(text.size() / 110 + 1);
    RegisterFileScanner scanner(text);
    while (!scanner.atEnd()) {
        int32_t number = 0;
        RegisterEntry entry;
        if (!scanLine(scanner, &number, &entry)) {
            return false;
        }
        parsed.set(number, std::move(entry));
    }
    std::swap(*registers, parsed);
    return true;
}

bool writeRegisterFile(const std::string& path, const RegisterCollection& registers,
                       TavrelError* error) {
    std::string text;
    return formatRegisterFile(registers, &text, error) && writeFileAtomically(path, text, error);
}

bool readRegisterFile(const std::string& path, RegisterCollection* registers, TavrelError* error) {
    std::string text;
    if (!readWholeFile(path, &text, error)) {
        return false;
    }
    if (!parseRegisterFile(text, registers)) {
        tavrelFileFormatError(error, "Error processing .vg2 file",
                              "The file " + fileDisplayName(path) +
                                  " is malformed and could not be processed.");
        return false;
    }
    return true;
}
