// What the CSV and JSON fuzzers share (and the EDL fuzzer's collection a refused text must leave
// as it was): a reader never crashes, a rejected text leaves the
// collection exactly as it was, an accepted one is written back to a text that reads as the same
// collection, and reading the text a few bytes at a time gives the same result as reading it
// whole.
#pragma once

#include "RegisterCollection.h"
#include "TextInput.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace fuzzing {

inline tavrel::files::RegisterCollection sentinel() {
    tavrel::files::RegisterCollection registers;
    tavrel::records::RegisterEntry entry;
    entry.reg.inA.hours = 1;
    entry.clips[0] = "SHOT0001";
    registers.set(7, entry);
    return registers;
}

// `parse` reads a TextInput, `format` writes a collection's text.
template <typename Parse, typename Format>
int checkReader(const uint8_t* data, size_t size, Parse&& parse, Format&& format) {
    using tavrel::files::RegisterCollection;
    using tavrel::files::TextInput;
    static const RegisterCollection before = sentinel();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    RegisterCollection registers = before;
    TextInput whole(text);
    const bool accepted = parse(whole, &registers);

    const size_t step = size > 0 ? data[0] % 16 + 1 : 1;
    size_t offset = 0;
    TextInput pieces(
        [&](char* buffer, size_t capacity) {
            const size_t count = std::min({capacity, text.size() - offset, step});
            std::memcpy(buffer, text.data() + offset, count);
            offset += count;
            return static_cast<ssize_t>(count);
        },
        step);
    RegisterCollection inPieces = before;
    if (parse(pieces, &inPieces) != accepted || !(inPieces == registers)) {
        std::abort();
    }
    if (!accepted) {
        if (!(registers == before)) {
            std::abort();
        }
        return 0;
    }
    std::string written;
    if (!format(registers, &written)) {
        return 0; // a name no text of the format holds back (an empty one), refused as such
    }
    RegisterCollection again;
    TextInput back(written);
    if (!parse(back, &again) || !(again == registers)) {
        std::abort();
    }
    return 0;
}

} // namespace fuzzing
