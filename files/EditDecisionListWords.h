// The words of an edit decision list's line: separated by blanks and tabs. Scanned by hand, as
// this runs for every byte of a list.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tavrel::files {

inline bool isEdlBlank(char c) {
    return c == ' ' || c == '\t';
}

// The blanks of eight bytes of a line: the high bit of each byte that is
// a blank set, the others clear. (x & 0x7F..) + 0x7F.. sets the high bit of each byte of x but
// a zero one, without a carry into the next byte.
inline uint64_t edlBlankBits(uint64_t bytes) {
    constexpr uint64_t Lows = 0x7F7F7F7F7F7F7F7F;
    const uint64_t spaces = bytes ^ 0x2020202020202020; // zero where a byte is ' '
    const uint64_t tabs = bytes ^ 0x0909090909090909;   // zero where a byte is '\t'
    const uint64_t spaceBits = ~(((spaces & Lows) + Lows) | spaces | Lows);
    const uint64_t tabBits = ~(((tabs & Lows) + Lows) | tabs | Lows);
    return spaceBits | tabBits;
}

// Where the first byte from `at` is (`blank` true) or is not (false) a blank; `end` if none is.
// Eight bytes at a time where eight are left, as lines are long and scanned whole.
inline const char* findEdlBlank(const char* at, const char* end, bool blank) {
    constexpr uint64_t Highs = 0x8080808080808080;
    for (; end - at >= 8; at += 8) {
        uint64_t bytes = 0;
        std::memcpy(&bytes, at, sizeof bytes);
        const uint64_t found = blank ? edlBlankBits(bytes) : ~edlBlankBits(bytes) & Highs;
        if (found != 0) {
            const int bit = std::endian::native == std::endian::little ? std::countr_zero(found)
                                                                       : std::countl_zero(found);
            return at + bit / 8;
        }
    }
    while (at != end && isEdlBlank(*at) != blank) {
        ++at;
    }
    return at;
}

// The next word of `text` from *at, *at moved past it; an empty one at the end of the text.
inline std::string_view nextEdlWord(std::string_view text, size_t* at) {
    const char* const end = text.data() + text.size();
    const char* const start = findEdlBlank(text.data() + *at, end, false);
    const char* const stop = findEdlBlank(start, end, true);
    *at = static_cast<size_t>(stop - text.data());
    return {start, static_cast<size_t>(stop - start)};
}

} // namespace tavrel::files
