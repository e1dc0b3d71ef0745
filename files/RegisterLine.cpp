#include "RegisterLine.h"

#include "RegisterFile.h"
#include "RegisterFileScanner.h"
#include "RegisterLabel.h"
#include "RegisterTimeText.h"
#include "TextTemplate.h"

#include <algorithm>
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

// Assigned in place: the name's string keeps its room, and no other string is made.
void setClipFromField(std::string* clip, std::string_view field, bool keepBlankClips) {
    if (!keepBlankClips && field == "        ") {
        *clip = NoClipName;
    } else {
        clip->assign(field);
    }
}

using Fault = RegisterLineFault;

bool refuse(Fault* fault, Fault::Kind kind, int field, size_t start) {
    if (fault) {
        *fault = {kind, field, start};
    }
    return false;
}

// An optional sign and at least one digit, nothing else.
bool isSignedDigits(std::string_view text) {
    size_t digits = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    return text.size() > digits && text.find_first_not_of("0123456789", digits) == text.npos;
}

// The comma after field `field`, which was scanned to its end: only a line end can be there
// instead, where the line ends before the next field.
bool scanComma(RegisterFileScanner& scanner, int field, Fault* fault) {
    size_t at = scanner.position();
    return scanner.scanChar(',') || refuse(fault, Fault::Kind::MissingField, field + 1, at);
}

// The register number (field 1) or a trailing byte, and its comma.
bool scanWholeNumber(RegisterFileScanner& scanner, int field, int32_t* value, Fault* fault) {
    size_t start = scanner.position();
    if (scanner.scanInt(value) && scanner.scanChar(',')) {
        return true;
    }
    std::string_view text = scanner.fieldFrom(start);
    if (text.empty()) {
        return refuse(fault, Fault::Kind::Empty, field, start);
    }
    if (scanner.position() - start == text.size()) { // the number is the whole field
        return refuse(fault, Fault::Kind::MissingField, field + 1, scanner.position());
    }
    return refuse(fault, isSignedDigits(text) ? Fault::Kind::OutOfRange : Fault::Kind::NotANumber,
                  field, start);
}

bool scanTime(RegisterFileScanner& scanner, int field, VRG500_registerTime* time, Fault* fault) {
    size_t start = scanner.position();
    std::string_view text;
    if (!scanner.scanField(&text)) {
        return refuse(fault, Fault::Kind::Empty, field, start);
    }
    if (!parseRegisterTimeText(time, text)) {
        return refuse(fault, Fault::Kind::NotATime, field, start);
    }
    return scanComma(scanner, field, fault);
}

bool scanTrailingByte(RegisterFileScanner& scanner, int field, uint8_t* byte, Fault* fault) {
    int32_t value = 0;
    if (!scanWholeNumber(scanner, field, &value, fault)) {
        return false;
    }
    *byte = static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFF);
    return true;
}

// Number, eight times, two trailing bytes, four clip names. Clip name D ends at a line end (or
// the end of the text), which the caller takes.
bool scanFields(RegisterFileScanner& scanner, int32_t* number, RegisterEntry* entry,
                bool keepBlankClips, Fault* fault) {
    int field = 1;
    if (!scanWholeNumber(scanner, field, number, fault)) {
        return false;
    }
    for (auto time : VRG500_registerTimes) {
        if (!scanTime(scanner, ++field, &(entry->reg.*time), fault)) {
            return false;
        }
    }
    if (!scanTrailingByte(scanner, ++field, &entry->reg.trailingByte1, fault) ||
        !scanTrailingByte(scanner, ++field, &entry->reg.trailingByte2, fault)) {
        return false;
    }
    std::string_view text;
    for (size_t machine = 0; machine < 4; ++machine) {
        size_t start = scanner.position();
        ++field;
        bool last = machine == 3;
        if (!(last ? scanner.scanUpToLineEnd(&text) : scanner.scanField(&text))) {
            return refuse(fault, Fault::Kind::Empty, field, start);
        }
        if (!last && !scanComma(scanner, field, fault)) {
            return false;
        }
        setClipFromField(&entry->clips[machine], text, keepBlankClips);
    }
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

const char* registerLineFieldName(int field) {
    static constexpr const char* Trailing[2] = {"TRAILING 1", "TRAILING 2"};
    static constexpr const char* Clips[4] = {"CLIP A", "CLIP B", "CLIP C", "CLIP D"};
    if (field <= 1) {
        return TAVREL_TEXT("register number");
    }
    if (field <= 9) {
        return records::VRG500_registerTimeNames[field - 2];
    }
    return field <= 11 ? Trailing[field - 10] : Clips[std::min(field, 15) - 12];
}

bool scanRegisterLine(RegisterFileScanner& scanner, int32_t* number, RegisterEntry* entry,
                      bool keepBlankClips, RegisterLineFault* fault) {
    size_t start = scanner.position();
    if (!scanFields(scanner, number, entry, keepBlankClips, fault)) {
        return false;
    }
    if (scanner.position() - start > RegisterFileLineLimit) {
        return refuse(fault, Fault::Kind::TooLong, 0, start);
    }
    if (registerLineLength(*number, *entry) > RegisterFileLineLimit) {
        return refuse(fault, Fault::Kind::TooLongSaved, 0, start);
    }
    return true;
}

bool parseRegisterLineField(int field, std::string_view text, int32_t* number, RegisterEntry* entry,
                            RegisterLineFault* fault) {
    if (text.empty()) {
        return refuse(fault, Fault::Kind::Empty, field, 0);
    }
    if (field >= 12) {
        setClipFromField(&entry->clips[static_cast<size_t>(field - 12)], text, false);
        return true;
    }
    if (field >= 2 && field <= 9) {
        return parseRegisterTimeText(&(entry->reg.*VRG500_registerTimes[field - 2]), text) ||
               refuse(fault, Fault::Kind::NotATime, field, 0);
    }
    RegisterFileScanner scanner(text);
    int32_t value = 0;
    if (!scanner.scanInt(&value) || scanner.position() != text.size()) {
        return refuse(fault,
                      isSignedDigits(text) ? Fault::Kind::OutOfRange : Fault::Kind::NotANumber,
                      field, 0);
    }
    if (field == 1) {
        *number = value;
    } else {
        (field == 10 ? entry->reg.trailingByte1 : entry->reg.trailingByte2) =
            static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFF);
    }
    return true;
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
