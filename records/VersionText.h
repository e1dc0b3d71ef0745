// A device's version text as a person reads it: the device pads it with blanks, so spaces, tabs
// and no-break spaces (ISO 8859-1 0xA0) go from both ends; anything else, line breaks included,
// stays. Versions are compared as they stand and only shown trimmed.
#pragma once

#include <string>
#include <string_view>

namespace tavrel::records {

std::string trimmedVersionText(std::string_view version);

} // namespace tavrel::records
