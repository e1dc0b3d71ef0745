// What the register file reader says is wrong with a text, the same whether it reads the text
// whole or a piece at a time (a byte, or seven, at a time), so that lines are counted across
// pieces and a field is quoted whole.
#pragma once

#include "RegisterFile.h"
#include "RegisterFilePieces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

inline std::string faultIn(const std::string& text) {
    tavrel::files::RegisterCollection registers;
    std::string whole;
    EXPECT_FALSE(parseRegisterFile(text, &registers, &whole)) << text;
    for (size_t piece : {size_t{1}, size_t{7}}) {
        size_t at = 0;
        std::string fault;
        auto source = [&](char* buffer, size_t capacity) {
            const size_t n = std::min(capacity, text.size() - at);
            std::memcpy(buffer, text.data() + at, n);
            at += n;
            return static_cast<ssize_t>(n);
        };
        EXPECT_EQ(parseRegisterFilePieces(source, piece, &registers, 0, &fault),
                  tavrel::files::PieceParse::Malformed);
        EXPECT_EQ(fault, whole) << "in pieces of " << piece << ": " << text;
    }
    return whole;
}
