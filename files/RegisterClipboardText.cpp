#include "RegisterClipboardText.h"

#include "RegisterCollectionBuilder.h"
#include "RegisterEntry.h"
#include "RegisterLine.h"
#include "VRG500.h"

#include <utility>

namespace tavrel::files {

using records::ClipNameLength;
using records::HighestRegisterNumber;
using records::NoClipName;
using records::RegisterEntry;

namespace {

constexpr size_t CellCount = 15;
constexpr size_t FirstClipCell = 11;
constexpr size_t ShownLineBytes = 60;

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

bool isContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Appends the clipboard's text of `bytes`: each byte is the character of its code, in UTF-8.
void appendText(std::string_view bytes, std::string* text) {
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text->push_back(c);
        } else {
            text->push_back(static_cast<char>(0xC0 | byte >> 6));
            text->push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
}

// The bytes of the clipboard's text `text`: each character up to U+00FF is the byte of its code.
// False, with that character (or the stray byte that begins no character), for the first one
// above.
bool bytesOfText(std::string_view text, std::string* bytes, std::string* character) {
    bytes->clear();
    for (size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            bytes->push_back(text[i]);
            continue;
        }
        // U+0080 to U+00FF are the two-byte sequences that begin with 0xC2 or 0xC3.
        if ((lead == 0xC2 || lead == 0xC3) && i + 1 < text.size() && isContinuation(text[i + 1])) {
            const auto next = static_cast<unsigned char>(text[i + 1]);
            bytes->push_back(static_cast<char>((lead & 0x03) << 6 | (next & 0x3F)));
            ++i;
            continue;
        }
        size_t end = i + 1;
        while (end < text.size() && end < i + 4 && isContinuation(text[end])) {
            ++end;
        }
        *character = std::string(text.substr(i, end - i));
        return false;
    }
    return true;
}

// Spreadsheets copy an empty row as blanks and tabs only; it holds no register.
bool isBlank(std::string_view line) {
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

// A spreadsheet drops the trailing blanks of a clip name ("SHOT1   " comes back "SHOT1"), and
// of a name of blanks only, which is no clip, leaves nothing.
void appendClipCell(std::string_view cell, std::string* line) {
    if (cell.empty()) {
        line->append(NoClipName);
        return;
    }
    line->append(cell);
    if (cell.size() < ClipNameLength) {
        line->append(ClipNameLength - cell.size(), ' ');
    }
}

// The vg2 line of a tab-separated one, or false when its cells cannot make one.
bool lineFromCells(std::string_view cells, std::string* line) {
    line->clear();
    size_t cell = 0;
    for (size_t start = 0;; ++cell) {
        size_t tab = cells.find('\t', start);
        std::string_view text =
            cells.substr(start, tab == std::string_view::npos ? tab : tab - start);
        if (cell >= CellCount || text.find(',') != std::string_view::npos) {
            return false;
        }
        if (cell > 0) {
            line->push_back(',');
        }
        if (cell >= FirstClipCell) {
            appendClipCell(text, line);
        } else {
            line->append(text);
        }
        if (tab == std::string_view::npos) {
            return cell + 1 == CellCount;
        }
        start = tab + 1;
    }
}

// The line as the user is shown it: at most ShownLineBytes bytes, never cutting a UTF-8
// character in two.
std::string shownLine(std::string_view line) {
    if (line.size() <= ShownLineBytes) {
        return std::string(line);
    }
    size_t cut = ShownLineBytes;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return std::string(line.substr(0, cut)) + "\xE2\x80\xA6";
}

bool refuse(ClipboardProblem* problem, size_t lineNumber, std::string_view line,
            ClipboardProblem::Reason reason = ClipboardProblem::Reason::NotARegister,
            std::string character = {}, int32_t number = 0) {
    if (problem) {
        *problem =
            ClipboardProblem{lineNumber, shownLine(line), reason, std::move(character), number};
    }
    return false;
}

// Tabs and line ends around a field's value, which are not part of it; blanks are.
constexpr std::string_view FieldEnds = "\t\n\v\f\r";

} // namespace

std::string registerClipboardLines(const std::vector<RegisterCollection::Item>& registers) {
    std::string text;
    for (const auto& [number, entry] : registers) {
        appendText(registerLineText(number, entry), &text);
        text += '\n';
    }
    return text;
}

std::string registerClipboardTabs(const std::vector<RegisterCollection::Item>& registers) {
    std::string text;
    for (const auto& [number, entry] : registers) {
        std::string line = registerLineText(number, entry);
        // The first fourteen commas part the fields; clip name D may hold commas of its own.
        size_t comma = 0;
        for (size_t i = 0; i + 1 < CellCount; ++i) {
            comma = line.find(',', comma);
            if (comma == std::string::npos) {
                break;
            }
            line[comma] = '\t';
        }
        appendText(line, &text);
        text += '\n';
    }
    return text;
}

std::string clipboardFieldText(std::string_view bytes) {
    std::string text;
    appendText(bytes, &text);
    return text;
}

bool parseRegisterClipboard(std::string_view text, std::vector<RegisterCollection::Item>* registers,
                            ClipboardProblem* problem) {
    if (text.size() > RegisterClipboardLimit) {
        return refuse(problem, 0, {});
    }
    RegisterCollectionBuilder builder;
    bool any = false;
    std::string bytes;
    std::string converted;
    std::string character;
    size_t lineNumber = 1;
    for (size_t pos = 0; pos < text.size(); ++lineNumber) {
        size_t end = pos;
        while (end < text.size() && !isLineEnd(text[end])) {
            ++end;
        }
        std::string_view line = text.substr(pos, end - pos);
        pos = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        if (isBlank(line)) {
            continue;
        }
        if (!bytesOfText(line, &bytes, &character)) {
            return refuse(problem, lineNumber, line, ClipboardProblem::Reason::NotOneByte,
                          std::move(character));
        }
        std::string_view vg2 = bytes;
        if (vg2.find('\t') != std::string_view::npos) {
            if (!lineFromCells(vg2, &converted)) {
                return refuse(problem, lineNumber, line);
            }
            vg2 = converted;
        }
        int32_t number = 0;
        RegisterEntry entry;
        if (!parseRegisterLine(vg2, &number, &entry)) {
            return refuse(problem, lineNumber, line);
        }
        if (number < 0 || number > HighestRegisterNumber) {
            return refuse(problem, lineNumber, line, ClipboardProblem::Reason::NumberOutOfRange, {},
                          number);
        }
        builder.add(number, std::move(entry));
        any = true;
    }
    if (!any) {
        return refuse(problem, 0, {});
    }
    RegisterCollection parsed = builder.take();
    registers->assign(parsed.begin(), parsed.end());
    return true;
}

bool isClipboardField(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\n\v\f\r");
    if (first == std::string_view::npos) {
        return true;
    }
    const size_t last = text.find_last_not_of(" \t\n\v\f\r");
    return text.substr(first, last - first + 1).find_first_of(",\t\r\n") == std::string_view::npos;
}

bool parseClipboardField(std::string_view text, std::string* bytes, ClipboardProblem* problem) {
    const size_t first = text.find_first_not_of(FieldEnds);
    const std::string_view value =
        first == std::string_view::npos
            ? std::string_view()
            : text.substr(first, text.find_last_not_of(FieldEnds) - first + 1);
    std::string character;
    if (!bytesOfText(value, bytes, &character)) {
        return refuse(problem, 1, value, ClipboardProblem::Reason::NotOneByte,
                      std::move(character));
    }
    return true;
}

} // namespace tavrel::files
