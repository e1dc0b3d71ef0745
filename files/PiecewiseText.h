// A text made a piece at a time, by a producer that hands each piece to a sink and stops when
// the sink refuses one or the text cannot be made (having said why in its error): collected into
// a string, or saved atomically, so that a file is never held whole to be written.
#pragma once

#include "AtomicFile.h"
#include "TavrelError.h"

#include <string>
#include <string_view>

namespace tavrel::files {

// The whole text in *text; on failure *text is unchanged.
template <typename Produce> bool collectPieces(std::string* text, Produce&& produce) {
    std::string result;
    if (!produce([&](std::string_view piece) {
            result += piece;
            return true;
        })) {
        return false;
    }
    text->swap(result);
    return true;
}

// The text saved at `path` through AtomicFileWriter: on failure the file is as it was and
// `error` says why; *wroteInPlace (when given) tells whether it was written in place.
template <typename Produce>
bool writePieces(const std::string& path, records::TavrelError* error, bool* wroteInPlace,
                 Produce&& produce) {
    AtomicFileWriter file(path);
    const bool written =
        file.open(error) &&
        produce([&](std::string_view piece) { return file.write(piece, error); }) &&
        file.commit(error);
    if (written && wroteInPlace) {
        *wroteInPlace = file.writesInPlace();
    }
    return written;
}

} // namespace tavrel::files
