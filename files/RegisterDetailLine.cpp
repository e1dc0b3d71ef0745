#include "RegisterDetailLine.h"

#include "RegisterLabel.h"
#include "RegisterTimeText.h"
#include "RegisterWire.h"

#include <algorithm>
#include <climits>
#include <iterator>

namespace tavrel::files {

using records::holdsNoClipNames;
using records::NoClipName;
using records::RegisterEntry;
using records::RegisterTimeBytes;
using records::registerTimeFitsText;
using records::stringForRegisterTime;
using records::VRG500_registerTime;
using records::VRG500_registerTimes;

namespace {

constexpr std::string_view DetailPrefix = "#=";
constexpr std::string_view NamesWord = "names";
constexpr std::string_view NoneWord = "none";
constexpr char HexDigits[] = "0123456789ABCDEF";

bool hidesNumbers(const VRG500_registerTime& time) {
    return time.isNull && (time.hours | time.minutes | time.seconds | time.frames) != 0;
}

// The time unset, in its own notation.
VRG500_registerTime unsetLike(const VRG500_registerTime& time) {
    VRG500_registerTime shown;
    shown.isNull = 1;
    shown.dropFrame = time.dropFrame ? 1 : 0;
    return shown;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool parseTimeBytes(std::string_view text, RegisterTimeBytes* bytes) {
    if (text.size() != 8) {
        return false;
    }
    for (size_t i = 0; i < 4; ++i) {
        const int high = hexValue(text[2 * i]);
        const int low = hexValue(text[2 * i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        (*bytes)[i] = static_cast<uint8_t>(high << 4 | low);
    }
    return true;
}

// The next comma-separated field of `rest`, taken off its front.
std::string_view nextField(std::string_view* rest) {
    const size_t comma = rest->find(',');
    std::string_view field = rest->substr(0, comma);
    rest->remove_prefix(comma == std::string_view::npos ? rest->size() : comma + 1);
    return field;
}

// As registerLabel writes it: decimal, a "-" before a negative number.
bool parseNumber(std::string_view text, int32_t* number) {
    const bool negative = !text.empty() && text[0] == '-';
    text.remove_prefix(negative ? 1 : 0);
    if (text.empty() || text.size() > 10) {
        return false;
    }
    int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    value = negative ? -value : value;
    if (value < INT32_MIN || value > INT32_MAX) {
        return false;
    }
    *number = static_cast<int32_t>(value);
    return true;
}

// Whether two times read the same as text (compared without formatting them apart: a file is up
// to half a million times).
bool sameText(const VRG500_registerTime& a, const VRG500_registerTime& b) {
    if (!registerTimeFitsText(a) || !registerTimeFitsText(b)) {
        return stringForRegisterTime(a) == stringForRegisterTime(b);
    }
    // Texts of two-digit numbers are the same when their numbers are: all but the separator is
    // asterisks for an unset time, the numbers otherwise.
    const bool unset = a.isNull != 0;
    return unset == (b.isNull != 0) && (a.dropFrame != 0) == (b.dropFrame != 0) &&
           (unset || (a.hours == b.hours && a.minutes == b.minutes && a.seconds == b.seconds &&
                      a.frames == b.frames));
}

// The detail's times in place of those of the line, which must show them as they read.
bool applyTimes(const RegisterDetail& detail, const records::VRG500_register& line,
                RegisterEntry* exact) {
    records::RegisterWire wire{};
    for (size_t i = 0; i < detail.times.size(); ++i) {
        std::copy(detail.times[i].begin(), detail.times[i].end(),
                  wire.begin() + static_cast<std::ptrdiff_t>(4 * i));
    }
    wire[32] = line.trailingByte1;
    wire[33] = line.trailingByte2;
    records::decodeRegisterWire(wire, exact);
    for (auto time : VRG500_registerTimes) {
        const VRG500_registerTime& read = exact->reg.*time;
        const VRG500_registerTime shown = registerTimeFitsText(read) ? read : unsetLike(read);
        if (!sameText(shown, line.*time)) {
            return false;
        }
    }
    return true;
}

} // namespace

bool detailCarriesTimes(const RegisterEntry& entry) {
    for (size_t i = 0; i < std::size(VRG500_registerTimes); ++i) {
        const VRG500_registerTime& time = entry.reg.*VRG500_registerTimes[i];
        if (hidesNumbers(time) || !registerTimeFitsText(time) ||
            records::deviceTimeBytes(entry, i) != nullptr) {
            return true;
        }
    }
    return false;
}

bool needsDetailLine(const RegisterEntry& entry) {
    return detailCarriesTimes(entry) || holdsNoClipNames(entry);
}

std::string registerDetailLineText(int32_t number, const RegisterEntry& entry) {
    std::string line(DetailPrefix);
    line += records::registerLabel(number);
    const bool times = detailCarriesTimes(entry);
    for (size_t i = 0; times && i < std::size(VRG500_registerTimes); ++i) {
        line += ',';
        for (const uint8_t byte : records::timeBytesToSend(entry, i)) {
            line += HexDigits[byte >> 4];
            line += HexDigits[byte & 0x0F];
        }
    }
    line += ',';
    line += holdsNoClipNames(entry) ? NoneWord : NamesWord;
    return line;
}

RegisterEntry entryAsLineShows(const RegisterEntry& entry) {
    RegisterEntry shown = entry;
    for (auto time : VRG500_registerTimes) {
        if (!registerTimeFitsText(entry.reg.*time)) {
            shown.reg.*time = unsetLike(entry.reg.*time);
        }
    }
    return shown;
}

bool parseRegisterDetailLine(std::string_view line, RegisterDetail* detail) {
    if (line.substr(0, DetailPrefix.size()) != DetailPrefix) {
        return false;
    }
    std::string_view rest = line.substr(DetailPrefix.size());
    RegisterDetail parsed;
    if (!parseNumber(nextField(&rest), &parsed.number)) {
        return false;
    }
    // The times are there unless the register's line gives them as they are.
    parsed.hasTimes = rest.find(',') != std::string_view::npos;
    for (size_t i = 0; parsed.hasTimes && i < parsed.times.size(); ++i) {
        if (!parseTimeBytes(nextField(&rest), &parsed.times[i])) {
            return false;
        }
    }
    if (rest == NoneWord) {
        parsed.noClipNames = true;
    } else if (rest != NamesWord) {
        return false;
    }
    *detail = parsed;
    return true;
}

bool applyRegisterDetail(const RegisterDetail& detail, int32_t number, RegisterEntry* entry) {
    if (detail.number != number) {
        return false;
    }
    if (detail.noClipNames) {
        for (const std::string& clip : entry->clips) {
            if (clip != NoClipName) {
                return false;
            }
        }
    }
    // The times go in place, and back when they do not agree: no copy of the clip names.
    if (detail.hasTimes) {
        const records::VRG500_register line = entry->reg;
        const auto deviceBytes = entry->deviceBytes;
        if (!applyTimes(detail, line, entry)) {
            entry->reg = line;
            entry->deviceBytes = deviceBytes;
            return false;
        }
    }
    entry->noClipNames = entry->noClipNames || detail.noClipNames;
    return true;
}

} // namespace tavrel::files
