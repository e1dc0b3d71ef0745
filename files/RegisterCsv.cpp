#include "RegisterCsv.h"

#include "PiecewiseText.h"
#include "RegisterCollectionBuilder.h"
#include "RegisterFile.h"
#include "RegisterFileFault.h"
#include "RegisterLabel.h"
#include "RegisterLine.h"
#include "RegisterNumberLines.h"
#include "RegisterTimeText.h"
#include "TextTemplate.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace tavrel::files {

using records::filledText;
using records::NoClipName;
using records::RegisterEntry;
using records::registerLabel;
using records::stringForRegisterTime;
using records::TavrelError;
using records::VRG500_registerTimes;

namespace {

constexpr size_t ColumnCount = RegisterLineFieldCount;
// The header's names, in the order of a register's line's fields.
constexpr std::array<std::string_view, ColumnCount> ColumnNames = {
    "Register", "A IN",       "A OUT",      "B IN",   "B OUT",  "C IN",   "C OUT", "D IN",
    "D OUT",    "Trailing 1", "Trailing 2", "Clip A", "Clip B", "Clip C", "Clip D"};
constexpr int FirstClipField = 12;
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
// Bytes of text written at a time.
constexpr size_t PieceSize = 256 * 1024;

// ---- Writing

// Whether a byte makes its cell quoted. A loop rather than find_first_of, which searches the
// cell once for each of the bytes: this runs for every clip name of a file.
bool needsQuotes(std::string_view cell) {
    return std::any_of(cell.begin(), cell.end(),
                       [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
}

void putCell(std::string_view cell, std::string* text) {
    if (!needsQuotes(cell)) {
        *text += cell;
        return;
    }
    *text += '"';
    for (const char c : cell) {
        if (c == '"') {
            *text += '"';
        }
        *text += c;
    }
    *text += '"';
}

// Every time must fit its text (checked beforehand).
// The register's label ("%03d") without printf for a number that is not negative.
void putLabel(int32_t number, std::string* text) {
    if (number < 0) {
        *text += registerLabel(number);
        return;
    }
    char digits[10];
    size_t count = 0;
    for (auto rest = static_cast<uint32_t>(number); rest > 0 || count < 3; rest /= 10) {
        digits[count++] = static_cast<char>('0' + rest % 10);
    }
    while (count > 0) {
        *text += digits[--count];
    }
}

void putRow(int32_t number, const RegisterEntry& entry, std::string* text) {
    putLabel(number, text);
    char time[1 + records::RegisterTimeTextLength] = {','};
    for (auto member : VRG500_registerTimes) {
        records::putRegisterTimeText(entry.reg.*member, time + 1);
        text->append(time, sizeof time);
    }
    for (const uint8_t byte : {entry.reg.trailingByte1, entry.reg.trailingByte2}) {
        char digits[4] = {',', static_cast<char>('0' + byte / 100),
                          static_cast<char>('0' + byte / 10 % 10),
                          static_cast<char>('0' + byte % 10)};
        text->append(digits, sizeof digits);
    }
    for (const std::string& clip : entry.clips) {
        *text += ',';
        putCell(clip, text);
    }
    *text += "\r\n";
}

// The register file's checks of a register whose text goes to CSV, where a clip name may hold a
// comma or a line break: each such byte stands in for one that a file can hold, so that only
// what CSV cannot hold either is refused (a time above 99, an empty name, which would read back
// as none, a row too long to read back).
bool checkCsvWritable(int32_t number, const RegisterEntry& entry, TavrelError* error) {
    const auto fileCannotHold = [](const std::string& clip) {
        return std::any_of(clip.begin(), clip.end(),
                           [](char c) { return c == ',' || c == '\r' || c == '\n'; });
    };
    if (std::none_of(entry.clips.begin(), entry.clips.end(), fileCannotHold)) {
        return checkRegisterWritable(number, entry, error);
    }
    RegisterEntry held = entry;
    for (std::string& clip : held.clips) {
        std::replace_if(
            clip.begin(), clip.end(), [](char c) { return c == ',' || c == '\r' || c == '\n'; },
            '_');
    }
    return checkRegisterWritable(number, held, error);
}

// The text in pieces of about PieceSize bytes, each handed to `put`.
template <typename Put>
bool formatPieces(const RegisterCollection& registers, TavrelError* error, Put&& put) {
    for (const auto& [number, entry] : registers) {
        if (!checkCsvWritable(number, entry, error)) {
            return false;
        }
    }
    std::string piece;
    piece.reserve(PieceSize + 1024);
    piece += RegisterCsvHeader;
    piece += "\r\n";
    for (const auto& [number, entry] : registers) {
        putRow(number, entry, &piece);
        if (piece.size() >= PieceSize) {
            if (!put(piece)) {
                return false;
            }
            piece.clear();
        }
    }
    return put(piece);
}

// ---- Reading

// A cell's bytes: a view of the input's bytes at hand for a row read whole, else of `held`.
struct Cell {
    std::string_view text;
    std::string held;
    uint64_t line = 0;
};

enum class Record { Read, End, Malformed };

// Bytes a row is read ahead for: a register's row takes about 150.
constexpr size_t PlainRowBytes = 4096;

// Reads a CSV text a record at a time.
class CsvReader {
  public:
    CsvReader(TextInput& input, std::string* fault) : _in(input), _fault(fault) {}

    bool refuse(std::string fault) {
        if (_fault) {
            *_fault = std::move(fault);
        }
        return false;
    }

    // The next record's cells: the first *count of `cells`, whose other cells (kept for their
    // room) do not count. Malformed after saying why.
    Record read(std::vector<Cell>* cells, size_t* count) {
        *count = 0;
        if (_in.peek() < 0) {
            return Record::End;
        }
        _line = _in.line();
        _bytes = 0;
        if (readPlainRow(cells, count)) {
            return Record::Read;
        }
        for (;;) {
            if (*count == cells->size()) {
                cells->emplace_back();
            }
            Cell& cell = (*cells)[(*count)++];
            cell.held.clear();
            cell.line = _in.line();
            if (!readCell(&cell.held, *count)) {
                return Record::Malformed;
            }
            if (_in.take(',')) {
                continue;
            }
            takeLineEnd();
            for (size_t i = 0; i < *count; ++i) {
                (*cells)[i].text = (*cells)[i].held;
            }
            return Record::Read;
        }
    }

    uint64_t line() const { return _line; }

  private:
    void takeLineEnd() {
        _in.take('\r'); // CR LF, CR or LF
        _in.take('\n');
    }

    // The common row, read at once: wholly among the bytes at hand, its line end and the byte
    // after a CR included (so that taking the line end reads nothing more, and the cells, views
    // of those bytes, hold), with no double quote and no more bytes than a row may have. Any
    // other row is left for the reader below, a byte at a time, which reads this one alike.
    bool readPlainRow(std::vector<Cell>* cells, size_t* count) {
        const std::string_view bytes = _in.buffered(PlainRowBytes);
        // The first `c` from `from` up to `within`, else `within`: memchr looks at many bytes at
        // a time, and each search stays within the row.
        const auto find = [&bytes](char c, size_t within, size_t from = 0) {
            const void* at = std::memchr(bytes.data() + from, c, within - from);
            return at ? static_cast<size_t>(static_cast<const char*>(at) - bytes.data()) : within;
        };
        const size_t lineFeed = find('\n', bytes.size());
        const size_t end = find('\r', lineFeed);
        if (end == bytes.size() || (end + 1 == bytes.size() && bytes[end] == '\r') ||
            find('"', end) != end) {
            return false;
        }
        // Room for a register's row beforehand, so that the loop does not ask for it each cell.
        if (cells->size() < ColumnCount) {
            cells->resize(ColumnCount);
        }
        size_t room = cells->size();
        size_t cellBytes = 0;
        size_t column = 0;
        for (size_t start = 0;; ++column) {
            if (column == room) {
                cells->emplace_back();
                ++room;
            }
            size_t comma = start; // cells are short: a loop costs less than a call
            while (comma < end && bytes[comma] != ',') {
                ++comma;
            }
            Cell& cell = (*cells)[column];
            cell.text = bytes.substr(start, comma - start);
            cell.line = _line;
            cellBytes += cell.text.size();
            if (comma == end) {
                break;
            }
            start = comma + 1;
        }
        if (cellBytes > RegisterFileLineLimit) {
            return false;
        }
        *count = column + 1;
        _in.skip(end);
        takeLineEnd();
        return true;
    }

    bool take(std::string_view bytes, std::string* text) {
        _bytes += bytes.size();
        if (_bytes > RegisterFileLineLimit) {
            return refuse(registerLineFault(_line, {RegisterLineFault::Kind::TooLong, 0, 0}, {}));
        }
        *text += bytes;
        return true;
    }

    // The bytes up to the next one that `stop` takes, added to `text`.
    template <typename Stop> bool takeRun(Stop&& stop, std::string* text) {
        for (std::string_view run = _in.takeUntil(stop); !run.empty(); run = _in.takeUntil(stop)) {
            if (!take(run, text)) {
                return false;
            }
        }
        return true;
    }

    bool quoteFault(uint64_t line, size_t column) {
        return refuse(filledText(TAVREL_TEXT("Line %1, column %2: a quoted cell must end with a "
                                             "double quote before a comma or a line end."),
                                 {std::to_string(line), std::to_string(column)}));
    }

    bool readCell(std::string* text, size_t column) {
        const uint64_t line = _in.line();
        if (!_in.take('"')) {
            return takeRun([](unsigned char c) { return c == ',' || c == '\r' || c == '\n'; },
                           text);
        }
        for (;;) {
            if (!takeRun([](unsigned char c) { return c == '"' || c == '\r' || c == '\n'; },
                         text)) {
                return false;
            }
            const int c = _in.get();
            if (c < 0) {
                return quoteFault(line, column);
            }
            if (c == '"' && !_in.take('"')) {
                break;
            }
            const char byte = static_cast<char>(c);
            if (!take(std::string_view(&byte, 1), text)) {
                return false;
            }
        }
        const int next = _in.peek();
        return next < 0 || next == ',' || next == '\r' || next == '\n' || quoteFault(line, column);
    }

    TextInput& _in;
    std::string* _fault;
    uint64_t _line = 1;
    size_t _bytes = 0;
};

std::string columnsFault(uint64_t line) {
    return filledText(TAVREL_TEXT("Line %1: the header must name each of the columns %2 once."),
                      {std::to_string(line), std::string(RegisterCsvHeader)});
}

// The register line's field (1 to 15) of each column, from the header's names.
bool readHeader(CsvReader& reader, const std::vector<Cell>& cells, size_t count,
                std::vector<int>* fieldOfColumn) {
    std::array<bool, ColumnCount> named{};
    fieldOfColumn->clear();
    for (size_t i = 0; i < count; ++i) {
        const Cell& cell = cells[i];
        size_t field = 0;
        while (field < ColumnCount && ColumnNames[field] != cell.text) {
            ++field;
        }
        if (field == ColumnCount || named[field]) {
            return reader.refuse(columnsFault(reader.line()));
        }
        named[field] = true;
        fieldOfColumn->push_back(static_cast<int>(field + 1));
    }
    return fieldOfColumn->size() == ColumnCount || reader.refuse(columnsFault(reader.line()));
}

bool allEmpty(const std::vector<Cell>& cells, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (!cells[i].text.empty()) {
            return false;
        }
    }
    return true;
}

bool readCell(CsvReader& reader, const Cell& cell, size_t column, int field, int32_t* number,
              RegisterEntry* entry) {
    const std::string_view name = ColumnNames[static_cast<size_t>(field - 1)];
    if (cell.text.empty() && field >= FirstClipField) {
        entry->clips[static_cast<size_t>(field - FirstClipField)] = NoClipName;
        return true;
    }
    if (cell.text.empty() && field >= 2 && field <= 9) {
        records::VRG500_registerTime unset;
        unset.isNull = 1;
        entry->reg.*VRG500_registerTimes[field - 2] = unset;
        return true;
    }
    RegisterLineFault fault;
    if (!parseRegisterLineField(field, cell.text, number, entry, &fault)) {
        return reader.refuse(registerCellFault(cell.line, column, name, fault, cell.text));
    }
    return true;
}

bool parseRows(TextInput& input, RegisterCollection* registers, std::string* fault) {
    CsvReader reader(input, fault);
    std::vector<Cell> cells;
    size_t count = 0;
    std::vector<int> fieldOfColumn;
    if (input.take(ByteOrderMark[0]) &&
        !(input.take(ByteOrderMark[1]) && input.take(ByteOrderMark[2]))) {
        return reader.refuse(columnsFault(1));
    }
    Record record = reader.read(&cells, &count);
    if (record != Record::Read) {
        return record == Record::End && reader.refuse(columnsFault(1));
    }
    if (!readHeader(reader, cells, count, &fieldOfColumn)) {
        return false;
    }
    RegisterCollectionBuilder builder;
    RegisterNumberLines lineOf;
    size_t numberColumn = 0;
    while (fieldOfColumn[numberColumn] != 1) {
        ++numberColumn;
    }
    bool sized = false;
    for (uint64_t rowStart = input.offset(); (record = reader.read(&cells, &count)) == Record::Read;
         rowStart = input.offset()) {
        if (allEmpty(cells, count)) {
            continue;
        }
        if (!sized && input.expectedSize() > 0) { // the first row tells how long rows are
            builder.reserveFor(input.expectedSize() - std::min(input.expectedSize(), rowStart),
                               input.offset() - rowStart);
            sized = true;
        }
        if (count != ColumnCount) {
            return reader.refuse(
                filledText(TAVREL_TEXT("Line %1 has %2 columns; a register's row has %3."),
                           {std::to_string(reader.line()), std::to_string(count),
                            std::to_string(ColumnCount)}));
        }
        int32_t number = 0;
        RegisterEntry entry;
        for (size_t column = 0; column < ColumnCount; ++column) {
            if (!readCell(reader, cells[column], column + 1, fieldOfColumn[column], &number,
                          &entry)) {
                return false;
            }
        }
        uint64_t firstLine = 0;
        if (!lineOf.add(number, reader.line(), &firstLine)) {
            return reader.refuse(repeatedRegisterFault(cells[numberColumn].line, numberColumn + 1,
                                                       ColumnNames[0], number, firstLine));
        }
        if (registerLineLength(number, entry) > RegisterFileLineLimit) {
            return reader.refuse(registerLineFault(
                reader.line(), {RegisterLineFault::Kind::TooLongSaved, 0, 0}, {}));
        }
        builder.add(number, std::move(entry));
    }
    if (record == Record::Malformed) {
        return false;
    }
    *registers = builder.take();
    return true;
}

} // namespace

bool formatRegisterCsv(const RegisterCollection& registers, std::string* text, TavrelError* error) {
    return collectPieces(text, [&](auto&& sink) { return formatPieces(registers, error, sink); });
}

bool writeRegisterCsv(const std::string& path, const RegisterCollection& registers,
                      TavrelError* error, bool* wroteInPlace) {
    return writePieces(path, error, wroteInPlace,
                       [&](auto&& sink) { return formatPieces(registers, error, sink); });
}

bool parseRegisterCsv(TextInput& input, RegisterCollection* registers, std::string* fault) {
    RegisterCollection parsed;
    if (!parseRows(input, &parsed, fault)) {
        return false;
    }
    std::swap(*registers, parsed);
    return true;
}

bool parseRegisterCsv(std::string_view text, RegisterCollection* registers, std::string* fault) {
    TextInput input(text);
    return parseRegisterCsv(input, registers, fault);
}

bool readRegisterCsv(const std::string& path, RegisterCollection* registers, TavrelError* error) {
    RegisterCollection parsed;
    if (!readTextFile(
            path, TAVREL_TEXT("Error processing .csv file"),
            [&](TextInput& input, std::string* fault) {
                return parseRegisterCsv(input, &parsed, fault);
            },
            error)) {
        return false;
    }
    std::swap(*registers, parsed);
    return true;
}

} // namespace tavrel::files
