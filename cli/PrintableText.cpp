#include "PrintableText.h"

namespace tavrel::cli {

std::string printableText(std::string_view bytes) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size());
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        if (byte == '\\') {
            text += "\\\\";
        } else if (byte >= 0x20 && byte <= 0x7E) {
            text += c;
        } else {
            text += {'\\', 'x', Hex[byte >> 4], Hex[byte & 0x0F]};
        }
    }
    return text;
}

} // namespace tavrel::cli
