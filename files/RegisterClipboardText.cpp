#include "RegisterClipboardText.h"

#include "RegisterCollectionBuilder.h"
#include "RegisterLine.h"

namespace tavrel::files {

using records::NoClipName;
using records::RegisterEntry;

namespace {

constexpr size_t CellCount = 15;
constexpr size_t FirstClipCell = 11;
constexpr size_t ClipLength = 8;
constexpr size_t ShownLineBytes = 60;

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
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
    if (cell.size() < ClipLength) {
        line->append(ClipLength - cell.size(), ' ');
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

bool refuse(ClipboardProblem* problem, size_t lineNumber, std::string_view line) {
    if (problem) {
        *problem = ClipboardProblem{lineNumber, shownLine(line)};
    }
    return false;
}

} // namespace

std::string registerClipboardLines(const std::vector<RegisterCollection::Item>& registers) {
    std::string text;
    for (const auto& [number, entry] : registers) {
        text += registerLineText(number, entry);
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
        text += line;
        text += '\n';
    }
    return text;
}

bool parseRegisterClipboard(std::string_view text, std::vector<RegisterCollection::Item>* registers,
                            ClipboardProblem* problem) {
    if (text.size() > RegisterClipboardLimit) {
        return refuse(problem, 0, {});
    }
    RegisterCollectionBuilder builder;
    bool any = false;
    std::string converted;
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
        std::string_view vg2 = line;
        if (line.find('\t') != std::string_view::npos) {
            if (!lineFromCells(line, &converted)) {
                return refuse(problem, lineNumber, line);
            }
            vg2 = converted;
        }
        int32_t number = 0;
        RegisterEntry entry;
        if (!parseRegisterLine(vg2, &number, &entry)) {
            return refuse(problem, lineNumber, line);
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

} // namespace tavrel::files
