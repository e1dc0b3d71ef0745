#include "RegisterFile.h"

#include "FileError.h"
#include "RegisterFilePieces.h"
#include "RegisterFileScanner.h"
#include "TavrelSocket.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Lines are at least about 110 bytes long: room for this many is enough, and not much more.
constexpr size_t ShortestLine = 110;
// The piece of the file read at a time.
constexpr size_t PieceSize = 256 * 1024;

std::string clipFromField(std::string_view field) {
    if (field == "        ") {
        return NoClipName;
    }
    return std::string(field);
}

bool scanTime(RegisterFileScanner& scanner, VRG500_registerTime* time) {
    std::string_view field;
    return scanner.scanUpTo(',', &field) && TavrelSocket::setRegisterTime(time, field) &&
           scanner.scanChar(',');
}

bool scanTrailingByte(RegisterFileScanner& scanner, uint8_t* byte) {
    int32_t value = 0;
    if (!scanner.scanInt(&value) || !scanner.scanChar(',')) {
        return false;
    }
    *byte = static_cast<uint8_t>(static_cast<uint32_t>(value) & 0xFF);
    return true;
}

// One line: number, eight times, two trailing bytes, four clip names, then the line ends.
bool scanLine(RegisterFileScanner& scanner, int32_t* number, RegisterEntry* entry) {
    if (!scanner.scanInt(number) || !scanner.scanChar(',')) {
        return false;
    }
    for (auto time : VRG500_registerTimes) {
        if (!scanTime(scanner, &(entry->reg.*time))) {
            return false;
        }
    }
    if (!scanTrailingByte(scanner, &entry->reg.trailingByte1) ||
        !scanTrailingByte(scanner, &entry->reg.trailingByte2)) {
        return false;
    }
    std::string_view field;
    for (size_t machine = 0; machine < 3; ++machine) {
        if (!scanner.scanUpTo(',', &field) || !scanner.scanChar(',')) {
            return false;
        }
        entry->clips[machine] = clipFromField(field);
    }
    if (!scanner.scanUpToLineEnd(&field)) {
        return false;
    }
    entry->clips[3] = clipFromField(field);
    return scanner.atEnd() || scanner.scanLineEnds();
}

// Parses the lines of `text` into `parsed`. Unless `final`, more bytes follow `text`: a line
// that runs into its end is left for the next call. False for a malformed line; *consumed counts
// the bytes of the lines taken.
bool parseLines(std::string_view text, bool final, RegisterCollection* parsed, size_t* consumed) {
    RegisterFileScanner scanner(text);
    *consumed = 0;
    for (;;) {
        scanner.clearTouchedEnd();
        if (scanner.atEnd()) {
            return true;
        }
        int32_t number = 0;
        RegisterEntry entry;
        bool complete = scanLine(scanner, &number, &entry);
        if (!final && scanner.touchedEnd()) {
            return true;
        }
        if (!complete) {
            return false;
        }
        parsed->set(number, std::move(entry));
        *consumed = scanner.position();
    }
}

// Reads into `buffer` after its first `*filled` bytes until it is full or the source ends.
bool fillBuffer(const PieceSource& source, std::string* buffer, size_t* filled, bool* ended) {
    while (*filled < buffer->size()) {
        ssize_t got = source(buffer->data() + *filled, buffer->size() - *filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
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
                                   RegisterCollection* parsed) {
    std::string buffer(std::max<size_t>(pieceSize, 1), '\0');
    size_t filled = 0;
    bool ended = false;
    for (;;) {
        if (!fillBuffer(source, &buffer, &filled, &ended)) {
            return PieceParse::ReadFailed;
        }
        size_t consumed = 0;
        if (!parseLines(std::string_view(buffer.data(), filled), ended, parsed, &consumed)) {
            return PieceParse::Malformed;
        }
        if (ended) {
            return PieceParse::Parsed;
        }
        std::memmove(buffer.data(), buffer.data() + consumed, filled - consumed);
        filled -= consumed;
        if (filled == buffer.size()) {
            buffer.resize(buffer.size() * 2); // one line longer than the buffer
        }
    }
}

bool parseRegisterFile(std::string_view text, RegisterCollection* registers) {
    RegisterCollection parsed;
    parsed.reserve(text.size() / ShortestLine + 1);
    size_t consumed = 0;
    if (!parseLines(text, true, &parsed, &consumed)) {
        return false;
    }
    std::swap(*registers, parsed);
    return true;
}

bool readRegisterFile(const std::string& path, RegisterCollection* registers, TavrelError* error) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
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
    if (S_ISREG(info.st_mode)) {
        parsed.reserve(static_cast<size_t>(info.st_size) / ShortestLine + 1);
    }
    // The file's text is never held whole: it is parsed a piece at a time.
    PieceParse result = parseRegisterFilePieces(
        [fd](char* buffer, size_t capacity) { return ::read(fd, buffer, capacity); }, PieceSize,
        &parsed);
    int cause = errno;
    ::close(fd);
    if (result == PieceParse::ReadFailed) {
        tavrelFileReadError(error, path, cause);
    } else if (result == PieceParse::Malformed) {
        tavrelFileFormatError(error, "Error processing .vg2 file",
                              "The file " + fileDisplayName(path) +
                                  " is malformed and could not be processed.");
    } else {
        std::swap(*registers, parsed);
    }
    return result == PieceParse::Parsed;
}
