#include "EditDecisionListExport.h"

#include "EditDecisionListReel.h"
#include "FileError.h"
#include "PiecewiseText.h"
#include "RegisterFieldInput.h"
#include "RegisterLabel.h"
#include "RegisterTimeText.h"
#include "RegisterTimeWire.h"
#include "TextTemplate.h"
#include "TimecodeArithmetic.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <functional>

namespace tavrel::files {

using records::filledText;
using records::framesOfTime;
using records::RegisterEntry;
using records::TavrelError;
using records::VRG500_registerTime;

namespace {

constexpr char MachineLetters[4] = {'A', 'B', 'C', 'D'};
// The longest TITLE a strict reader takes.
constexpr size_t TitleLength = 70;
// The text handed to the file at a time.
constexpr size_t PieceSize = 256 * 1024;
// More than an event line takes: an event number of up to 20 digits, the reel, four times.
constexpr size_t EventLineRoom = 128;

struct RateRow {
    EdlFrameRate rate;
    const char* name;
    const char* words;
    int framesPerSecond;
    bool dropFrame;
    records::FrameRate inputRate; // the rate a typed time is checked against, for the reason
};

constexpr RateRow Rates[] = {
    {EdlFrameRate::Fps24, "24", TAVREL_TEXT("24 frames per second"), 24, false,
     records::FrameRate::Fps24},
    {EdlFrameRate::Fps25, "25", TAVREL_TEXT("25 frames per second"), 25, false,
     records::FrameRate::Fps25},
    {EdlFrameRate::Fps30, "30", TAVREL_TEXT("30 frames per second"), 30, false,
     records::FrameRate::Fps30},
    {EdlFrameRate::Fps30DropFrame, "30df", TAVREL_TEXT("30 frames per second, drop frame"), 30,
     true, records::FrameRate::Fps30},
};

const RateRow& rowOf(EdlFrameRate rate) {
    for (const RateRow& row : Rates) {
        if (row.rate == rate) {
            return row;
        }
    }
    return Rates[0];
}

const VRG500_registerTime& inOf(const RegisterEntry& entry, size_t machine) {
    return entry.reg.*records::VRG500_registerTimes[2 * machine];
}

const VRG500_registerTime& outOf(const RegisterEntry& entry, size_t machine) {
    return entry.reg.*records::VRG500_registerTimes[2 * machine + 1];
}

// A machine makes an event when both its times are set.
bool makesEvent(const RegisterEntry& entry, size_t machine) {
    return inOf(entry, machine).isNull == 0 && outOf(entry, machine).isNull == 0;
}

// Why `time` cannot be counted at the rate, as a typed time would be told.
std::string uncountableReason(const VRG500_registerTime& time, const RateRow& rate) {
    if (!records::registerTimeFitsText(time)) {
        return records::WireTimeLimitsSentence;
    }
    VRG500_registerTime ignored;
    std::string reason;
    records::parseTimeInput(records::stringForRegisterTime(time), rate.inputRate, &ignored,
                            &reason);
    return reason;
}

std::string uncountableText(int32_t number, char machine, const char* name,
                            const VRG500_registerTime& time, const RateRow& rate) {
    return filledText(TAVREL_TEXT("Register %1, machine %2: %3 %4 is not a time at %5. %6"),
                      {records::registerLabel(number), std::string(1, machine), name,
                       records::stringForRegisterTime(time), rate.words,
                       uncountableReason(time, rate)});
}

// The frames of a machine's IN and OUT, or why its event is refused.
struct EventFrames {
    int64_t in = 0;
    int64_t out = 0;
    std::string refusal;
};

EventFrames countEvent(int32_t number, const RegisterEntry& entry, size_t machine,
                       const RateRow& rate) {
    EventFrames frames;
    const char letter = MachineLetters[machine];
    auto in = framesOfTime(inOf(entry, machine), rate.framesPerSecond);
    auto out = framesOfTime(outOf(entry, machine), rate.framesPerSecond);
    if (!in) {
        frames.refusal = uncountableText(number, letter, "IN", inOf(entry, machine), rate);
    } else if (!out) {
        frames.refusal = uncountableText(number, letter, "OUT", outOf(entry, machine), rate);
    } else if (*out <= *in) {
        frames.refusal = filledText(TAVREL_TEXT("Register %1, machine %2: OUT is not after IN"),
                                    {records::registerLabel(number), std::string(1, letter)});
    } else {
        frames.in = *in;
        frames.out = *out;
    }
    return frames;
}

bool deviceNumber(int32_t number) {
    return number >= 0 && number <= records::HighestRegisterNumber;
}

std::string numberRefusal(int32_t number) {
    return filledText(TAVREL_TEXT("Register %1: a VRG-500 has no register of that number"),
                      {records::registerLabel(number)});
}

// Visits each register of the range with its events' frames or refusals, as the export meets
// them, until `visit` returns false.
template <typename Visit>
void forEachInRange(const RegisterCollection& registers, const EdlExportSettings& settings,
                    Visit&& visit) {
    const RateRow& rate = rowOf(settings.frameRate);
    for (const auto& [number, entry] : registers) {
        if (!settings.range.contains(number)) {
            continue;
        }
        std::array<EventFrames, 4> events;
        bool numberRefused = !deviceNumber(number);
        for (size_t machine = 0; machine < 4 && !numberRefused; ++machine) {
            if (makesEvent(entry, machine)) {
                events[machine] = countEvent(number, entry, machine, rate);
            }
        }
        if (!visit(number, entry, numberRefused, events)) {
            return;
        }
    }
}

// Puts `value` in decimal at `at`, with zeros before it up to `digits` digits; returns the end.
char* putNumber(char* at, int64_t value, int digits) {
    char reversed[24];
    int count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (count < digits) {
        reversed[count++] = '0';
    }
    while (count > 0) {
        *at++ = reversed[--count];
    }
    return at;
}

// "00" to "99", two bytes a number: a time's fields are put without dividing.
constexpr std::array<char, 200> TwoDigits = [] {
    std::array<char, 200> digits{};
    for (size_t n = 0; n < 100; ++n) {
        digits[2 * n] = static_cast<char>('0' + n / 10);
        digits[2 * n + 1] = static_cast<char>('0' + n % 10);
    }
    return digits;
}();

// Puts the text of `time` at `at`, as putRegisterTimeText does; returns the end.
char* putTime(char* at, const VRG500_registerTime& time) {
    const uint8_t fields[4] = {time.hours, time.minutes, time.seconds, time.frames};
    if (time.isNull != 0 || fields[0] >= 100 || fields[1] >= 100 || fields[2] >= 100 ||
        fields[3] >= 100) {
        records::putRegisterTimeText(time, at);
        return at + records::RegisterTimeTextLength;
    }
    for (size_t i = 0; i < 4; ++i) {
        at[3 * i] = TwoDigits[2 * fields[i]];
        at[3 * i + 1] = TwoDigits[2 * fields[i] + 1];
    }
    at[2] = ':';
    at[5] = ':';
    at[8] = time.dropFrame != 0 ? ';' : ':';
    return at + records::RegisterTimeTextLength;
}

char* putText(char* at, std::string_view text) {
    std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

std::string titleLine(const std::string& title) {
    std::string line = "TITLE: ";
    for (size_t i = 0; i < title.size(); ++i) {
        const auto byte = static_cast<unsigned char>(title[i]);
        // Cut at a character's first byte, never inside a UTF-8 sequence.
        if (i >= TitleLength && (byte & 0xC0) != 0x80) {
            break;
        }
        line += byte < 0x20 || byte == 0x7F ? '?' : title[i];
    }
    return line + "\r\n";
}

const char* fcmLine(bool dropFrame) {
    return dropFrame ? "FCM: DROP FRAME\r\n" : "FCM: NON-DROP FRAME\r\n";
}

// A name of printable ASCII, not only blanks: one other systems can show as it is.
bool namedInAscii(const std::string& text) {
    for (char c : text) {
        if (c < ' ' || c > '~') {
            return false;
        }
    }
    return text.find_first_not_of(' ') != std::string::npos;
}

// Builds the list's text and hands it on a piece at a time.
class EdlWriter {
  public:
    template <typename Put>
    EdlWriter(const EdlExportSettings& settings, Put&& put)
        : _rate(rowOf(settings.frameRate)), _put(std::forward<Put>(put)) {
        _text.reserve(2 * PieceSize);
    }

    void start(const EdlExportSettings& settings, int64_t recordStart, bool firstDropFrame) {
        _record = recordStart;
        putRecordTime(_record, _recordText);
        _dropFrame = firstDropFrame;
        _text += titleLine(settings.title);
        _text += fcmLine(_dropFrame);
    }

    bool event(std::string_view label, const RegisterEntry& entry, size_t machine,
               const EventFrames& frames) {
        const VRG500_registerTime& in = inOf(entry, machine);
        if ((in.dropFrame != 0) != _dropFrame) {
            _dropFrame = in.dropFrame != 0;
            _text += fcmLine(_dropFrame);
        }
        const std::string& clip = entry.clips[machine];
        const std::string reel = reelOfClip(clip);
        const int64_t recordOut = _record + (frames.out - frames.in);
        // The event line is put together in place, then added to the text at once.
        char line[EventLineRoom];
        char* at = putNumber(line, ++_event, 3);
        at = putText(at, "  ");
        at = putText(at, reel);
        at = std::fill_n(at, EdlReelLength - reel.size(), ' ');
        at = putText(at, " V     C        ");
        at = putTime(at, in);
        *at++ = ' ';
        at = putTime(at, outOf(entry, machine));
        *at++ = ' ';
        at = putText(at, std::string_view(_recordText, records::RegisterTimeTextLength));
        *at++ = ' ';
        putRecordTime(recordOut, _recordText);
        at = putText(at, std::string_view(_recordText, records::RegisterTimeTextLength));
        at = putText(at, "\r\n");
        _text.append(line, static_cast<size_t>(at - line));
        if (reel == EdlNoReel && clip != records::NoClipName && namedInAscii(clip)) {
            _text += "* FROM CLIP NAME: ";
            _text.append(clip, 0, clip.find_last_not_of(' ') + 1);
            _text += "\r\n";
        }
        appendTavrelEdlComment(&_text, label, MachineLetters[machine], clip, reel);
        _text += "\r\n";
        _record = recordOut;
        return flushIfFull();
    }

    bool registerWithoutEvents(std::string_view label) {
        appendTavrelEdlComment(&_text, label, 0, {}, {});
        _text += "\r\n";
        return flushIfFull();
    }

    bool finish() { return _text.empty() || _put(_text); }

  private:
    void putRecordTime(int64_t frames, char* text) const {
        putTime(text, records::timeOfFrames(frames, _rate.framesPerSecond, _rate.dropFrame));
    }

    bool flushIfFull() {
        if (_text.size() < PieceSize) {
            return true;
        }
        bool put = _put(_text);
        _text.clear();
        return put;
    }

    const RateRow& _rate;
    std::function<bool(const std::string&)> _put;
    std::string _text;
    int64_t _record = 0;
    char _recordText[records::RegisterTimeTextLength] = {}; // the text of _record
    int64_t _event = 0;
    bool _dropFrame = false;
};

// Whether the first event to be written is drop frame; without events, the rate's.
bool firstDropFrame(const RegisterCollection& registers, const EdlExportSettings& settings) {
    bool dropFrame = rowOf(settings.frameRate).dropFrame;
    forEachInRange(registers, settings,
                   [&](int32_t, const RegisterEntry& entry, bool numberRefused,
                       const std::array<EventFrames, 4>& events) {
                       for (size_t machine = 0; machine < 4 && !numberRefused; ++machine) {
                           if (makesEvent(entry, machine) && events[machine].refusal.empty()) {
                               dropFrame = inOf(entry, machine).dropFrame != 0;
                               return false;
                           }
                       }
                       return true;
                   });
    return dropFrame;
}

int64_t recordStartFrames(const EdlExportSettings& settings) {
    const RateRow& rate = rowOf(settings.frameRate);
    VRG500_registerTime start = settings.recordStart;
    start.dropFrame = rate.dropFrame ? 1 : 0;
    return framesOfTime(start, rate.framesPerSecond).value_or(0);
}

// Fails when an event of the range cannot be exported, each refusal a line of the error's
// failure reason.
bool checkNothingRefused(const RegisterCollection& registers, const EdlExportSettings& settings,
                         TavrelError* error) {
    const std::vector<EdlRefusal> refusals = editDecisionListRefusals(registers, settings);
    if (refusals.empty()) {
        return true;
    }
    std::string reasons;
    for (const EdlRefusal& refusal : refusals) {
        reasons += (reasons.empty() ? "" : "\n") + refusal.text;
    }
    tavrelFileFormatError(error, TAVREL_TEXT("The edit decision list cannot be exported"));
    if (error) {
        error->failureReason = std::move(reasons);
    }
    return false;
}

template <typename Put>
bool writeList(const RegisterCollection& registers, const EdlExportSettings& settings,
               RefusedEvents refused, TavrelError* error, Put&& put) {
    if (!checkEdlRecordStart(settings, error) ||
        (refused == RefusedEvents::RefuseExport &&
         !checkNothingRefused(registers, settings, error))) {
        return false;
    }
    EdlWriter writer(settings, std::forward<Put>(put));
    writer.start(settings, recordStartFrames(settings), firstDropFrame(registers, settings));
    bool written = true;
    forEachInRange(registers, settings,
                   [&](int32_t number, const RegisterEntry& entry, bool numberRefused,
                       const std::array<EventFrames, 4>& events) {
                       if (numberRefused) {
                           return true;
                       }
                       // As registerLabel writes it, for the numbers a device has.
                       char labelText[8];
                       const std::string_view label(
                           labelText,
                           static_cast<size_t>(putNumber(labelText, number, 3) - labelText));
                       bool any = false;
                       for (size_t machine = 0; machine < 4 && written; ++machine) {
                           if (makesEvent(entry, machine) && events[machine].refusal.empty()) {
                               any = true;
                               written = writer.event(label, entry, machine, events[machine]);
                           }
                       }
                       written = written && (any || writer.registerWithoutEvents(label));
                       return written;
                   });
    return written && writer.finish();
}

} // namespace

const char* edlFrameRateName(EdlFrameRate rate) {
    return rowOf(rate).name;
}

std::optional<EdlFrameRate> edlFrameRateFromName(std::string_view name) {
    for (const RateRow& row : Rates) {
        if (name == row.name) {
            return row.rate;
        }
    }
    return std::nullopt;
}

const char* edlFrameRateWords(EdlFrameRate rate) {
    return rowOf(rate).words;
}

int edlFramesPerSecond(EdlFrameRate rate) {
    return rowOf(rate).framesPerSecond;
}

records::FrameRate edlTimeRate(EdlFrameRate rate) {
    return rowOf(rate).inputRate;
}

bool edlDropFrame(EdlFrameRate rate) {
    return rowOf(rate).dropFrame;
}

size_t editDecisionListEventCount(const RegisterCollection& registers,
                                  const EdlExportSettings& settings) {
    size_t events = 0;
    for (const auto& [number, entry] : registers) {
        if (settings.range.contains(number)) {
            for (size_t machine = 0; machine < 4; ++machine) {
                events += makesEvent(entry, machine) ? 1 : 0;
            }
        }
    }
    return events;
}

std::string editDecisionListTitle(std::string_view fileName) {
    return fileName.empty() ? std::string("Untitled") : std::string(fileName);
}

std::vector<EdlRefusal> editDecisionListRefusals(const RegisterCollection& registers,
                                                 const EdlExportSettings& settings) {
    std::vector<EdlRefusal> refusals;
    forEachInRange(
        registers, settings,
        [&](int32_t number, const RegisterEntry&, bool numberRefused,
            const std::array<EventFrames, 4>& events) {
            if (numberRefused) {
                refusals.push_back({number, 0, numberRefusal(number)});
            }
            for (size_t machine = 0; machine < 4; ++machine) {
                if (!events[machine].refusal.empty()) {
                    refusals.push_back({number, MachineLetters[machine], events[machine].refusal});
                }
            }
            return true;
        });
    return refusals;
}

bool checkEdlRecordStart(const EdlExportSettings& settings, TavrelError* error) {
    const RateRow& rate = rowOf(settings.frameRate);
    VRG500_registerTime start = settings.recordStart;
    start.dropFrame = rate.dropFrame ? 1 : 0;
    if (start.isNull == 0 && framesOfTime(start, rate.framesPerSecond)) {
        return true;
    }
    tavrelFileFormatError(error, filledText(TAVREL_TEXT("The record start %1 is not a time at %2."),
                                            {records::stringForRegisterTime(start), rate.words}));
    if (error && start.isNull == 0) {
        error->failureReason = uncountableReason(start, rate);
    }
    return false;
}

bool formatEditDecisionList(const RegisterCollection& registers, const EdlExportSettings& settings,
                            std::string* text, RefusedEvents refused, TavrelError* error) {
    return collectPieces(
        text, [&](auto&& sink) { return writeList(registers, settings, refused, error, sink); });
}

bool writeEditDecisionList(const std::string& path, const RegisterCollection& registers,
                           const EdlExportSettings& settings, RefusedEvents refused,
                           TavrelError* error, bool* wroteInPlace) {
    // Refusals are known before the file is touched.
    return checkEdlRecordStart(settings, error) &&
           (refused == RefusedEvents::LeaveOut ||
            checkNothingRefused(registers, settings, error)) &&
           writePieces(path, error, wroteInPlace, [&](auto&& sink) {
               return writeList(registers, settings, RefusedEvents::LeaveOut, error, sink);
           });
}

} // namespace tavrel::files
