#include "TextTemplate.h"

#include <variant>

namespace tavrel::records {

namespace {

// A template cut into literal runs and numbered places.
using Piece = std::variant<std::string, int>; // literal text, or an argument index from 0

int placeAt(std::string_view pattern, std::size_t i) {
    if (i + 1 >= pattern.size() || pattern[i] != '%') {
        return -1;
    }
    const char digit = pattern[i + 1];
    return digit >= '1' && digit <= '9' ? digit - '1' : -1;
}

std::vector<Piece> piecesOf(std::string_view pattern) {
    std::vector<Piece> pieces;
    std::string literal;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern.compare(i, 2, "%%") == 0) {
            literal += '%';
            ++i;
        } else if (const int place = placeAt(pattern, i); place >= 0) {
            if (!literal.empty()) {
                pieces.emplace_back(std::move(literal));
                literal.clear();
            }
            pieces.emplace_back(place);
            ++i;
        } else {
            literal += pattern[i];
        }
    }
    if (!literal.empty()) {
        pieces.emplace_back(std::move(literal));
    }
    return pieces;
}

// Matches pieces[from...] against text[at...], filling `arguments`; shorter arguments first.
bool matches(const std::vector<Piece>& pieces, std::size_t from, std::string_view text,
             std::size_t at, std::vector<std::optional<std::string>>& arguments) {
    if (from == pieces.size()) {
        return at == text.size();
    }
    if (const auto* literal = std::get_if<std::string>(&pieces[from])) {
        return text.compare(at, literal->size(), *literal) == 0 &&
               matches(pieces, from + 1, text, at + literal->size(), arguments);
    }
    auto& argument = arguments[static_cast<std::size_t>(std::get<int>(pieces[from]))];
    if (argument) { // used before: the same text again
        const std::string earlier = *argument;
        return text.compare(at, earlier.size(), earlier) == 0 &&
               matches(pieces, from + 1, text, at + earlier.size(), arguments);
    }
    for (std::size_t end = at; end <= text.size(); ++end) {
        argument = std::string(text.substr(at, end - at));
        if (matches(pieces, from + 1, text, end, arguments)) {
            return true;
        }
    }
    argument.reset();
    return false;
}

} // namespace

std::string filledText(std::string_view pattern, const std::vector<std::string>& arguments) {
    std::string text;
    for (const Piece& piece : piecesOf(pattern)) {
        if (const auto* literal = std::get_if<std::string>(&piece)) {
            text += *literal;
        } else if (const auto index = static_cast<std::size_t>(std::get<int>(piece));
                   index < arguments.size()) {
            text += arguments[index];
        } else {
            text += '%';
            text += static_cast<char>('1' + index);
        }
    }
    return text;
}

std::optional<std::vector<std::string>> textArguments(std::string_view pattern,
                                                      std::string_view text) {
    std::vector<std::optional<std::string>> found(9);
    if (!matches(piecesOf(pattern), 0, text, 0, found)) {
        return std::nullopt;
    }
    std::size_t count = 0;
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (found[i]) {
            count = i + 1;
        }
    }
    std::vector<std::string> arguments;
    for (std::size_t i = 0; i < count; ++i) {
        arguments.push_back(found[i].value_or(std::string()));
    }
    return arguments;
}

} // namespace tavrel::records
