// Text that came from a device or a file, made safe to show on a terminal: a device must not be
// able to move the cursor, clear the screen or retitle the window through what tavrelctl prints.
#pragma once

#include <string>
#include <string_view>

namespace tavrel::cli {

// Printable ASCII as it is; a backslash as "\\" and every other byte (control characters, bytes
// above 0x7E) as "\xNN" with two upper-case hex digits, so the original bytes can be read back
// without doubt.
std::string printableText(std::string_view bytes);

} // namespace tavrel::cli
