// The register file reader's core, for files read a piece at a time: lines that cross from one
// piece into the next are taken whole, so the result is exactly that of parsing the whole text.
// Separate from RegisterFile.h so that tests and fuzzing can drive it with pieces of any size.
#pragma once

#include "RegisterCollection.h"
#include "RegisterFile.h"

#include <cstddef>
#include <functional>
#include <string>
#include <sys/types.h>

namespace tavrel::files {

enum class PieceParse { Parsed, Malformed, ReadFailed };

// Reads bytes into a buffer: the count read, 0 at the end, -1 (errno set) on failure.
using PieceSource = std::function<ssize_t(char* buffer, size_t capacity)>;

// Parses from `source` with a buffer of `pieceSize` bytes that grows when one line is longer
// (up to the line limit, past which the file is malformed), and on Parsed replaces *parsed.
// `expectedEntries` makes room beforehand. A read interrupted by a signal (EINTR) fails. On
// Malformed, *fault (when given) says what is wrong and where (RegisterFileFault.h).
PieceParse parseRegisterFilePieces(const PieceSource& source, size_t pieceSize,
                                   RegisterCollection* parsed, size_t expectedEntries = 0,
                                   std::string* fault = nullptr);

} // namespace tavrel::files
