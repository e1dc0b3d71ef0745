// Registers on the clipboard as text: the register file's own lines, or the same fields
// separated by tabs for spreadsheets, and one field's value. Pasting is as strict as reading a
// file, and all-or-nothing.
//
// The clipboard carries text and a register holds bytes. The one rule between the two, for every
// form the clipboard carries: byte 0xNN is the character U+00NN (the bytes read as Latin-1), both
// ways, so that whatever is copied comes back byte for byte. The texts here are UTF-8, as the
// toolkit hands text over; the application puts them on the clipboard and takes them off as text
// and nothing else. Text typed in another program is read by the same rule: a character up to
// U+00FF is that byte ("é" is 0xE9), and one above cannot be a byte, so the line holding it is
// refused and named.
#pragma once

#include "RegisterCollection.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel::files {

// The largest clipboard text taken as registers; more is refused whole.
inline constexpr size_t RegisterClipboardLimit = 32 * 1024 * 1024;

// Registers as the clipboard carries them: one vg2 line per register, each ended by "\n" ...
std::string registerClipboardLines(const std::vector<RegisterCollection::Item>& registers);
// ... and the same fields separated by tabs (for spreadsheets), each line ended by "\n".
std::string registerClipboardTabs(const std::vector<RegisterCollection::Item>& registers);
// One field's value (a time's text, or a clip name's bytes) as the clipboard carries it.
std::string clipboardFieldText(std::string_view bytes);

struct ClipboardProblem {
    enum class Reason {
        NotARegister,     // the line is not a register's line
        NotOneByte,       // it holds `character`, which no byte is
        NumberOutOfRange, // its register `number` is below 0 or above 65535
    };
    size_t line = 0;  // 1-based line of the text; 0 when the whole text is refused (too large, no
                      // register)
    std::string text; // that line, cut to 60 bytes (with "…" appended when cut)
    Reason reason = Reason::NotARegister;
    std::string character; // UTF-8
    int32_t number = 0;
};

// Reads pasted text: vg2 lines or tab-separated lines (our own copy, or a spreadsheet's copy of
// such lines), line ends CR LF, LF or CR, blank lines ignored, a line holding a tab is
// tab-separated. A tab-separated line must have exactly 15 cells; it is turned into a vg2 line
// and read by parseRegisterLine, with two allowances for what spreadsheets do to text: a clip
// name cell that is empty means no clip ("********") and a shorter one is padded with spaces to
// eight; a cell holding a comma makes the line bad. Every line is checked as the file reader
// checks it (also the line length limit RegisterFileLineLimit), and its register number must be
// one the device has (0 to 65535); one bad line refuses the whole paste and names it. The later
// of two lines with the same number wins. On success *registers holds the registers in ascending
// number. A text with no register at all, or larger than the limit, is refused (line 0).
bool parseRegisterClipboard(std::string_view text, std::vector<RegisterCollection::Item>* registers,
                            ClipboardProblem* problem = nullptr);

// Whether a clipboard text is one field's value rather than registers: one line, blanks and line
// ends around it aside, without a comma or a tab.
bool isClipboardField(std::string_view text);
// The bytes of one field's value: the text without the tabs and line ends around it (blanks stay,
// a clip name may begin with one). False, with the character in *problem, when one is not a byte.
bool parseClipboardField(std::string_view text, std::string* bytes,
                         ClipboardProblem* problem = nullptr);

} // namespace tavrel::files
