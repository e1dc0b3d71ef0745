#include "Arguments.h"

#include <cctype>

namespace tavrel::cli {

using records::RegisterRange;
using records::RegisterRangePresets;

namespace {

// Decimal digits only, no sign, no blanks; at most 65535.
std::optional<uint16_t> parseNumber(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<uint32_t>(c - '0');
        if (value > 65535) {
            return std::nullopt;
        }
    }
    return static_cast<uint16_t>(value);
}

} // namespace

std::optional<RegisterRange> parseRegisterRange(const std::string& text) {
    for (const auto& preset : RegisterRangePresets) {
        if (text == preset.name) {
            return preset.range;
        }
    }
    size_t dash = text.find('-');
    auto first = parseNumber(text.substr(0, dash));
    auto last = dash == std::string::npos ? first : parseNumber(text.substr(dash + 1));
    if (!first || !last || *first > *last) {
        return std::nullopt;
    }
    return RegisterRange{*first, *last};
}

std::optional<Machines> parseMachines(const std::string& text) {
    Machines machines;
    bool* flags[4] = {&machines.a, &machines.b, &machines.c, &machines.d};
    if (text.empty()) {
        return std::nullopt;
    }
    for (char c : text) {
        int index = std::toupper(static_cast<unsigned char>(c)) - 'A';
        if (index < 0 || index > 3 || *flags[index]) {
            return std::nullopt;
        }
        *flags[index] = true;
    }
    return machines;
}

std::optional<uint16_t> parseRegisterNumber(const std::string& text) {
    return parseNumber(text);
}

} // namespace tavrel::cli
