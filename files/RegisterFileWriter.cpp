#include "RegisterFile.h"

#include "AtomicFile.h"
#include "FileError.h"
#include "RegisterLabel.h"
#include "RegisterTimeText.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstring>

namespace tavrel::files {

using records::putRegisterTimeText;
using records::RegisterEntry;
using records::registerLabel;
using records::RegisterTimeTextLength;
using records::TavrelError;
using records::VRG500_registerTime;
using records::VRG500_registerTimeNames;
using records::VRG500_registerTimes;

namespace {

constexpr char MachineLetters[4] = {'A', 'B', 'C', 'D'};

// Bytes of a line other than its register number and its four clip names: eight times of 11
// characters, two trailing bytes of 3 digits, 14 commas, CR LF.
constexpr size_t FixedLineLength = 8 * RegisterTimeTextLength + 2 * 3 + 14 + 2;

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

// Writes a line into a buffer sized for it beforehand, so no write checks for room. The file is
// half a million times and 65,536 lines at most; this keeps writing it close to a plain copy.
class RegisterLineWriter {
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

    // Numbers are at most 99 here (checked before writing).
    void putTime(const VRG500_registerTime& time) {
        putRegisterTimeText(time, _at);
        _at += RegisterTimeTextLength;
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
        put("\r\n");
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

size_t lineLength(int32_t number, const RegisterEntry& entry) {
    size_t length = FixedLineLength;
    length += numberLength(number);
    for (const auto& clip : entry.clips) {
        length += clip.size();
    }
    return length;
}

bool timeFitsText(const VRG500_registerTime& time) {
    return time.isNull ||
           (time.hours <= 99 && time.minutes <= 99 && time.seconds <= 99 && time.frames <= 99);
}

// Why the reader would not give a name back whole, or null: empty, a comma in names A to C (it
// would shift the fields), a line end in any name (it would end the line early, and the next
// line would be read as the rest of this one).
const char* clipProblem(const std::string& name, size_t machine) {
    if (name.empty()) {
        return " is empty.";
    }
    if (machine < 3 && name.find(',') != std::string::npos) {
        return " contains a comma.";
    }
    if (name.find_first_of("\r\n") != std::string::npos) {
        return " contains a line break.";
    }
    return nullptr;
}

bool clipNameError(int32_t number, size_t machine, const char* problem, TavrelError* error) {
    tavrelFileFormatError(
        error, "Register " + registerLabel(number) + " holds a clip name that cannot be written",
        std::string("Clip name ") + MachineLetters[machine] + problem);
    return false;
}

} // namespace

size_t registerLineLength(int32_t number, const RegisterEntry& entry) {
    return lineLength(number, entry) - 2;
}

bool checkRegisterWritable(int32_t number, const RegisterEntry& entry, TavrelError* error) {
    for (size_t i = 0; i < 8; ++i) {
        if (!timeFitsText(entry.reg.*VRG500_registerTimes[i])) {
            tavrelFileFormatError(
                error, "Register " + registerLabel(number) + " holds a time that cannot be written",
                std::string("Its ") + VRG500_registerTimeNames[i] +
                    " time has a number above 99, which a register file cannot hold.");
            return false;
        }
    }
    for (size_t machine = 0; machine < 4; ++machine) {
        if (const char* problem = clipProblem(entry.clips[machine], machine)) {
            return clipNameError(number, machine, problem, error);
        }
    }
    // Only names can make a line that long; the longest of them is the one at fault.
    if (registerLineLength(number, entry) > RegisterFileLineLimit) {
        auto longest = std::max_element(
            entry.clips.begin(), entry.clips.end(),
            [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
        return clipNameError(number, static_cast<size_t>(longest - entry.clips.begin()),
                             " is too long.", error);
    }
    return true;
}

namespace {

bool checkCollectionWritable(const RegisterCollection& registers, size_t* textLength,
                             TavrelError* error) {
    size_t length = 0;
    for (const auto& [number, entry] : registers) {
        if (!checkRegisterWritable(number, entry, error)) {
            return false;
        }
        length += lineLength(number, entry);
    }
    *textLength = length;
    return true;
}

// Formats the lines in pieces of about `pieceSize` bytes and hands each piece to `put`, so a
// large file is written without holding its whole text.
template <typename Put>
bool formatPieces(const RegisterCollection& registers, size_t pieceSize, Put&& put) {
    std::string piece;
    size_t used = 0;
    for (const auto& [number, entry] : registers) {
        size_t length = lineLength(number, entry);
        if (used + length > piece.size()) {
            if (used > 0 && !put(std::string_view(piece.data(), used))) {
                return false;
            }
            used = 0;
            piece.resize(std::max(pieceSize, length));
        }
        RegisterLineWriter writer(piece.data() + used);
        writer.putLine(number, entry);
        used += length;
    }
    return used == 0 || put(std::string_view(piece.data(), used));
}

} // namespace

bool formatRegisterFile(const RegisterCollection& registers, std::string* text,
                        TavrelError* error) {
    size_t length = 0;
    if (!checkCollectionWritable(registers, &length, error)) {
        return false;
    }
    std::string result(length, '\0');
    RegisterLineWriter writer(result.data());
    for (const auto& [number, entry] : registers) {
        writer.putLine(number, entry);
    }
    assert(writer.position() == result.data() + result.size());
    text->swap(result);
    return true;
}

bool writeRegisterFile(const std::string& path, const RegisterCollection& registers,
                       TavrelError* error, bool* wroteInPlace) {
    size_t length = 0;
    if (!checkCollectionWritable(registers, &length, error)) {
        return false;
    }
    AtomicFileWriter file(path);
    bool written = file.open(error) &&
                   formatPieces(registers, 256 * 1024,
                                [&](std::string_view piece) { return file.write(piece, error); }) &&
                   file.commit(error);
    if (written && wroteInPlace) {
        *wroteInPlace = file.writesInPlace();
    }
    return written;
}

} // namespace tavrel::files
