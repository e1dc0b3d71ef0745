// One event line of a CMX 3600 edit decision list, as editing systems write it: the event number,
// the reel, the channels, the transition (C; D, Wnnn, K, KB or KO with its duration in frames),
// then source IN, source OUT, record IN and record OUT, separated by blanks.
#pragma once

#include "VRG500.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrel::files {

struct EdlEventLine {
    int64_t event = 0;
    std::string eventText; // as written: "001"
    std::string reel;
    bool video = false; // the channels include video (V, B, A/V...); else audio only
    // Marked drop frame where written with ";".
    records::VRG500_registerTime sourceIn, sourceOut;
};

// Whether `line` (without blanks around it) starts as an event line does: with a digit.
bool looksLikeEdlEvent(std::string_view line);

// Reads an event line. On failure *fault says why, after "Line N: " for `lineNumber`: not the
// columns of an event, a reel longer than eight characters or one no clip name can be (a comma,
// a control character), a source time beyond what a register holds (the wire's limits).
bool parseEdlEventLine(std::string_view line, uint64_t lineNumber, EdlEventLine* event,
                       std::string* fault);

// `text` in double quotes, cut short with "..." when long: how faults quote what a line holds.
std::string quotedEdlText(std::string_view text);

} // namespace tavrel::files
