#include "RegisterFile.h"

#include "FileError.h"
#include "RegisterCollectionBuilder.h"
#include "RegisterDetailLine.h"
#include "RegisterFileFault.h"
#include "RegisterFilePieces.h"
#include "RegisterFileScanner.h"
#include "RegisterLine.h"
#include "TextTemplate.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrel::files {

using records::RegisterEntry;
using records::TavrelError;

namespace {

// Lines are at least about 110 bytes long: room for this many is enough, and not much more.
constexpr size_t ShortestLine = 110;
// Room made beforehand for no more entries than a device holds: a file that claims more by its
// size makes the collection grow as its lines prove it.
constexpr size_t MostReserved = 65536;
// The piece of the file read at a time. Larger than the longest line, so a line always fits.
constexpr size_t PieceSize = 256 * 1024;
static_assert(PieceSize > RegisterFileLineLimit);

size_t reservationFor(size_t bytes) {
    return std::min(bytes / ShortestLine + 1, MostReserved);
}

// What the reader knows of the lines before the current piece.
struct LinesRead {
    bool afterLine = false; // a line has been read: blank lines may follow one, never start a file
    bool exact = false;     // the file began with the exact header
    std::optional<RegisterDetail> detail; // read, waiting for its register's line
    uint64_t line = 1;                    // the number of the line being read
    bool afterCR = false;         // the last byte taken was a CR: an LF right after it ends no line
    uint64_t detailLine = 0;      // the line of `detail`
    std::string* fault = nullptr; // what is wrong with a malformed file, when wanted
};

bool refuse(LinesRead* read, std::string fault) {
    if (read->fault) {
        *read->fault = std::move(fault);
    }
    return false;
}

// Counts the lines that the line ends in `ends` close: CR LF, a lone LF, a lone CR.
void countLineEnds(std::string_view ends, LinesRead* read) {
    for (char c : ends) {
        if (c == '\r' || !read->afterCR) {
            ++read->line;
        }
        read->afterCR = c == '\r';
    }
}

// A line that starts with "#": the exact header as the file's first line, or in an exact file a
// register's detail line, which the register's own line must follow.
bool takeCommentLine(std::string_view line, LinesRead* read) {
    if (!read->afterLine) {
        read->exact = line == ExactRegisterFileHeader;
        return read->exact || refuse(read, notTheHeaderFault(line));
    }
    RegisterDetail detail;
    if (!read->exact) {
        return refuse(read, commentWithoutHeaderFault(read->line));
    }
    if (read->detail) {
        return refuse(read, secondDetailLineFault(read->line, read->detailLine));
    }
    if (!parseRegisterDetailLine(line, &detail)) {
        return refuse(read, notADetailLineFault(read->line, line));
    }
    read->detail = detail;
    read->detailLine = read->line;
    return true;
}

// Gives the register of the line just read the detail line before it, if any.
bool takeDetail(int32_t number, RegisterEntry* entry, LinesRead* read) {
    if (!read->detail) {
        return true;
    }
    if (read->detail->number != number) {
        return refuse(
            read, otherRegisterFault(read->line, number, read->detailLine, read->detail->number));
    }
    if (!applyRegisterDetail(*read->detail, number, entry)) {
        return refuse(read, disagreesWithDetailFault(read->line, read->detailLine));
    }
    read->detail.reset();
    return true;
}

// Whether a line starting at `start` that a scan refused is at hand whole: if not, the reader
// waits for more bytes before it says what is wrong, so that it quotes the field whole.
bool wholeLineAtHand(std::string_view text, size_t start, bool final) {
    return final || text.find_first_of("\r\n", start) != std::string_view::npos;
}

// Parses the lines of `text` into `parsed`. Unless `final`, more bytes follow `text`: a line
// that runs into its end is left for the next call. False for a malformed line, or one longer
// than the limit (known as soon as that many bytes of it are at hand); *consumed counts the
// bytes of the lines taken. `read` carries what is known from one call to the next.
bool parseLines(std::string_view text, bool final, LinesRead* read,
                RegisterCollectionBuilder* parsed, size_t* consumed) {
    RegisterFileScanner scanner(text);
    *consumed = 0;
    const RegisterLineFault tooLong{RegisterLineFault::Kind::TooLong, 0, 0};
    for (;;) {
        if (read->afterLine) {
            size_t from = scanner.position();
            scanner.skipLineEnds();
            countLineEnds(text.substr(from, scanner.position() - from), read);
            *consumed = scanner.position();
        }
        scanner.clearTouchedEnd();
        if (scanner.atEnd()) {
            // A detail line must be followed by its register's.
            return !final || !read->detail ||
                   refuse(read, endAfterDetailLineFault(read->detailLine));
        }
        size_t start = scanner.position();
        if (!read->afterLine && scanner.atLineEnd()) {
            return refuse(read, emptyFirstLineFault());
        }
        if (text[start] == '#') {
            std::string_view line;
            scanner.scanUpToLineEnd(&line);
            if (!final && scanner.touchedEnd()) {
                return text.size() - start <= RegisterFileLineLimit ||
                       refuse(read, registerLineFault(read->line, tooLong, {}));
            }
            if (!takeCommentLine(line, read)) {
                return false;
            }
            read->afterLine = true;
            read->afterCR = false;
            *consumed = scanner.position();
            continue;
        }
        int32_t number = 0;
        RegisterEntry entry;
        RegisterLineFault fault;
        bool complete = scanRegisterLine(scanner, &number, &entry, read->exact, &fault);
        bool atHand =
            complete ? final || !scanner.touchedEnd() : wholeLineAtHand(text, start, final);
        if (!atHand) {
            return text.size() - start <= RegisterFileLineLimit ||
                   refuse(read, registerLineFault(read->line, tooLong, {}));
        }
        if (!complete) {
            return refuse(
                read, registerLineFault(read->line, fault, scanner.fieldFrom(fault.fieldStart)));
        }
        if (!takeDetail(number, &entry, read)) {
            return false;
        }
        parsed->add(number, std::move(entry));
        read->afterLine = true;
        read->afterCR = false;
        *consumed = scanner.position();
    }
}

// Reads into `buffer` after its first `*filled` bytes until it is full or the source ends.
bool fillBuffer(const PieceSource& source, std::string* buffer, size_t* filled, bool* ended) {
    while (*filled < buffer->size()) {
        // A signal that interrupts a read ends it: the reader is being stopped.
        ssize_t got = source(buffer->data() + *filled, buffer->size() - *filled);
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            *ended = true;
            return true;
        }
        *filled += static_cast<size_t>(got);
    }
    return true;
}

} // namespace

PieceParse parseRegisterFilePieces(const PieceSource& source, size_t pieceSize,
                                   RegisterCollection* parsed, size_t expectedEntries,
                                   std::string* fault) {
    std::string buffer(std::max<size_t>(pieceSize, 1), '\0');
    size_t filled = 0;
    bool ended = false;
    LinesRead read;
    read.fault = fault;
    RegisterCollectionBuilder builder;
    builder.reserve(expectedEntries);
    for (;;) {
        if (!fillBuffer(source, &buffer, &filled, &ended)) {
            return PieceParse::ReadFailed;
        }
        size_t consumed = 0;
        if (!parseLines(std::string_view(buffer.data(), filled), ended, &read, &builder,
                        &consumed)) {
            return PieceParse::Malformed;
        }
        if (ended) {
            *parsed = builder.take();
            return PieceParse::Parsed;
        }
        std::memmove(buffer.data(), buffer.data() + consumed, filled - consumed);
        filled -= consumed;
        if (filled == buffer.size()) {
            // One line longer than the buffer, though within the line limit.
            buffer.resize(buffer.size() * 2);
        }
    }
}

bool parseRegisterFile(std::string_view text, RegisterCollection* registers, std::string* fault) {
    RegisterCollectionBuilder builder;
    builder.reserve(reservationFor(text.size()));
    LinesRead read;
    read.fault = fault;
    size_t consumed = 0;
    if (!parseLines(text, true, &read, &builder, &consumed)) {
        return false;
    }
    *registers = builder.take();
    return true;
}

bool readRegisterFile(const std::string& path, RegisterCollection* registers, TavrelError* error) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        tavrelFileReadError(error, path, errno);
        return false;
    }
    struct stat info {};
    int unreadable = ::fstat(fd, &info) != 0 ? errno : S_ISDIR(info.st_mode) ? EISDIR : 0;
    if (unreadable != 0) {
        ::close(fd);
        tavrelFileReadError(error, path, unreadable);
        return false;
    }
    RegisterCollection parsed;
    std::string fault;
    // The file's text is never held whole: it is parsed a piece at a time.
    PieceParse result = parseRegisterFilePieces(
        [fd](char* buffer, size_t capacity) { return ::read(fd, buffer, capacity); }, PieceSize,
        &parsed, S_ISREG(info.st_mode) ? reservationFor(static_cast<size_t>(info.st_size)) : 0,
        &fault);
    int cause = errno;
    ::close(fd);
    if (result == PieceParse::ReadFailed) {
        tavrelFileReadError(error, path, cause);
    } else if (result == PieceParse::Malformed) {
        tavrelMalformedFileError(error, TAVREL_TEXT("Error processing .vg2 file"), path,
                                 std::move(fault));
    } else {
        std::swap(*registers, parsed);
    }
    return result == PieceParse::Parsed;
}

} // namespace tavrel::files
