// The text form of a register time. The parser accepts exactly the language of the two
// anchored patterns ^\*\*:\*\*:\*\*\([:;]\)\*\*$ and
// ^\([0-9][0-9]\):\([0-9][0-9]\):\([0-9][0-9]\)\([:;]\)\([0-9][0-9]\)$ with a matcher of its own:
// a register file runs it eight times per line, too often to compile the patterns each time.
#include "RegisterTimeText.h"
#include "TextTemplate.h"

#include <cstdio>

namespace tavrel::records {

namespace {

// Offsets of the eight digit (or asterisk) places in "HH:MM:SS:FF".
constexpr int DigitPlaces[8] = {0, 1, 3, 4, 6, 7, 9, 10};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A template, so that `accept` is inlined: a register file checks eight places of eight times a
// line.
template <typename Accept> bool allPlacesAre(std::string_view text, Accept accept) {
    for (int place : DigitPlaces) {
        if (!accept(text[place])) {
            return false;
        }
    }
    return true;
}

uint8_t twoDigits(std::string_view text, int at) {
    return static_cast<uint8_t>((text[at] - '0') * 10 + (text[at + 1] - '0'));
}

} // namespace

std::string stringForRegisterTime(VRG500_registerTime time) {
    const char* separator = time.dropFrame ? ";" : ":";
    char text[32];
    if (time.isNull) {
        std::snprintf(text, sizeof text, "**:**:**%s**", separator);
    } else {
        std::snprintf(text, sizeof text, "%02u:%02u:%02u%s%02u", unsigned{time.hours},
                      unsigned{time.minutes}, unsigned{time.seconds}, separator,
                      unsigned{time.frames});
    }
    return text;
}

void putRegisterTimeText(const VRG500_registerTime& time, char* text) {
    const uint8_t numbers[4] = {time.hours, time.minutes, time.seconds, time.frames};
    for (size_t i = 0; i < 4; ++i) {
        text[i * 3] = time.isNull ? '*' : static_cast<char>('0' + numbers[i] / 10);
        text[i * 3 + 1] = time.isNull ? '*' : static_cast<char>('0' + numbers[i] % 10);
    }
    text[2] = ':';
    text[5] = ':';
    text[8] = time.dropFrame ? ';' : ':';
}

bool parseRegisterTimeText(VRG500_registerTime* time, std::string_view text, TavrelError* error) {
    bool shaped =
        text.size() == 11 && text[2] == ':' && text[5] == ':' && (text[8] == ':' || text[8] == ';');
    bool isNull = shaped && allPlacesAre(text, [](char c) { return c == '*'; });
    bool isTime = shaped && !isNull && allPlacesAre(text, [](char c) { return isDigit(c); });
    if (!isNull && !isTime) {
        tavrelDomainError(error, TAVREL_TEXT("Invalid timecode representation"), std::nullopt,
                          TAVREL_TEXT("The .vg2 file is probably corrupt."));
        return false;
    }
    VRG500_registerTime parsed;
    parsed.dropFrame = text[8] == ';' ? 1 : 0;
    parsed.isNull = isNull ? 1 : 0;
    if (isTime) {
        parsed.hours = twoDigits(text, 0);
        parsed.minutes = twoDigits(text, 3);
        parsed.seconds = twoDigits(text, 6);
        parsed.frames = twoDigits(text, 9);
    }
    *time = parsed;
    return true;
}

} // namespace tavrel::records
