// The scanner under the register file reader: a cursor over the file's bytes that skips nothing,
// so every blank is significant. Each scan either consumes what it matched and succeeds, or
// fails; the reader gives up on the whole file at the first failure, so a failed scan need not
// restore the cursor.
//
// The file is read in pieces. A scan that ran into the end of the bytes at hand might have gone
// on with more of them, so it marks the scanner (touchedEnd); the reader then takes that line
// again once more bytes have arrived. A scan that stopped before the end is final.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tavrel::files {

class RegisterFileScanner {
  public:
    explicit RegisterFileScanner(std::string_view text) : _text(text) {}

    bool atEnd() {
        if (_pos >= _text.size()) {
            _touchedEnd = true;
            return true;
        }
        return false;
    }

    size_t position() const { return _pos; }
    bool touchedEnd() const { return _touchedEnd; }
    void clearTouchedEnd() { _touchedEnd = false; }

    // An optionally signed decimal integer that fits 32 signed bits.
    bool scanInt(int32_t* value) {
        size_t pos = _pos;
        bool negative = false;
        if (pos < _text.size() && (_text[pos] == '-' || _text[pos] == '+')) {
            negative = _text[pos] == '-';
            ++pos;
        }
        size_t firstDigit = pos;
        int64_t magnitude = 0;
        while (pos < _text.size() && isDigit(_text[pos])) {
            magnitude = magnitude * 10 + (_text[pos] - '0');
            if (magnitude > int64_t{INT32_MAX} + 1) {
                return false;
            }
            ++pos;
        }
        noteEnd(pos);
        if (pos == firstDigit) {
            return false;
        }
        int64_t signedValue = negative ? -magnitude : magnitude;
        if (signedValue > INT32_MAX) {
            return false;
        }
        *value = static_cast<int32_t>(signedValue);
        _pos = pos;
        return true;
    }

    bool scanChar(char expected) {
        if (atEnd() || _text[_pos] != expected) {
            return false;
        }
        ++_pos;
        return true;
    }

    // At least one byte, up to (not including) the next ",", CR or LF, or the end: a field
    // never reaches into the next line.
    bool scanField(std::string_view* field) {
        size_t pos = _pos;
        while (pos < _text.size() && _text[pos] != ',' && !isLineEnd(_text[pos])) {
            ++pos;
        }
        noteEnd(pos);
        return take(pos - _pos, field);
    }

    // At least one byte, up to the next CR or LF or the end.
    bool scanUpToLineEnd(std::string_view* field) {
        size_t pos = _pos;
        while (pos < _text.size() && !isLineEnd(_text[pos])) {
            ++pos;
        }
        noteEnd(pos);
        return take(pos - _pos, field);
    }

    // The bytes from `start` up to the next ",", CR or LF, or the end, without moving: what a
    // failed scan met, for the account of a malformed line.
    std::string_view fieldFrom(size_t start) const {
        size_t end = start;
        while (end < _text.size() && _text[end] != ',' && !isLineEnd(_text[end])) {
            ++end;
        }
        return _text.substr(start, end - start);
    }

    // Whether the position is at a line end or at the end of the bytes, without marking it.
    bool atLineEnd() const { return _pos >= _text.size() || isLineEnd(_text[_pos]); }

    // Any run of CR and LF bytes, none included.
    void skipLineEnds() {
        while (_pos < _text.size() && isLineEnd(_text[_pos])) {
            ++_pos;
        }
    }

  private:
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }
    static bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

    void noteEnd(size_t stoppedAt) {
        if (stoppedAt >= _text.size()) {
            _touchedEnd = true;
        }
    }

    bool take(size_t length, std::string_view* field) {
        if (length == 0) {
            return false;
        }
        *field = _text.substr(_pos, length);
        _pos += length;
        return true;
    }

    std::string_view _text;
    size_t _pos = 0;
    bool _touchedEnd = false;
};

} // namespace tavrel::files
