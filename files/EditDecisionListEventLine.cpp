#include "EditDecisionListEventLine.h"

#include "EditDecisionListReel.h"
#include "EditDecisionListWords.h"
#include "RegisterTimeWire.h"
#include "TextTemplate.h"

#include <array>

namespace tavrel::files {

using records::filledText;
using records::VRG500_registerTime;

namespace {

// Words of an event line: number, reel, channels, transition, its duration, four times.
constexpr size_t MostWords = 9;
constexpr size_t LongestEventNumber = 6;
constexpr size_t LongestChannels = 8;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool allDigits(std::string_view word) {
    for (char c : word) {
        if (!isDigit(c)) {
            return false;
        }
    }
    return !word.empty();
}

// Splits at blanks; false when there are more than MostWords words.
bool splitWords(std::string_view line, std::array<std::string_view, MostWords>* words,
                size_t* count) {
    *count = 0;
    size_t at = 0;
    for (std::string_view word = nextEdlWord(line, &at); !word.empty();
         word = nextEdlWord(line, &at)) {
        if (*count == MostWords) {
            return false;
        }
        (*words)[(*count)++] = word;
    }
    return true;
}

bool isChannels(std::string_view word) {
    if (word.empty() || word.size() > LongestChannels) {
        return false;
    }
    for (char c : word) {
        if (!(c >= 'A' && c <= 'Z') && !isDigit(c) && c != '/') {
            return false;
        }
    }
    return true;
}

// A transition that is followed by its duration: D, Wnnn, K, KB, KO.
bool isTimedTransition(std::string_view word) {
    return word == "D" || word == "K" || word == "KB" || word == "KO" ||
           (word.size() == 4 && word[0] == 'W' && allDigits(word.substr(1)));
}

// "HH:MM:SS:FF", ";" as any separator marking drop frame.
bool parseTime(std::string_view word, VRG500_registerTime* time) {
    if (word.size() != 11) {
        return false;
    }
    VRG500_registerTime parsed;
    uint8_t* fields[4] = {&parsed.hours, &parsed.minutes, &parsed.seconds, &parsed.frames};
    for (size_t i = 0; i < 4; ++i) {
        const char tens = word[3 * i];
        const char units = word[3 * i + 1];
        if (!isDigit(tens) || !isDigit(units)) {
            return false;
        }
        *fields[i] = static_cast<uint8_t>((tens - '0') * 10 + (units - '0'));
        if (i < 3) {
            const char separator = word[3 * i + 2];
            if (separator != ':' && separator != ';') {
                return false;
            }
            parsed.dropFrame = parsed.dropFrame || separator == ';' ? 1 : 0;
        }
    }
    *time = parsed;
    return true;
}

bool fail(std::string* fault, std::string text) {
    *fault = std::move(text);
    return false;
}

std::string lineText(uint64_t line) {
    return std::to_string(line);
}

bool reelCanBeClip(std::string_view reel) {
    for (char c : reel) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == ',') {
            return false;
        }
    }
    return true;
}

} // namespace

bool looksLikeEdlEvent(std::string_view line) {
    return !line.empty() && isDigit(line[0]);
}

std::string quotedEdlText(std::string_view text) {
    constexpr size_t Longest = 32;
    if (text.size() > Longest) {
        return "\"" + std::string(text.substr(0, Longest - 3)) + "...\"";
    }
    return "\"" + std::string(text) + "\"";
}

bool parseEdlEventLine(std::string_view line, uint64_t lineNumber, EdlEventLine* event,
                       std::string* fault) {
    std::array<std::string_view, MostWords> words;
    size_t count = 0;
    const bool split = splitWords(line, &words, &count);
    // With a duration after the transition, the times start one word later.
    const size_t firstTime = count >= 5 && isTimedTransition(words[3]) ? 5 : 4;
    VRG500_registerTime times[4];
    bool columns = split && count == firstTime + 4 && allDigits(words[0]) &&
                   words[0].size() <= LongestEventNumber && isChannels(words[2]) &&
                   (words[3] == "C" || isTimedTransition(words[3])) &&
                   (firstTime == 4 || allDigits(words[4]));
    for (size_t i = 0; columns && i < 4; ++i) {
        columns = parseTime(words[firstTime + i], &times[i]);
    }
    if (!columns) {
        return fail(fault, filledText(TAVREL_TEXT("Line %1: %2 is not an event: an event line "
                                                  "holds an event number, a reel, the channels, "
                                                  "a transition and four times."),
                                      {lineText(lineNumber), quotedEdlText(line)}));
    }
    if (words[1].size() > EdlReelLength) {
        return fail(fault,
                    filledText(TAVREL_TEXT("Line %1: the reel %2 is longer than eight characters."),
                               {lineText(lineNumber), quotedEdlText(words[1])}));
    }
    if (!reelCanBeClip(words[1])) {
        return fail(fault, filledText(TAVREL_TEXT("Line %1: the reel %2 holds a comma or a control "
                                                  "character, which no clip name can hold."),
                                      {lineText(lineNumber), quotedEdlText(words[1])}));
    }
    for (size_t i = 0; i < 2; ++i) {
        if (!records::vrg500wire::registerTimeFitsWire(times[i])) {
            return fail(fault, filledText(TAVREL_TEXT("Line %1: the source time %2 cannot be held "
                                                      "by a register: %3."),
                                          {lineText(lineNumber), std::string(words[firstTime + i]),
                                           records::WireTimeLimitsClause}));
        }
    }
    // Every field set in place, with no whole line made first and moved.
    event->event = 0;
    for (char c : words[0]) {
        event->event = event->event * 10 + (c - '0');
    }
    event->eventText.assign(words[0]);
    event->reel.assign(words[1]);
    event->video = words[2].find('V') != std::string_view::npos || words[2] == "B";
    event->sourceIn = times[0];
    event->sourceOut = times[1];
    return true;
}

} // namespace tavrel::files
