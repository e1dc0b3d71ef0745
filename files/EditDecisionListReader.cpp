#include "EditDecisionListReader.h"

#include "EditDecisionListWords.h"
#include "RegisterLabel.h"
#include "TextTemplate.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace tavrel::files {

using records::filledText;
using records::VRG500_registerTime;

namespace {

std::string_view withoutBlanks(std::string_view text) {
    size_t first = 0;
    size_t end = text.size();
    while (first < end && isEdlBlank(text[first])) {
        ++first;
    }
    while (end > first && isEdlBlank(text[end - 1])) {
        --end;
    }
    return text.substr(first, end - first);
}

// Where the first line end (CR or LF) at or after `at` is, or npos. Searched with memchr, as
// lines are long and line ends few.
size_t lineEnd(std::string_view bytes, size_t at) {
    const char* start = bytes.data() + at;
    const size_t length = bytes.size() - at;
    const void* lf = std::memchr(start, '\n', length);
    const size_t beforeLf = lf ? static_cast<size_t>(static_cast<const char*>(lf) - start) : length;
    const void* cr = std::memchr(start, '\r', beforeLf);
    const char* end = cr   ? static_cast<const char*>(cr)
                      : lf ? static_cast<const char*>(lf)
                           : nullptr;
    return end ? static_cast<size_t>(end - bytes.data()) : std::string_view::npos;
}

bool startsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}

// A word and what follows it: "M2   REEL 030.0 ...", or the word alone.
bool startsWithWord(std::string_view text, std::string_view word) {
    return startsWith(text, word) && (text.size() == word.size() || isEdlBlank(text[word.size()]));
}

// Lines an editing system writes that say nothing a register holds: motion effects, split
// edits, audio channels, effect names, source notes.
bool isIgnoredLine(std::string_view line) {
    return startsWith(line, "TITLE:") || startsWithWord(line, "M2") || startsWith(line, "SPLIT:") ||
           startsWithWord(line, "AUD") || startsWith(line, "EFFECTS NAME IS") ||
           startsWith(line, ">>>");
}

std::string number(uint64_t value) {
    return std::to_string(value);
}

} // namespace

EdlReader::EdlReader(int32_t firstRegister) : _next(firstRegister) {}

void EdlReader::reserveFor(size_t bytes) {
    constexpr size_t ShortestEvent = 80;
    constexpr size_t MostReserved = records::HighestRegisterNumber + 1;
    _registers.reserve(std::min(bytes / ShortestEvent + 1, MostReserved));
}

bool EdlReader::refuse(std::string fault) {
    _failed = true;
    _fault = std::move(fault);
    return false;
}

bool EdlReader::take(std::string_view bytes) {
    size_t at = 0;
    while (!_failed && at < bytes.size()) {
        if (_afterCR) {
            _afterCR = false;
            if (bytes[at] == '\n') {
                ++at;
                continue;
            }
        }
        const size_t end = lineEnd(bytes, at);
        const std::string_view piece =
            bytes.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
        if (_partial.size() + piece.size() > EdlLineLimit) {
            return refuse(filledText(TAVREL_TEXT("Line %1 is longer than %2 bytes."),
                                     {number(_line), number(EdlLineLimit)}));
        }
        if (end == std::string_view::npos) {
            _partial.append(piece);
            return true;
        }
        std::string_view line = piece;
        if (!_partial.empty()) {
            _partial.append(piece);
            line = _partial;
        }
        const bool taken = takeLine(line);
        _partial.clear();
        if (!taken) {
            return false;
        }
        ++_line;
        _afterCR = bytes[end] == '\r';
        at = end + 1;
    }
    return !_failed;
}

bool EdlReader::finish(RegisterCollection* registers) {
    if (_failed || (!_partial.empty() && !takeLine(_partial)) || !flushEvent()) {
        return false;
    }
    storeCurrent();
    *registers = std::move(_registers);
    _registers = RegisterCollection{};
    return true;
}

bool EdlReader::takeLine(std::string_view text) {
    const std::string_view line = withoutBlanks(text);
    // Events and comments first: nearly every line is one.
    if (looksLikeEdlEvent(line)) {
        return takeEvent(line);
    }
    if (!line.empty() && line[0] == '*') {
        return takeComment(line);
    }
    if (line.empty() || isIgnoredLine(line)) {
        return true;
    }
    if (startsWith(line, "FCM:")) {
        return takeFcm(withoutBlanks(line.substr(4)));
    }
    return refuse(filledText(TAVREL_TEXT("Line %1: %2 is not a line of an edit decision list."),
                             {number(_line), quotedEdlText(line)}));
}

bool EdlReader::takeFcm(std::string_view value) {
    if (value == "DROP FRAME") {
        _dropFrame = true;
    } else if (value == "NON-DROP FRAME" || value == "NON DROP FRAME") {
        _dropFrame = false;
    } else {
        return refuse(filledText(TAVREL_TEXT("Line %1: FCM is %2, neither DROP FRAME nor "
                                             "NON-DROP FRAME."),
                                 {number(_line), quotedEdlText(value)}));
    }
    return true;
}

bool EdlReader::takeEvent(std::string_view line) {
    EdlSource source;
    if (!parseEdlEventLine(line, _line, &source.line, &_fault)) {
        _failed = true;
        return false;
    }
    if (!source.line.video) {
        return true; // audio only: a register's machines are video sources
    }
    source.lineNumber = _line;
    source.underDropFrame = _dropFrame;
    if (_pending && _pending->sources[0].line.event == source.line.event) {
        if (_pending->count == 2) {
            return refuse(filledText(TAVREL_TEXT("Line %1: event %2 has a third source; a "
                                                 "register takes two, as machines A and B."),
                                     {number(_line), source.line.eventText}));
        }
        _pending->sources[_pending->count++] = std::move(source);
        return true;
    }
    if (!flushEvent()) {
        return false;
    }
    _pending.emplace();
    _pending->sources[0] = std::move(source);
    _pending->count = 1;
    return true;
}

bool EdlReader::takeComment(std::string_view line) {
    if (!looksLikeTavrelEdlComment(line)) {
        return true; // a note for people, or for other systems: "* FROM CLIP NAME:" and the like
    }
    TavrelEdlComment comment;
    if (!parseTavrelEdlComment(line, &comment)) {
        return refuse(filledText(TAVREL_TEXT("Line %1: %2 is not one of Tavrel's comments."),
                                 {number(_line), quotedEdlText(line)}));
    }
    if (_kind == Kind::Foreign) {
        return refuse(filledText(TAVREL_TEXT("Line %1: a Tavrel comment, though the events "
                                             "before it have none."),
                                 {number(_line)}));
    }
    if (comment.machine) {
        if (!_pending || _pending->comment) {
            return refuse(filledText(TAVREL_TEXT("Line %1: the Tavrel comment follows no event."),
                                     {number(_line)}));
        }
        _pending->comment = std::move(comment);
        _pending->commentLine = _line;
        return true;
    }
    if (!flushEvent()) {
        return false;
    }
    _kind = Kind::Tavrel;
    return startRegister(comment.number, _line);
}

bool EdlReader::flushEvent() {
    if (!_pending) {
        return true;
    }
    const bool stored = storePending(*_pending);
    _pending.reset();
    return stored;
}

bool EdlReader::storePending(const EdlPendingEvent& event) {
    if (event.comment) {
        _kind = Kind::Tavrel;
        return storeTavrelEvent(event);
    }
    if (_kind == Kind::Tavrel) {
        return refuse(
            filledText(TAVREL_TEXT("Line %1: event %2 has no Tavrel comment after it, "
                                   "as every other event of this list has."),
                       {number(event.sources[0].lineNumber), event.sources[0].line.eventText}));
    }
    _kind = Kind::Foreign;
    return storeForeignEvent(event);
}

bool EdlReader::storeTavrelEvent(const EdlPendingEvent& event) {
    const EdlSource& source = event.sources[0];
    if (event.count == 2) {
        return refuse(filledText(TAVREL_TEXT("Line %1: event %2 has a second source, which "
                                             "Tavrel does not write."),
                                 {number(event.sources[1].lineNumber), source.line.eventText}));
    }
    const TavrelEdlComment& comment = *event.comment;
    if (!startRegister(comment.number, event.commentLine)) {
        return false;
    }
    const auto machine = static_cast<size_t>(*comment.machine - 'A');
    if (_machines[machine]) {
        return refuse(filledText(TAVREL_TEXT("Line %1: register %2, machine %3 comes a second "
                                             "time."),
                                 {number(event.commentLine),
                                  records::registerLabel(static_cast<int32_t>(*_current)),
                                  std::string(1, *comment.machine)}));
    }
    _machines[machine] = true;
    // Tavrel marks every drop-frame time with ";": the FCM lines are for other systems.
    _entry.reg.*records::VRG500_registerTimes[2 * machine] = source.line.sourceIn;
    _entry.reg.*records::VRG500_registerTimes[2 * machine + 1] = source.line.sourceOut;
    _entry.clips[machine] = comment.clip ? *comment.clip : clipOfReel(source.line.reel);
    return true;
}

bool EdlReader::storeForeignEvent(const EdlPendingEvent& event) {
    const EdlSource& first = event.sources[0];
    if (_next < 0 || _next > records::HighestRegisterNumber) {
        return refuse(
            filledText(TAVREL_TEXT("Line %1: event %2 would be register %3; registers "
                                   "go from 0 to %4."),
                       {number(first.lineNumber), first.line.eventText, std::to_string(_next),
                        std::to_string(records::HighestRegisterNumber)}));
    }
    records::RegisterEntry entry = records::blankRegisterEntry();
    for (size_t machine = 0; machine < event.count; ++machine) {
        const EdlSource& source = event.sources[machine];
        VRG500_registerTime in = source.line.sourceIn;
        VRG500_registerTime out = source.line.sourceOut;
        in.dropFrame = in.dropFrame != 0 || source.underDropFrame ? 1 : 0;
        out.dropFrame = out.dropFrame != 0 || source.underDropFrame ? 1 : 0;
        entry.reg.*records::VRG500_registerTimes[2 * machine] = in;
        entry.reg.*records::VRG500_registerTimes[2 * machine + 1] = out;
        entry.clips[machine] = clipOfReel(source.line.reel);
    }
    _registers.set(static_cast<int32_t>(_next++), std::move(entry));
    return true;
}

bool EdlReader::startRegister(int64_t registerNumber, uint64_t line) {
    if (registerNumber > records::HighestRegisterNumber) {
        return refuse(filledText(TAVREL_TEXT("Line %1: register %2 is beyond the highest "
                                             "register, %3."),
                                 {number(line), std::to_string(registerNumber),
                                  std::to_string(records::HighestRegisterNumber)}));
    }
    if (_current && registerNumber < *_current) {
        return refuse(
            filledText(TAVREL_TEXT("Line %1: register %2 comes after register %3; "
                                   "Tavrel writes registers in ascending order."),
                       {number(line), records::registerLabel(static_cast<int32_t>(registerNumber)),
                        records::registerLabel(static_cast<int32_t>(*_current))}));
    }
    if (_current && registerNumber == *_current) {
        return true;
    }
    storeCurrent();
    _current = registerNumber;
    _entry = records::blankRegisterEntry();
    _machines = {};
    return true;
}

void EdlReader::storeCurrent() {
    if (_current) {
        _registers.set(static_cast<int32_t>(*_current), std::move(_entry));
        _current.reset();
    }
}

} // namespace tavrel::files
