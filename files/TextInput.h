// The input of the CSV and JSON register readers: a text taken one byte at a time, from memory or
// from a source a piece at a time (so a file is never held whole), with the line and column of
// the next byte. Lines end as in a register file: CR LF, a lone LF or a lone CR; columns count
// bytes from 1.
#pragma once

#include "RegisterFilePieces.h"
#include "TavrelError.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace tavrel::files {

class TextInput {
  public:
    explicit TextInput(std::string_view text)
        : _at(text.data()), _end(text.data() + text.size()), _read(text.size()),
          _expectedSize(text.size()) {}
    TextInput(PieceSource source, size_t pieceSize)
        : _source(std::move(source)), _buffer(pieceSize, '\0'), _at(_buffer.data()),
          _end(_buffer.data()) {}

    // The next byte (0 to 255), or -1 at the end of the text or after a failed read.
    int peek() {
        if (_at == _end && !refill()) {
            return -1;
        }
        return static_cast<unsigned char>(*_at);
    }
    int get() {
        const int c = peek();
        if (c >= 0) {
            ++_at;
            count(c);
        }
        return c;
    }
    // Takes `c` when it is next.
    bool take(char c) {
        if (peek() != static_cast<unsigned char>(c)) {
            return false;
        }
        get();
        return true;
    }

    // The bytes from here up to the first for which `stop` (given a byte, 0 to 255) is true, of
    // those at hand: empty at that byte or the end of the text, else taken, and a caller goes on
    // until it is empty. `stop` must be true for CR and LF, as the bytes taken are counted as
    // columns of one line.
    template <typename Stop> std::string_view takeUntil(Stop&& stop) {
        if (_at == _end && !refill()) {
            return {};
        }
        const char* end = _at;
        while (end != _end && !stop(static_cast<unsigned char>(*end))) {
            ++end;
        }
        const std::string_view run(_at, static_cast<size_t>(end - _at));
        if (!run.empty()) {
            _at = end;
            _column += run.size();
            _afterCR = false;
        }
        return run;
    }

    // The bytes at hand from here, read when none are: empty only at the end of the text. For a
    // reader that takes a well-formed piece whole when it is at hand; the view holds until the
    // next byte is asked for beyond it.
    std::string_view buffered() {
        if (_at == _end && !refill()) {
            return {};
        }
        return {_at, static_cast<size_t>(_end - _at)};
    }
    // The same, with more read first when fewer than `wanted` bytes (at most the piece size) are
    // at hand: those are moved to the start of the piece, so that a well-formed piece of text
    // that began near its end is at hand whole.
    std::string_view buffered(size_t wanted) {
        if (static_cast<size_t>(_end - _at) < wanted && _source && !_failed) {
            const auto kept = static_cast<size_t>(_end - _at);
            std::memmove(_buffer.data(), _at, kept);
            _at = _buffer.data();
            _end = _at + kept;
            while (static_cast<size_t>(_end - _at) < wanted && _source && fill()) {
            }
        }
        return buffered();
    }
    // Takes `count` of the bytes at hand, none of them CR or LF (columns of one line).
    void skip(size_t count) {
        if (count > 0) {
            _at += count;
            _column += count;
            _afterCR = false;
        }
    }

    // The bytes taken so far, and those the whole text is expected to hold (0 when unknown, as
    // for a pipe), for a reader that sizes its result beforehand.
    uint64_t offset() const { return _read - static_cast<uint64_t>(_end - _at); }
    uint64_t expectedSize() const { return _expectedSize; }
    void expectSize(uint64_t bytes) { _expectedSize = bytes; }

    uint64_t line() const { return _line; }
    uint64_t column() const { return _column; }
    // Whether a read of the source failed (errno tells why).
    bool readFailed() const { return _failed; }

  private:
    bool refill() {
        if (!_source || _failed) {
            return false;
        }
        _at = _buffer.data();
        _end = _at;
        return fill();
    }

    // Reads more after the bytes at hand, into the rest of the piece; the source must be there.
    bool fill() {
        const auto used = static_cast<size_t>(_end - _buffer.data());
        if (used == _buffer.size()) {
            return false;
        }
        const ssize_t got = _source(_buffer.data() + used, _buffer.size() - used);
        if (got <= 0) {
            _failed = got < 0;
            _source = nullptr;
            return false;
        }
        _end += got;
        _read += static_cast<uint64_t>(got);
        return true;
    }

    void count(int c) {
        if (c == '\n' && _afterCR) {
            _afterCR = false;
            return;
        }
        _afterCR = c == '\r';
        if (c == '\n' || c == '\r') {
            ++_line;
            _column = 1;
        } else {
            ++_column;
        }
    }

    PieceSource _source;
    std::string _buffer;
    const char* _at;
    const char* _end;
    uint64_t _read = 0; // bytes read from the source, or the text's
    uint64_t _expectedSize = 0;
    uint64_t _line = 1;
    uint64_t _column = 1;
    bool _afterCR = false;
    bool _failed = false;
};

// Reads the file at `path` through a TextInput handed to `parse`, which says what is wrong with a
// malformed text in *fault. Fails as the register file reader does: an unreadable file gives the
// system's error, a malformed one `description` ("Error processing .csv file") with the fault
// as its detail (tavrelMalformedFileError).
using TextParse = std::function<bool(TextInput& input, std::string* fault)>;
bool readTextFile(const std::string& path, const char* description, const TextParse& parse,
                  records::TavrelError* error);

} // namespace tavrel::files
