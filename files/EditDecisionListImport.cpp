#include "EditDecisionListImport.h"

#include "EditDecisionListReader.h"
#include "FileError.h"
#include "TextTemplate.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrel::files {

using records::TavrelError;

namespace {

constexpr size_t PieceSize = 256 * 1024;

} // namespace

bool parseEditDecisionList(std::string_view text, RegisterCollection* registers, std::string* fault,
                           int32_t firstRegister) {
    EdlReader reader(firstRegister);
    reader.reserveFor(text.size());
    if (reader.take(text) && reader.finish(registers)) {
        return true;
    }
    if (fault) {
        *fault = reader.fault();
    }
    return false;
}

bool readEditDecisionList(const std::string& path, RegisterCollection* registers,
                          TavrelError* error, int32_t firstRegister) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        tavrelFileReadError(error, path, errno);
        return false;
    }
    struct stat info {};
    int unreadable = ::fstat(fd, &info) != 0 ? errno : S_ISDIR(info.st_mode) ? EISDIR : 0;
    EdlReader reader(firstRegister);
    if (unreadable == 0 && S_ISREG(info.st_mode)) {
        reader.reserveFor(static_cast<size_t>(info.st_size));
    }
    std::string piece(PieceSize, '\0');
    bool taken = true;
    while (unreadable == 0 && taken) {
        // A signal that interrupts a read ends it: the reader is being stopped.
        const ssize_t got = ::read(fd, piece.data(), piece.size());
        if (got <= 0) {
            unreadable = got < 0 ? errno : 0;
            break;
        }
        taken = reader.take(std::string_view(piece.data(), static_cast<size_t>(got)));
    }
    ::close(fd);
    if (unreadable != 0) {
        tavrelFileReadError(error, path, unreadable);
        return false;
    }
    RegisterCollection parsed;
    if (!taken || !reader.finish(&parsed)) {
        tavrelFileFormatError(
            error, TAVREL_TEXT("Error processing .edl file"),
            records::filledText(TAVREL_TEXT("The file %1 is malformed and could not be processed."),
                                {fileNameInText(path)}));
        if (error) {
            error->detail = reader.fault();
        }
        return false;
    }
    std::swap(*registers, parsed);
    return true;
}

} // namespace tavrel::files
