#include "TextInput.h"

#include "FileError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrel::files {

namespace {

// Pieces of this size: large enough that reading costs little beside parsing.
constexpr size_t PieceSize = 64 * 1024;

} // namespace

bool readTextFile(const std::string& path, const char* description, const TextParse& parse,
                  records::TavrelError* error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        tavrelFileReadError(error, path, errno);
        return false;
    }
    struct stat info {};
    const int unreadable = ::fstat(fd, &info) != 0 ? errno : S_ISDIR(info.st_mode) ? EISDIR : 0;
    if (unreadable != 0) {
        ::close(fd);
        tavrelFileReadError(error, path, unreadable);
        return false;
    }
    TextInput input([fd](char* buffer, size_t capacity) { return ::read(fd, buffer, capacity); },
                    PieceSize);
    if (S_ISREG(info.st_mode)) {
        input.expectSize(static_cast<uint64_t>(info.st_size));
    }
    std::string fault;
    const bool parsed = parse(input, &fault);
    const int cause = errno;
    ::close(fd);
    if (input.readFailed()) {
        tavrelFileReadError(error, path, cause);
        return false;
    }
    if (!parsed) {
        tavrelMalformedFileError(error, description, path, std::move(fault));
    }
    return parsed;
}

} // namespace tavrel::files
