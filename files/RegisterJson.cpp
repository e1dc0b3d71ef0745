#include "RegisterJson.h"

#include "PiecewiseText.h"
#include "RegisterCollectionBuilder.h"
#include "RegisterDetailLine.h"
#include "RegisterFile.h"
#include "RegisterFileFault.h"
#include "RegisterLine.h"
#include "RegisterNumberLines.h"
#include "RegisterTimeText.h"
#include "RegisterTimeWire.h"
#include "RegisterWire.h"
#include "TextTemplate.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cstring>
#include <optional>
#include <vector>

namespace tavrel::files {

using records::filledText;
using records::RegisterEntry;
using records::stringForRegisterTime;
using records::TavrelError;
using records::VRG500_registerTimes;

namespace {

constexpr std::string_view FormatName = "tavrel-registers";
constexpr int64_t FormatVersion = 1;
constexpr std::array<std::string_view, 4> MachineKeys = {"A", "B", "C", "D"};
constexpr char HexDigits[] = "0123456789ABCDEF";
constexpr size_t PieceSize = 256 * 1024;

// ---- Writing

// A clip name's bytes as the characters of their codes: UTF-8, with the quote, the backslash
// and the control characters (C0, DEL and C1) escaped.
void putString(std::string_view bytes, std::string* text) {
    *text += '"';
    const bool plain = std::all_of(bytes.begin(), bytes.end(), [](char c) {
        return c >= 0x20 && c < 0x7F && c != '"' && c != '\\';
    });
    if (plain) {
        *text += bytes;
        *text += '"';
        return;
    }
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            *text += '\\';
            *text += c;
        } else if (byte < 0x20 || (byte >= 0x7F && byte < 0xA0)) {
            const char escape[] = {'\\', 'u', '0', '0', HexDigits[byte >> 4], HexDigits[byte & 15]};
            text->append(escape, sizeof escape);
        } else if (byte < 0x80) {
            *text += c;
        } else {
            *text += static_cast<char>(0xC0 | byte >> 6);
            *text += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    *text += '"';
}

// The eight times' wire bytes of a register whose times go as bytes (detailCarriesTimes).
using WireTimes = std::array<records::RegisterTimeBytes, 8>;

// Room a register's line takes at most: about 430 bytes beside its clip names, and each byte of
// a name as at most six ("\u0001").
size_t registerLineRoom(const RegisterEntry& entry) {
    size_t room = 512;
    for (const std::string& clip : entry.clips) {
        room += 6 * clip.size();
    }
    return room;
}

// Writes a register's line into room made for it beforehand (registerLineRoom), so that no
// write checks for room: a file is 65,536 lines of some forty pieces each.
class LineWriter {
  public:
    explicit LineWriter(char* at) : _at(at) {}

    template <size_t N> void put(const char (&text)[N]) { put(std::string_view(text, N - 1)); }
    void put(std::string_view bytes) {
        std::memcpy(_at, bytes.data(), bytes.size());
        _at += bytes.size();
    }
    void put(char c) { *_at++ = c; }

    void putNumber(int64_t value) { _at = std::to_chars(_at, _at + 24, value).ptr; }

    // Time `index` as the exact file's line shows it: unset, in its notation, when its numbers
    // do not fit the text.
    void putTime(const RegisterEntry& entry, size_t index) {
        records::VRG500_registerTime time = entry.reg.*VRG500_registerTimes[index];
        if (!records::registerTimeFitsText(time)) {
            time = entryAsLineShows(entry).reg.*VRG500_registerTimes[index];
        }
        put('"');
        records::putRegisterTimeText(time, _at);
        _at += records::RegisterTimeTextLength;
        put('"');
    }

    // As putString writes it.
    void putString(std::string_view bytes) {
        put('"');
        for (const char c : bytes) {
            const auto byte = static_cast<unsigned char>(c);
            if (c == '"' || c == '\\') {
                put('\\');
                put(c);
            } else if (byte < 0x20 || (byte >= 0x7F && byte < 0xA0)) {
                const char escape[] = {
                    '\\', 'u', '0', '0', HexDigits[byte >> 4], HexDigits[byte & 15]};
                put(std::string_view(escape, sizeof escape));
            } else if (byte < 0x80) {
                put(c);
            } else {
                put(static_cast<char>(0xC0 | byte >> 6));
                put(static_cast<char>(0x80 | (byte & 0x3F)));
            }
        }
        put('"');
    }

    char* position() const { return _at; }

  private:
    char* _at;
};

// `wire`: the register's times' bytes when they go as bytes, else null.
void putRegister(int32_t number, const RegisterEntry& entry, const WireTimes* wire,
                 std::string* text) {
    const size_t used = text->size();
    text->resize(used + registerLineRoom(entry));
    LineWriter line(text->data() + used);
    line.put("{\"register\": ");
    line.putNumber(number);
    for (size_t machine = 0; machine < 4; ++machine) {
        line.put(", \"");
        line.put(MachineKeys[machine]);
        line.put("\": {\"in\": ");
        line.putTime(entry, 2 * machine);
        line.put(", \"out\": ");
        line.putTime(entry, 2 * machine + 1);
        line.put(", \"clip\": ");
        line.putString(entry.clips[machine]);
        line.put('}');
    }
    line.put(", \"trailing\": [");
    line.putNumber(entry.reg.trailingByte1);
    line.put(", ");
    line.putNumber(entry.reg.trailingByte2);
    line.put("], \"noClipNames\": ");
    if (records::holdsNoClipNames(entry)) {
        line.put("true");
    } else {
        line.put("false");
    }
    if (wire) {
        line.put(", \"wire\": [");
        for (size_t i = 0; i < wire->size(); ++i) {
            if (i > 0) {
                line.put(", ");
            }
            line.put('"');
            for (const uint8_t byte : (*wire)[i]) {
                line.put(HexDigits[byte >> 4]);
                line.put(HexDigits[byte & 15]);
            }
            line.put('"');
        }
        line.put(']');
    }
    line.put('}');
    text->resize(static_cast<size_t>(line.position() - text->data()));
}

// checkRegisterTimeBytes, keeping the bytes it checks for writing them: those of a register
// whose times go as bytes are added to *wires, and *carried says for each register whether they
// go so. Refuses in checkRegisterTimeBytes' words.
bool checkTimeBytes(int32_t number, const RegisterEntry& entry, std::vector<WireTimes>* wires,
                    std::vector<bool>* carried, TavrelError* error) {
    const bool carries = detailCarriesTimes(entry);
    carried->push_back(carries);
    if (!carries) {
        return true;
    }
    WireTimes bytes;
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = records::timeBytesToSend(entry, i);
        records::VRG500_registerTime read;
        records::vrg500wire::parseRegisterTime(bytes[i].data(), &read);
        if (!records::vrg500wire::sameWireTime(read, entry.reg.*VRG500_registerTimes[i])) {
            return checkRegisterTimeBytes(number, entry, error);
        }
    }
    wires->push_back(bytes);
    return true;
}

template <typename Put>
bool formatPieces(const RegisterCollection& registers, TavrelError* error, Put&& put) {
    std::vector<WireTimes> wires;
    std::vector<bool> carried;
    carried.reserve(registers.size());
    for (const auto& [number, entry] : registers) {
        if (!checkTimeBytes(number, entry, &wires, &carried, error)) {
            return false;
        }
    }
    std::string piece;
    piece.reserve(PieceSize + 1024);
    piece += "{\"format\": \"" + std::string(FormatName) +
             "\", \"version\": " + std::to_string(FormatVersion) + ", \"registers\": [\n";
    size_t index = 0;
    size_t wired = 0;
    for (const auto& [number, entry] : registers) {
        if (index > 0) {
            piece += ",\n";
        }
        putRegister(number, entry, carried[index++] ? &wires[wired++] : nullptr, &piece);
        if (piece.size() >= PieceSize) {
            if (!put(piece)) {
                return false;
            }
            piece.clear();
        }
    }
    piece += index == 0 ? "]}\n" : "\n]}\n";
    return put(piece);
}

// ---- Reading

// Where a value starts.
struct Place {
    uint64_t line = 0;
    uint64_t column = 0;
};

// Reads the JSON text a token at a time.
class JsonReader {
  public:
    JsonReader(TextInput& input, std::string* fault) : _in(input), _fault(fault) {}

    bool refuse(std::string fault) {
        if (_fault) {
            *_fault = std::move(fault);
        }
        return false;
    }
    bool refuseAt(Place at, const char* pattern, const std::vector<std::string>& more = {}) {
        std::vector<std::string> arguments{std::to_string(at.line), std::to_string(at.column)};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return refuse(filledText(pattern, arguments));
    }
    // "Line 3, column 17: "," or "}" expected."
    bool expected(const std::string& what, std::optional<Place> at = std::nullopt) {
        return refuseAt(at ? *at : place(), TAVREL_TEXT("Line %1, column %2: %3 expected."),
                        {what});
    }

    // The place of the next token, after any whitespace.
    Place place() {
        skipSpace();
        return {_in.line(), _in.column()};
    }
    bool take(char c) {
        skipSpace();
        return _in.take(c);
    }
    bool expect(char c) { return take(c) || expected(std::string("\"") + c + "\""); }
    bool atEnd() {
        skipSpace();
        return _in.peek() < 0;
    }

    // A string whose characters are U+0000 to U+00FF, as the bytes of their codes.
    bool readString(std::string* bytes) {
        bytes->clear();
        const Place start = place();
        if (!take('"')) {
            return expected("a string");
        }
        for (;;) {
            // Runs of plain ASCII at once; the rest a character at a time.
            for (std::string_view run = _in.takeUntil(isSpecialInString); !run.empty();
                 run = _in.takeUntil(isSpecialInString)) {
                if (bytes->size() + run.size() > RegisterFileLineLimit) {
                    return tooLong(start);
                }
                *bytes += run;
            }
            const Place at{_in.line(), _in.column()};
            int c = _in.get();
            if (c == '"') {
                return true;
            }
            if (c < 0x20) {
                return expected("\"\\\"\" at the end of the string", at);
            }
            uint32_t code = static_cast<uint32_t>(c);
            if (c == '\\' && !readEscape(&code)) {
                return expected("an escape (\\\" \\\\ \\/ \\b \\f \\n \\r \\t \\uXXXX)", at);
            }
            if (c >= 0x80 && !readUtf8(static_cast<uint32_t>(c), &code)) {
                return expected("UTF-8 text", at);
            }
            if (code > 0xFF) {
                return expected("a character from U+0000 to U+00FF", at);
            }
            if (bytes->size() >= RegisterFileLineLimit) {
                return tooLong(start);
            }
            *bytes += static_cast<char>(code);
        }
    }

    // A whole number as JSON writes it (no leading zeros), from `low` to `high`.
    bool readInteger(int64_t low, int64_t high, int64_t* value) {
        const Place at = place();
        const bool negative = _in.take('-');
        const bool leadingZero = _in.peek() == '0';
        int64_t magnitude = 0;
        int digits = 0;
        for (int c = _in.peek(); c >= '0' && c <= '9' && digits <= 11; c = _in.peek()) {
            magnitude = magnitude * 10 + (_in.get() - '0');
            ++digits;
        }
        const int next = _in.peek();
        const bool fraction =
            next == '.' || next == 'e' || next == 'E' || (next >= '0' && next <= '9');
        if (leadingZero && digits > 1) {
            digits = 0;
        }
        *value = negative ? -magnitude : magnitude;
        if (digits == 0 || fraction || *value < low || *value > high) {
            return expected(
                "a whole number from " + std::to_string(low) + " to " + std::to_string(high), at);
        }
        return true;
    }

    bool readBool(bool* value) {
        const Place at = place();
        if (readWord("true")) {
            *value = true;
            return true;
        }
        if (readWord("false")) {
            *value = false;
            return true;
        }
        return expected("true or false", at);
    }

    // An object: `member(key, place)` reads each member's value and gives 1, or 0 for a key it
    // does not know (refused here, with `keys`, the keys there may be), or -1 after refusing the
    // value.
    template <typename Member> bool readObject(const char* keys, Member&& member) {
        if (!expect('{')) {
            return false;
        }
        if (take('}')) {
            return true;
        }
        std::string key;
        for (;;) {
            const Place at = place();
            if (!readString(&key) || !expect(':')) {
                return false;
            }
            int known = member(key, at);
            if (known < 0) {
                return false;
            }
            if (known == 0) {
                return refuseAt(at,
                                TAVREL_TEXT("Line %1, column %2: %3 is not a key here; the "
                                            "keys are %4."),
                                {quotedKey(key), keys});
            }
            if (take('}')) {
                return true;
            }
            if (!take(',')) {
                return expected("\",\" or \"}\"");
            }
        }
    }

    // An array of `count` items, each read by `item(index)`.
    template <typename Item> bool readArray(size_t count, Item&& item) {
        if (!expect('[')) {
            return false;
        }
        for (size_t i = 0; i < count; ++i) {
            if ((i > 0 && !expect(',')) || !item(i)) {
                return false;
            }
        }
        return take(']') || expected("\"]\" after " + std::to_string(count) + " items");
    }

    // An array of any length.
    template <typename Item> bool readList(Item&& item) {
        if (!expect('[')) {
            return false;
        }
        if (take(']')) {
            return true;
        }
        do {
            if (!item()) {
                return false;
            }
        } while (take(','));
        return take(']') || expected("\",\" or \"]\"");
    }

    TextInput& input() { return _in; }

    static std::string quotedKey(const std::string& key) {
        std::string text;
        putString(key.substr(0, 32), &text);
        return text;
    }

  private:
    bool tooLong(Place start) {
        return expected("a string of at most " + std::to_string(RegisterFileLineLimit) + " bytes",
                        start);
    }

    static bool isSpecialInString(unsigned char c) {
        return c == '"' || c == '\\' || c < 0x20 || c >= 0x80;
    }

    void skipSpace() {
        for (int c = _in.peek(); c == ' ' || c == '\t' || c == '\n' || c == '\r'; c = _in.peek()) {
            _in.get();
        }
    }

    bool readWord(std::string_view word) {
        if (_in.peek() != static_cast<unsigned char>(word[0])) {
            return false;
        }
        for (const char c : word) {
            if (!_in.take(c)) {
                return false;
            }
        }
        return true;
    }

    int hexDigit() {
        const int c = _in.get();
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f') {
            return (c | 0x20) - 'a' + 10;
        }
        return -1;
    }

    bool readEscape(uint32_t* code) {
        const int c = _in.get();
        static constexpr std::string_view Escaped = "\"\\/bfnrt";
        static constexpr std::string_view Meant = "\"\\/\b\f\n\r\t";
        const size_t at = c < 0 ? Escaped.npos : Escaped.find(static_cast<char>(c));
        if (at != Escaped.npos) {
            *code = static_cast<unsigned char>(Meant[at]);
            return true;
        }
        if (c != 'u') {
            return false;
        }
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = hexDigit();
            if (digit < 0) {
                return false;
            }
            value = value << 4 | static_cast<uint32_t>(digit);
        }
        *code = value;
        return true;
    }

    // The rest of a character whose UTF-8 encoding starts with `lead`; any valid character is
    // decoded, so that one beyond U+00FF is refused as that rather than as bad UTF-8.
    bool readUtf8(uint32_t lead, uint32_t* code) {
        int more = lead >= 0xF0 && lead <= 0xF4 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
        if (more < 0 || lead > 0xF4) {
            return false;
        }
        uint32_t value = lead & (0x3F >> more);
        for (; more > 0; --more) {
            const int c = _in.peek();
            if (c < 0x80 || c > 0xBF) {
                return false;
            }
            value = value << 6 | (static_cast<uint32_t>(_in.get()) & 0x3F);
        }
        *code = value;
        return true;
    }

    TextInput& _in;
    std::string* _fault;
};

// Keys of an object read so far, for the refusal of one given twice or left out.
class KeysSeen {
  public:
    // Whether `key` (the index-th of the object's keys) is new; refuses it otherwise.
    bool first(JsonReader& reader, size_t index, std::string_view key, Place at) {
        if (_seen & (1u << index)) {
            return reader.refuseAt(at, TAVREL_TEXT("Line %1, column %2: the key %3 appears twice."),
                                   {JsonReader::quotedKey(std::string(key))});
        }
        _seen |= 1u << index;
        return true;
    }
    bool has(size_t index) const { return (_seen & (1u << index)) != 0; }
    // Whether every key of `required` (indices) is there; refuses the first missing one at
    // `end`, the object's end.
    template <size_t N>
    bool complete(JsonReader& reader, const std::array<std::string_view, N>& keys, size_t required,
                  Place end) {
        for (size_t i = 0; i < required; ++i) {
            if (!has(i)) {
                return reader.refuseAt(end,
                                       TAVREL_TEXT("Line %1, column %2: the key %3 is missing."),
                                       {JsonReader::quotedKey(std::string(keys[i]))});
            }
        }
        return true;
    }

  private:
    uint32_t _seen = 0;
};

// The index of `key` among `keys`, or N.
template <size_t N>
size_t keyIndex(const std::array<std::string_view, N>& keys, std::string_view key) {
    size_t i = 0;
    while (i < N && keys[i] != key) {
        ++i;
    }
    return i;
}

constexpr std::array<std::string_view, 3> MachineMembers = {"in", "out", "clip"};
constexpr const char* MachineMemberList = "\"in\", \"out\", \"clip\"";
constexpr std::array<std::string_view, 8> RegisterMembers = {
    "register", "A", "B", "C", "D", "trailing", "noClipNames", "wire"};
constexpr size_t RequiredRegisterMembers = 6;
constexpr const char* RegisterMemberList =
    "\"register\", \"A\", \"B\", \"C\", \"D\", \"trailing\", \"noClipNames\", \"wire\"";
constexpr std::array<std::string_view, 3> DocumentMembers = {"format", "version", "registers"};
constexpr const char* DocumentMemberList = "\"format\", \"version\", \"registers\"";

// A missing key is reported at its object's end, the place after the last member read.
bool readMachine(JsonReader& reader, size_t machine, RegisterEntry* entry) {
    KeysSeen seen;
    Place end = reader.place();
    const bool read = reader.readObject(MachineMemberList, [&](const std::string& key, Place at) {
        const size_t index = keyIndex(MachineMembers, key);
        if (index == MachineMembers.size()) {
            return 0;
        }
        if (!seen.first(reader, index, key, at)) {
            return -1;
        }
        std::string text;
        const Place value = reader.place();
        if (!reader.readString(&text)) {
            return -1;
        }
        if (index == 2) {
            entry->clips[machine] = std::move(text);
        } else if (!records::parseRegisterTimeText(
                       &(entry->reg.*VRG500_registerTimes[2 * machine + index]), text)) {
            const RegisterLineFault fault{RegisterLineFault::Kind::NotATime, 0, 0};
            reader.refuse(registerCellFault(value.line, value.column,
                                            records::VRG500_registerTimeNames[2 * machine + index],
                                            fault, text));
            return -1;
        }
        end = reader.place();
        return 1;
    });
    return read && seen.complete(reader, MachineMembers, MachineMembers.size(), end);
}

int upperHexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

bool readWire(JsonReader& reader, RegisterDetail* detail) {
    detail->hasTimes = true;
    return reader.readArray(8, [&](size_t i) {
        const Place at = reader.place();
        std::string text;
        if (!reader.readString(&text)) {
            return false;
        }
        // As a detail line writes a time: four bytes, frames first, in upper-case hexadecimal.
        if (text.size() != 8) {
            return reader.expected("eight upper-case hexadecimal digits", at);
        }
        for (size_t b = 0; b < 4; ++b) {
            const int high = upperHexValue(text[2 * b]);
            const int low = upperHexValue(text[2 * b + 1]);
            if (high < 0 || low < 0) {
                return reader.expected("eight upper-case hexadecimal digits", at);
            }
            detail->times[i][b] = static_cast<uint8_t>(high << 4 | low);
        }
        return true;
    });
}

struct RegisterRead {
    int32_t number = 0;
    RegisterEntry entry;
};

bool readRegister(JsonReader& reader, RegisterRead* read) {
    KeysSeen seen;
    RegisterDetail detail;
    const Place start = reader.place();
    Place end = start;
    read->entry = RegisterEntry{};
    const bool parsed =
        reader.readObject(RegisterMemberList, [&](const std::string& key, Place at) {
            const size_t index = keyIndex(RegisterMembers, key);
            if (index == RegisterMembers.size()) {
                return 0;
            }
            if (!seen.first(reader, index, key, at)) {
                return -1;
            }
            int64_t number = 0;
            bool ok = true;
            switch (index) {
            case 0:
                ok = reader.readInteger(INT32_MIN, INT32_MAX, &number);
                read->number = static_cast<int32_t>(number);
                break;
            case 5:
                ok = reader.readArray(2, [&](size_t i) {
                    int64_t byte = 0;
                    if (!reader.readInteger(0, 255, &byte)) {
                        return false;
                    }
                    (i == 0 ? read->entry.reg.trailingByte1 : read->entry.reg.trailingByte2) =
                        static_cast<uint8_t>(byte);
                    return true;
                });
                break;
            case 6:
                ok = reader.readBool(&detail.noClipNames);
                break;
            case 7:
                ok = readWire(reader, &detail);
                break;
            default:
                ok = readMachine(reader, index - 1, &read->entry);
                break;
            }
            end = reader.place();
            return ok ? 1 : -1;
        });
    if (!parsed || !seen.complete(reader, RegisterMembers, RequiredRegisterMembers, end)) {
        return false;
    }
    detail.number = read->number;
    if ((detail.hasTimes || detail.noClipNames) &&
        !applyRegisterDetail(detail, read->number, &read->entry)) {
        return reader.refuseAt(start, TAVREL_TEXT("Line %1, column %2: \"wire\" or \"noClipNames\" "
                                                  "does not agree with the times and clip names."));
    }
    return true;
}

// A register as formatRegisterJson writes it, on one line among the bytes at hand: its keys in
// that order, one blank after each colon and comma, clip names of printable ASCII (no escape).
// Read straight from those bytes, without a token at a time; anything else (another layout, an
// escape, a value out of range, a register past the bytes at hand) is left to readRegister,
// which reads such a register alike, and refuses what is wrong in its words.
class PlainRegister {
  public:
    explicit PlainRegister(std::string_view bytes) : _bytes(bytes) {}

    // The bytes the register took, or 0 when it is not plain.
    size_t read(RegisterRead* read) {
        RegisterDetail detail;
        int64_t number = 0;
        RegisterEntry& entry = read->entry;
        if (!literal("{\"register\": ") || !whole(INT32_MAX, &number)) {
            return 0;
        }
        for (size_t machine = 0; machine < 4; ++machine) {
            const char key[] = {',', ' ', '"', MachineKeys[machine][0], '"', ':', ' ', '{'};
            if (!literal(std::string_view(key, sizeof key)) || !literal("\"in\": ") ||
                !time(&(entry.reg.*VRG500_registerTimes[2 * machine])) || !literal(", \"out\": ") ||
                !time(&(entry.reg.*VRG500_registerTimes[2 * machine + 1])) ||
                !literal(", \"clip\": ") || !clip(&entry.clips[machine]) || !literal("}")) {
                return 0;
            }
        }
        int64_t trailing1 = 0;
        int64_t trailing2 = 0;
        if (!literal(", \"trailing\": [") || !whole(255, &trailing1) || !literal(", ") ||
            !whole(255, &trailing2) || !literal("], \"noClipNames\": ")) {
            return 0;
        }
        entry.reg.trailingByte1 = static_cast<uint8_t>(trailing1);
        entry.reg.trailingByte2 = static_cast<uint8_t>(trailing2);
        if (literal("true")) {
            detail.noClipNames = true;
        } else if (!literal("false")) {
            return 0;
        }
        if (literal(", \"wire\": [")) {
            detail.hasTimes = true;
            for (size_t i = 0; i < 8; ++i) {
                if ((i > 0 && !literal(", ")) || !wireTime(&detail.times[i])) {
                    return 0;
                }
            }
            if (!literal("]")) {
                return 0;
            }
        }
        if (!literal("}")) {
            return 0;
        }
        read->number = static_cast<int32_t>(number);
        detail.number = read->number;
        if ((detail.hasTimes || detail.noClipNames) &&
            !applyRegisterDetail(detail, read->number, &entry)) {
            return 0;
        }
        return _at;
    }

  private:
    // A literal's length known where it is compared, so that the comparison is a few loads.
    template <size_t N> bool literal(const char (&text)[N]) {
        return literal(std::string_view(text, N - 1));
    }
    bool literal(std::string_view text) {
        if (_bytes.size() - _at < text.size() ||
            std::memcmp(_bytes.data() + _at, text.data(), text.size()) != 0) {
            return false;
        }
        _at += text.size();
        return true;
    }

    // A whole number from 0 to `high` as JSON writes it (no sign, no leading zero), and then not
    // a digit, a fraction or an exponent: what readInteger takes alike.
    bool whole(int64_t high, int64_t* value) {
        const size_t start = _at;
        int64_t read = 0;
        while (_at < _bytes.size() && _at - start <= 10 && _bytes[_at] >= '0' &&
               _bytes[_at] <= '9') {
            read = read * 10 + (_bytes[_at++] - '0');
        }
        const size_t digits = _at - start;
        if (digits == 0 || digits > 10 || (digits > 1 && _bytes[start] == '0') || read > high ||
            _at == _bytes.size()) {
            return false;
        }
        const char next = _bytes[_at];
        *value = read;
        return next != '.' && next != 'e' && next != 'E';
    }

    bool time(records::VRG500_registerTime* time) {
        const size_t length = records::RegisterTimeTextLength;
        if (_bytes.size() - _at < length + 2 || _bytes[_at] != '"' ||
            _bytes[_at + length + 1] != '"' ||
            !records::parseRegisterTimeText(time, _bytes.substr(_at + 1, length))) {
            return false;
        }
        _at += length + 2;
        return true;
    }

    // A string of bytes that readString takes as they are: no quote, backslash, control
    // character or byte from 0x80.
    bool clip(std::string* clip) {
        if (_at == _bytes.size() || _bytes[_at] != '"') {
            return false;
        }
        const size_t start = _at + 1;
        size_t end = start;
        while (end < _bytes.size() && end - start <= RegisterFileLineLimit) {
            const auto c = static_cast<unsigned char>(_bytes[end]);
            if (c == '"' || c == '\\' || c < 0x20 || c >= 0x80) {
                break;
            }
            ++end;
        }
        if (end == _bytes.size() || _bytes[end] != '"' || end - start > RegisterFileLineLimit) {
            return false;
        }
        clip->assign(_bytes.data() + start, end - start);
        _at = end + 1;
        return true;
    }

    bool wireTime(records::RegisterTimeBytes* bytes) {
        if (_bytes.size() - _at < 10 || _bytes[_at] != '"' || _bytes[_at + 9] != '"') {
            return false;
        }
        for (size_t b = 0; b < 4; ++b) {
            const int high = upperHexValue(_bytes[_at + 1 + 2 * b]);
            const int low = upperHexValue(_bytes[_at + 2 + 2 * b]);
            if (high < 0 || low < 0) {
                return false;
            }
            (*bytes)[b] = static_cast<uint8_t>(high << 4 | low);
        }
        _at += 10;
        return true;
    }

    std::string_view _bytes;
    size_t _at = 0;
};

// Bytes a register's line is read ahead for: a plain one takes about 450.
constexpr size_t PlainRegisterBytes = 4096;

// A register, read whole when it is plain (see PlainRegister).
bool readAnyRegister(JsonReader& reader, RegisterRead* read) {
    TextInput& input = reader.input();
    RegisterRead plain;
    // A plain register holds no line end: skipping it counts columns of one line.
    if (const size_t taken = PlainRegister(input.buffered(PlainRegisterBytes)).read(&plain)) {
        input.skip(taken);
        *read = std::move(plain);
        return true;
    }
    return readRegister(reader, read);
}

bool readRegisters(JsonReader& reader, RegisterCollectionBuilder* builder) {
    RegisterNumberLines lineOf;
    bool sized = false;
    return reader.readList([&] {
        const Place at = reader.place();
        const uint64_t start = reader.input().offset();
        RegisterRead read;
        if (!readAnyRegister(reader, &read)) {
            return false;
        }
        uint64_t firstLine = 0;
        if (!lineOf.add(read.number, at.line, &firstLine)) {
            return reader.refuse(
                repeatedRegisterFault(at.line, at.column, "register", read.number, firstLine));
        }
        const TextInput& input = reader.input();
        if (!sized && input.expectedSize() > 0) { // the first register tells how long they are
            builder->reserveFor(input.expectedSize() - std::min(input.expectedSize(), start),
                                input.offset() - start);
            sized = true;
        }
        builder->add(read.number, std::move(read.entry));
        return true;
    });
}

bool readDocument(JsonReader& reader, RegisterCollectionBuilder* builder) {
    KeysSeen seen;
    Place end = reader.place();
    const bool read = reader.readObject(DocumentMemberList, [&](const std::string& key, Place at) {
        const size_t index = keyIndex(DocumentMembers, key);
        if (index == DocumentMembers.size()) {
            return 0;
        }
        if (!seen.first(reader, index, key, at)) {
            return -1;
        }
        const Place value = reader.place();
        bool ok = true;
        if (index == 0) {
            std::string name;
            ok = reader.readString(&name) &&
                 (name == FormatName ||
                  reader.expected("\"" + std::string(FormatName) + "\"", value));
        } else if (index == 1) {
            int64_t version = 0;
            ok = reader.readInteger(INT32_MIN, INT32_MAX, &version) &&
                 (version == FormatVersion ||
                  reader.expected("version " + std::to_string(FormatVersion), value));
        } else {
            ok = readRegisters(reader, builder);
        }
        end = reader.place();
        return ok ? 1 : -1;
    });
    return read && seen.complete(reader, DocumentMembers, DocumentMembers.size(), end) &&
           (reader.atEnd() || reader.expected("the end of the text"));
}

} // namespace

bool formatRegisterJson(const RegisterCollection& registers, std::string* text,
                        TavrelError* error) {
    return collectPieces(text, [&](auto&& sink) { return formatPieces(registers, error, sink); });
}

bool writeRegisterJson(const std::string& path, const RegisterCollection& registers,
                       TavrelError* error, bool* wroteInPlace) {
    return writePieces(path, error, wroteInPlace,
                       [&](auto&& sink) { return formatPieces(registers, error, sink); });
}

bool parseRegisterJson(TextInput& input, RegisterCollection* registers, std::string* fault) {
    JsonReader reader(input, fault);
    RegisterCollectionBuilder builder;
    if (!readDocument(reader, &builder)) {
        return false;
    }
    *registers = builder.take();
    return true;
}

bool parseRegisterJson(std::string_view text, RegisterCollection* registers, std::string* fault) {
    TextInput input(text);
    return parseRegisterJson(input, registers, fault);
}

bool readRegisterJson(const std::string& path, RegisterCollection* registers, TavrelError* error) {
    RegisterCollection parsed;
    if (!readTextFile(
            path, TAVREL_TEXT("Error processing .json file"),
            [&](TextInput& input, std::string* fault) {
                return parseRegisterJson(input, &parsed, fault);
            },
            error)) {
        return false;
    }
    std::swap(*registers, parsed);
    return true;
}

} // namespace tavrel::files
