// How a machine's clip name travels in an edit decision list: as the event's reel name where a
// reel can carry it, and always, byte for byte, in the comment line Tavrel writes after each event
// ("* TAVREL REGISTER 012 MACHINE A"), so that Tavrel reads its own lists back exactly.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavrel::files {

// The longest reel name: eight characters, as the device's clip names.
inline constexpr size_t EdlReelLength = 8;

// The reel of a source with no name, which Tavrel writes for a machine with no clip.
inline constexpr std::string_view EdlNoReel = "AX";

// The reel an event of a machine with clip name `clip` shows: the name without its trailing blanks
// when that is one to eight printable ASCII characters without blanks (the columns of an event
// line are separated by blanks), else "AX".
std::string reelOfClip(const std::string& clip);

// The clip name a reel gives: "AX" none (NoClipName), any other the reel padded with blanks to
// eight bytes.
std::string clipOfReel(std::string_view reel);

// What Tavrel's comment line after an event says: the register and machine it came from, and the
// exact clip name when the reel does not give it back (hexadecimal, two digits a byte). A register
// with no event has a comment line of its own, without a machine, so that it comes back too.
struct TavrelEdlComment {
    int64_t number = 0;
    std::optional<char> machine; // 'A' to 'D'
    std::optional<std::string> clip;
};

// Appends "* TAVREL REGISTER 012 MACHINE A" for the register labelled `label` (registerLabel),
// with " CLIP 4E414D45..." when `clip` is not the one clipOfReel(reel) gives; without a machine
// ("* TAVREL REGISTER 012") when `machine` is 0.
void appendTavrelEdlComment(std::string* text, std::string_view label, char machine,
                            const std::string& clip, std::string_view reel);

// Whether `line` (a comment, starting with "*") is meant as Tavrel's: its first word after
// the "*" is TAVREL.
bool looksLikeTavrelEdlComment(std::string_view line);

// Reads Tavrel's comment line; false when it is not one in the form above.
bool parseTavrelEdlComment(std::string_view line, TavrelEdlComment* comment);

} // namespace tavrel::files
