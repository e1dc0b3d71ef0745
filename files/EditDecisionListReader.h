// Reads an edit decision list a line at a time, from text handed to it in pieces of any size,
// into registers. A list Tavrel wrote (its events followed by Tavrel's comment lines) gives its
// registers back as they were; a list from an editing system becomes one register an event, in
// event order from the first register asked for: the event's source IN, OUT and reel to machine
// A, the second source of a dissolve or wipe to machine B. Audio-only events are left out.
// docs/formats.md says which lines are taken and which are refused.
#pragma once

#include "EditDecisionListEventLine.h"
#include "EditDecisionListReel.h"
#include "RegisterCollection.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavrel::files {

// The longest line (without its line end) a list may hold: far more than any editing system
// writes, and room for Tavrel's comment with the longest clip name a register file holds.
inline constexpr size_t EdlLineLimit = 256 * 1024;

// One video source of an event as read, and an event waiting for the lines that may follow it
// (its second source, Tavrel's comment).
struct EdlSource {
    EdlEventLine line;
    uint64_t lineNumber = 0;
    bool underDropFrame = false; // after "FCM: DROP FRAME"
};

struct EdlPendingEvent {
    std::array<EdlSource, 2> sources;
    size_t count = 0;
    std::optional<TavrelEdlComment> comment;
    uint64_t commentLine = 0;
};

class EdlReader {
  public:
    explicit EdlReader(int32_t firstRegister = 0);

    // Makes room beforehand for the registers of a text of `bytes` bytes (a register's event
    // takes at least about 80), as many as a device has at most.
    void reserveFor(size_t bytes);
    // Takes the next bytes of the text; false once the text is malformed (see fault()).
    bool take(std::string_view bytes);
    // Takes the end of the text; on success moves the registers into *registers.
    bool finish(RegisterCollection* registers);
    // What is wrong and where: "Line 12: ...".
    const std::string& fault() const { return _fault; }

  private:
    enum class Kind { Unknown, Tavrel, Foreign };

    bool takeLine(std::string_view line);
    bool takeEvent(std::string_view line);
    bool takeComment(std::string_view line);
    bool takeFcm(std::string_view value);
    bool flushEvent();
    bool storePending(const EdlPendingEvent& event);
    bool storeTavrelEvent(const EdlPendingEvent& event);
    bool storeForeignEvent(const EdlPendingEvent& event);
    bool startRegister(int64_t number, uint64_t line);
    void storeCurrent();
    bool refuse(std::string fault);

    int64_t _next;
    Kind _kind = Kind::Unknown;
    bool _dropFrame = false;
    std::optional<EdlPendingEvent> _pending;
    // The register a Tavrel list is giving back.
    std::optional<int64_t> _current;
    records::RegisterEntry _entry;
    std::array<bool, 4> _machines{};
    RegisterCollection _registers;
    // Lines.
    std::string _partial;
    uint64_t _line = 1;
    bool _afterCR = false;
    bool _failed = false;
    std::string _fault;
};

} // namespace tavrel::files
