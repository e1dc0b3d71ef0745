// The words of an edit decision list's line: separated by blanks and tabs. Scanned by hand, as
// this runs for every byte of a list.
#pragma once

#include <cstddef>
#include <string_view>

namespace tavrel::files {

inline bool isEdlBlank(char c) {
    return c == ' ' || c == '\t';
}

// The next word of `text` from *at, *at moved past it; an empty one at the end of the text.
inline std::string_view nextEdlWord(std::string_view text, size_t* at) {
    size_t start = *at;
    while (start < text.size() && isEdlBlank(text[start])) {
        ++start;
    }
    size_t end = start;
    while (end < text.size() && !isEdlBlank(text[end])) {
        ++end;
    }
    *at = end;
    return text.substr(start, end - start);
}

} // namespace tavrel::files
