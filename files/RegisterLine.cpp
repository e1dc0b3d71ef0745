#include "RegisterLine.h"

#include "RegisterFile.h"
#include "RegisterFileScanner.h"
#include "RegisterLabel.h"
#include "RegisterTimeText.h"

#include <cstring>

namespace tavrel::files {

using records::NoClipName;
using records::parseRegisterTimeText;
using records::putRegisterTimeText;
using records::RegisterEntry;
using records::registerLabel;
using records::RegisterTimeTextLength;
using records::stringForRegisterTime;
using records::VRG500_register;
using records::VRG500_registerTime;
using records::VRG500_registerTimes;

namespace {

// Bytes of a line other than its register number and its four clip names: eight times of 11
// characters, two trailing bytes of 3 digits, 14 commas.
constexpr size_t FixedLineLength = 8 * RegisterTimeTextLength + 2 * 3 + 14;

// What a time's text can take beyond its 11 characters: one more digit in each of its numbers.
constexpr size_t WideTimeExtra = 4;

// ---- Reading

std::string clipFromField(std::string_view field, bool keepBlankClips) {
    if (!keepBlankClips && field == "        ") {
        return NoClipName;
    }
    return std::string(field);
}

bool scanTime(RegisterFileScanner& scanner, VRG500_registerTime* time) {
    std::string_view field;
    return scanner.scanField(&field) && parseRegisterTimeText(time, field) && scanner.scanChar(',');
}

bool scanTrailingByte(RegisterFileScanner& scanner, uint8_t* byte) {
    int32_t value = 0;
    if (!scanner.scanInt(&value) || !scanner.scanChar(',')) {
        return false;
    }
    *byte = static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFF);
    return true;
}

// Number, eight times, two trailing bytes, four clip names. Clip name D ends at a line end (or
// the end of the text), which the caller takes.
bool scanFields(RegisterFileScanner& scanner, int32_t* number, RegisterEntry* entry,
                bool keepBlankClips) {
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
        if (!scanner.scanField(&field) || !scanner.scanChar(',')) {
            return false;
        }
        entry->clips[machine] = clipFromField(field, keepBlankClips);
    }
    if (!scanner.scanUpToLineEnd(&field)) {
        return false;
    }
    entry->clips[3] = clipFromField(field, keepBlankClips);
    return true;
}

// ---- Writing

// Characters of a register number written with "%03d".
size_t numberLength(int32_t number) {
    if (number < 0) {
        return registerLabel(number).size(); // never from a device; rare enough to format twice
    }
    size_t digits = 3;
    for (int32_t rest = number / 1000; rest > 0; rest /= 10) {
        ++digits;
    }
    return digits;
}

bool timesFitText(const VRG500_register& reg) {
    for (auto member : VRG500_registerTimes) {
        if (!records::registerTimeFitsText(reg.*member)) {
            return false;
        }
    }
    return true;
}

// Writes a line into a buffer sized for it beforehand, so no write checks for room. A file is
// half a million times and 65,536 lines at most; this keeps writing it close to a plain copy.
// `WideTimes` lets a time's numbers go above 99, at the cost of formatting each time apart.
template <bool WideTimes> class RegisterLineWriter {
  public:
    explicit RegisterLineWriter(char* at) : _at(at) {}

    void put(char c) { *_at++ = c; }
    void put(std::string_view bytes) {
        std::memcpy(_at, bytes.data(), bytes.size());
        _at += bytes.size();
    }

    // "%03d": at least three digits, zero-padded after any sign.
    void putNumber(int32_t number) {
        if (number < 0) {
            put(registerLabel(number));
            return;
        }
        size_t length = numberLength(number);
        auto rest = static_cast<uint32_t>(number);
        for (size_t i = length; i > 0; --i) {
            _at[i - 1] = static_cast<char>('0' + rest % 10);
            rest /= 10;
        }
        _at += length;
    }

    void putTime(const VRG500_registerTime& time) {
        if constexpr (WideTimes) {
            put(stringForRegisterTime(time));
        } else {
            putRegisterTimeText(time, _at);
            _at += RegisterTimeTextLength;
        }
    }

    void putLine(int32_t number, const RegisterEntry& entry) {
        putNumber(number);
        put(',');
        for (auto time : VRG500_registerTimes) {
            putTime(entry.reg.*time);
            put(',');
        }
        putThreeDigits(entry.reg.trailingByte1);
        put(',');
        putThreeDigits(entry.reg.trailingByte2);
        put(',');
        for (size_t machine = 0; machine < 3; ++machine) {
            put(entry.clips[machine]);
            put(',');
        }
        put(entry.clips[3]);
    }

    char* position() const { return _at; }

  private:
    void putThreeDigits(unsigned value) {
        _at[0] = static_cast<char>('0' + value / 100);
        _at[1] = static_cast<char>('0' + value / 10 % 10);
        _at[2] = static_cast<char>('0' + value % 10);
        _at += 3;
    }

    char* _at;
};

} // namespace

bool scanRegisterLine(RegisterFileScanner& scanner, int32_t* number, RegisterEntry* entry,
                      bool keepBlankClips) {
    size_t start = scanner.position();
    return scanFields(scanner, number, entry, keepBlankClips) &&
           scanner.position() - start <= RegisterFileLineLimit &&
           registerLineLength(*number, *entry) <= RegisterFileLineLimit;
}

bool parseRegisterLine(std::string_view line, int32_t* number, RegisterEntry* entry) {
    if (line.size() > RegisterFileLineLimit) {
        return false;
    }
    RegisterFileScanner scanner(line);
    int32_t parsedNumber = 0;
    RegisterEntry parsed;
    // Clip name D stops at a line end, so a line that holds one does not end there.
    if (!scanRegisterLine(scanner, &parsedNumber, &parsed) || scanner.position() != line.size()) {
        return false;
    }
    *number = parsedNumber;
    *entry = std::move(parsed);
    return true;
}

size_t registerLineLength(int32_t number, const RegisterEntry& entry) {
    size_t length = FixedLineLength + numberLength(number);
    for (const auto& clip : entry.clips) {
        length += clip.size();
    }
    return length;
}

char* putRegisterLine(char* at, int32_t number, const RegisterEntry& entry) {
    RegisterLineWriter<false> writer(at);
    writer.putLine(number, entry);
    return writer.position();
}

std::string registerLineText(int32_t number, const RegisterEntry& entry) {
    size_t length = registerLineLength(number, entry);
    if (timesFitText(entry.reg)) {
        std::string line(length, '\0');
        putRegisterLine(line.data(), number, entry);
        return line;
    }
    std::string line(length + 8 * WideTimeExtra, '\0');
    RegisterLineWriter<true> writer(line.data());
    writer.putLine(number, entry);
    line.resize(static_cast<size_t>(writer.position() - line.data()));
    return line;
}

} // namespace tavrel::files
