#include "RegisterFile.h"

#include "FileError.h"
#include "PiecewiseText.h"
#include "RegisterDetailLine.h"
#include "RegisterLabel.h"
#include "RegisterLine.h"
#include "RegisterTimeText.h"
#include "RegisterTimeWire.h"
#include "RegisterWire.h"
#include "TextTemplate.h"

#include <algorithm>
#include <cassert>

namespace tavrel::files {

using records::filledText;

using records::RegisterEntry;
using records::registerLabel;
using records::TavrelError;
using records::VRG500_registerTime;
using records::VRG500_registerTimeNames;
using records::VRG500_registerTimes;

namespace {

constexpr char MachineLetters[4] = {'A', 'B', 'C', 'D'};

// A line and its CR LF.
size_t lineLength(int32_t number, const RegisterEntry& entry) {
    return registerLineLength(number, entry) + 2;
}

char* putLineWithEnd(char* at, int32_t number, const RegisterEntry& entry) {
    at = putRegisterLine(at, number, entry);
    at[0] = '\r';
    at[1] = '\n';
    return at + 2;
}

std::string unwritableTimeText(int32_t number) {
    return filledText(TAVREL_TEXT("Register %1 holds a time that cannot be written"),
                      {registerLabel(number)});
}

// Why the reader would not give a name back whole, or null: empty, a comma in names A to C (it
// would shift the fields), a line end in any name (it would end the line early, and the next
// line would be read as the rest of this one).
const char* clipProblem(const std::string& name, size_t machine) {
    if (name.empty()) {
        return TAVREL_TEXT("Clip name %1 is empty.");
    }
    // One pass over the name for both (every name of a file is checked before it is written).
    bool comma = false;
    bool lineBreak = false;
    for (const char c : name) {
        comma = comma || c == ',';
        lineBreak = lineBreak || c == '\r' || c == '\n';
    }
    if (machine < 3 && comma) {
        return TAVREL_TEXT("Clip name %1 contains a comma.");
    }
    if (lineBreak) {
        return TAVREL_TEXT("Clip name %1 contains a line break.");
    }
    return nullptr;
}

bool clipNameError(int32_t number, size_t machine, const char* problem, TavrelError* error) {
    tavrelFileFormatError(
        error,
        filledText(TAVREL_TEXT("Register %1 holds a clip name that cannot be written"),
                   {registerLabel(number)}),
        filledText(problem, {std::string(1, MachineLetters[machine])}));
    return false;
}

} // namespace

bool checkRegisterWritable(int32_t number, const RegisterEntry& entry, TavrelError* error) {
    for (size_t i = 0; i < 8; ++i) {
        if (!records::registerTimeFitsText(entry.reg.*VRG500_registerTimes[i])) {
            tavrelFileFormatError(
                error, unwritableTimeText(number),
                filledText(TAVREL_TEXT("Its %1 time has a number above 99, which a register file "
                                       "cannot hold."),
                           {VRG500_registerTimeNames[i]}));
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
                             TAVREL_TEXT("Clip name %1 is too long."), error);
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
        putLineWithEnd(piece.data() + used, number, entry);
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
    char* at = result.data();
    for (const auto& [number, entry] : registers) {
        at = putLineWithEnd(at, number, entry);
    }
    assert(at == result.data() + result.size());
    text->swap(result);
    return true;
}

bool writeRegisterFile(const std::string& path, const RegisterCollection& registers,
                       TavrelError* error, bool* wroteInPlace) {
    size_t length = 0;
    if (!checkCollectionWritable(registers, &length, error)) {
        return false;
    }
    return writePieces(path, error, wroteInPlace,
                       [&](auto&& sink) { return formatPieces(registers, 256 * 1024, sink); });
}

} // namespace tavrel::files

namespace tavrel::files {

namespace {

// Whether the detail line gives the time back as the entry holds it: always for bytes the device
// sent, not for a number no byte reads as (above 165, say), which no device sends.
bool timeHasBytes(const RegisterEntry& entry, size_t index) {
    const records::RegisterTimeBytes bytes = records::timeBytesToSend(entry, index);
    VRG500_registerTime read;
    records::vrg500wire::parseRegisterTime(bytes.data(), &read);
    return records::vrg500wire::sameWireTime(read, entry.reg.*VRG500_registerTimes[index]);
}

} // namespace

bool checkRegisterTimeBytes(int32_t number, const RegisterEntry& entry, TavrelError* error) {
    // Times the line itself gives (00:00:00:56 as typed in a file, say) need no bytes.
    const bool carried = detailCarriesTimes(entry);
    for (size_t i = 0; carried && i < 8; ++i) {
        if (!timeHasBytes(entry, i)) {
            tavrelFileFormatError(
                error, unwritableTimeText(number),
                filledText(TAVREL_TEXT("Its %1 time has a number that no VRG-500 time holds."),
                           {VRG500_registerTimeNames[i]}));
            return false;
        }
    }
    return true;
}

namespace {

bool checkExactWritable(int32_t number, const RegisterEntry& entry, TavrelError* error) {
    return checkRegisterTimeBytes(number, entry, error) &&
           checkRegisterWritable(number, entryAsLineShows(entry), error);
}

} // namespace

bool formatExactRegisterFile(const RegisterCollection& registers, std::string* text,
                             TavrelError* error) {
    std::string result(ExactRegisterFileHeader);
    result += "\r\n";
    for (const auto& [number, entry] : registers) {
        if (!checkExactWritable(number, entry, error)) {
            return false;
        }
        if (needsDetailLine(entry)) {
            result += registerDetailLineText(number, entry) + "\r\n";
        }
        result += registerLineText(number, entryAsLineShows(entry)) + "\r\n";
    }
    text->swap(result);
    return true;
}

bool writeExactRegisterFile(const std::string& path, const RegisterCollection& registers,
                            TavrelError* error, bool* wroteInPlace) {
    std::string text;
    if (!formatExactRegisterFile(registers, &text, error)) {
        return false;
    }
    return writePieces(path, error, wroteInPlace, [&](auto&& sink) { return sink(text); });
}

} // namespace tavrel::files
