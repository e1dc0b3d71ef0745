#include "VersionText.h"

namespace tavrel::records {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || static_cast<unsigned char>(c) == 0xA0;
}

} // namespace

std::string trimmedVersionText(std::string_view version) {
    while (!version.empty() && isBlank(version.front())) {
        version.remove_prefix(1);
    }
    while (!version.empty() && isBlank(version.back())) {
        version.remove_suffix(1);
    }
    return std::string(version);
}

} // namespace tavrel::records
