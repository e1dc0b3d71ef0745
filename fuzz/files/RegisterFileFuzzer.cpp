// The register file reader: it never crashes, a rejected text leaves the collection exactly as
// it was, an accepted one writes a text (in its own form, plain or exact) that reads back to the
// same collection, and reading the text a piece at a time (as files are read) gives the same
// result as reading it whole.
#include "RegisterDetailLine.h"
#include "RegisterFile.h"
#include "RegisterFilePieces.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace tavrel::files;
using namespace tavrel::records;

namespace {

RegisterCollection sentinel() {
    RegisterCollection registers;
    RegisterEntry entry;
    entry.reg.inA.hours = 1;
    entry.reg.outD.isNull = 1;
    entry.reg.trailingByte2 = 12;
    entry.clips[0] = "SHOT0001";
    registers.set(7, entry);
    registers.set(65535, RegisterEntry{});
    return registers;
}

// Parses `text` with reads of at most `step` bytes into a buffer of `pieceSize`.
PieceParse parseInPieces(std::string_view text, size_t pieceSize, size_t step,
                         RegisterCollection* parsed) {
    size_t offset = 0;
    return parseRegisterFilePieces(
        [&](char* buffer, size_t capacity) {
            size_t count = std::min({capacity, text.size() - offset, step});
            std::memcpy(buffer, text.data() + offset, count);
            offset += count;
            return static_cast<ssize_t>(count);
        },
        pieceSize, parsed);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const RegisterCollection before = sentinel();
    std::string_view text(reinterpret_cast<const char*>(data), size);
    RegisterCollection registers = before;
    bool accepted = parseRegisterFile(text, &registers);
    RegisterCollection pieces;
    size_t pieceSize = size > 0 ? data[0] % 64 + 1 : 1;
    size_t step = size > 1 ? data[1] % 16 + 1 : 1;
    PieceParse piecesResult = parseInPieces(text, pieceSize, step, &pieces);
    if (piecesResult != (accepted ? PieceParse::Parsed : PieceParse::Malformed) ||
        (accepted && !(pieces == registers))) {
        std::abort();
    }
    if (!accepted) {
        if (!(registers == before)) {
            std::abort();
        }
        return 0;
    }
    // An exact file writes back in its own form; a plain one in the plain form.
    const bool exact = text.substr(0, ExactRegisterFileHeader.size()) == ExactRegisterFileHeader;
    std::string written;
    if (!(exact ? formatExactRegisterFile(registers, &written)
                : formatRegisterFile(registers, &written))) {
        std::abort();
    }
    RegisterCollection again;
    if (!parseRegisterFile(written, &again) || !(again == registers)) {
        std::abort();
    }
    return 0;
}
