#include "AtomicFile.h"

#include "FileError.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes a descriptor when it goes out of scope, keeping errno as it was.
class DescriptorGuard {
  public:
    explicit DescriptorGuard(int fd) : _fd(fd) {}
    ~DescriptorGuard() {
        if (_fd >= 0) {
            int saved = errno;
            ::close(_fd);
            errno = saved;
        }
    }
    DescriptorGuard(const DescriptorGuard&) = delete;
    DescriptorGuard& operator=(const DescriptorGuard&) = delete;
    int get() const { return _fd; }

  private:
    int _fd;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// The file that a save replaces: the target of a symbolic link, else the path itself.
std::string resolvedTarget(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved)) {
            return resolved;
        }
    }
    return path;
}

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates a new, empty temporary file beside `target`; its mode is 0666 less the umask.
int createTemporaryBeside(const std::string& target, std::string* temporaryPath) {
    static thread_local std::mt19937 generator{std::random_device{}()};
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string folder = folderOf(target);
    size_t slash = target.rfind('/');
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix(8, 'x');
        for (char& c : suffix) {
            c = letters[generator() % (sizeof letters - 1)];
        }
        std::string candidate = folder + "/." + base + ".tmp-" + suffix;
        int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            *temporaryPath = candidate;
            return fd;
        }
        if (errno != EEXIST) {
            return -1;
        }
    }
    errno = EEXIST;
    return -1;
}

// Flushes the folder's entry for the renamed file; a failure here changes nothing for the
// caller, since the file itself is already complete under its name.
void syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool readWholeFile(const std::string& path, std::string* contents, TavrelError* error) {
    DescriptorGuard fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) {
        tavrelFileReadError(error, path, errno);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        tavrelFileReadError(error, path, EISDIR);
        return false;
    }
    std::string bytes;
    size_t expected = S_ISREG(info.st_mode) ? static_cast<size_t>(info.st_size) : 0;
    // One byte more than the size, so that the end of the file is seen by the same loop.
    bytes.resize(expected + 1);
    size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            bytes.resize(bytes.size() * 2 + 4096);
        }
        ssize_t got = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            tavrelFileReadError(error, path, errno);
            return false;
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<size_t>(got);
    }
    bytes.resize(filled);
    contents->swap(bytes);
    return true;
}

AtomicFileWriter::~AtomicFileWriter() {
    if (_fd >= 0) {
        ::close(_fd);
        if (!_direct) {
            ::unlink(_temporary.c_str());
        }
    }
}

bool AtomicFileWriter::open(TavrelError* error) {
    struct stat existing {};
    bool exists = ::stat(_path.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        tavrelFileWriteError(error, _path, EISDIR);
        return false;
    }
    if (exists && !S_ISREG(existing.st_mode)) {
        // A device, a pipe, a socket (-o /dev/stdout): nothing to replace, so write to it.
        return openDirect(error);
    }
    _target = resolvedTarget(_path);
    _fd = createTemporaryBeside(_target, &_temporary);
    if (_fd < 0) {
        tavrelFileWriteError(error, _path, errno);
        return false;
    }
    // An existing file keeps its permissions.
    if (exists && ::fchmod(_fd, existing.st_mode & 07777) != 0) {
        return fail(error);
    }
    return true;
}

bool AtomicFileWriter::openDirect(TavrelError* error) {
    _fd = ::open(_path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (_fd < 0) {
        tavrelFileWriteError(error, _path, errno);
        return false;
    }
    _direct = true;
    return true;
}

bool AtomicFileWriter::write(std::string_view bytes, TavrelError* error) {
    if (_fd < 0) {
        tavrelFileWriteError(error, _path, EBADF);
        return false;
    }
    return writeAll(_fd, bytes) || fail(error);
}

bool AtomicFileWriter::commit(TavrelError* error) {
    if (_fd < 0) {
        tavrelFileWriteError(error, _path, EBADF);
        return false;
    }
    if (_direct) {
        int fd = _fd;
        _fd = -1;
        if (::close(fd) != 0) {
            tavrelFileWriteError(error, _path, errno);
            return false;
        }
        return true;
    }
    if (::fsync(_fd) != 0) {
        return fail(error);
    }
    // A delayed write error can surface at close.
    int fd = _fd;
    _fd = -1;
    if (::close(fd) != 0 || ::rename(_temporary.c_str(), _target.c_str()) != 0) {
        int cause = errno;
        ::unlink(_temporary.c_str());
        tavrelFileWriteError(error, _path, cause);
        return false;
    }
    syncFolder(folderOf(_target));
    return true;
}

bool AtomicFileWriter::fail(TavrelError* error) {
    int cause = errno;
    ::close(_fd);
    _fd = -1;
    if (!_direct) {
        ::unlink(_temporary.c_str());
    }
    tavrelFileWriteError(error, _path, cause);
    return false;
}

bool checkFileWritable(const std::string& path, TavrelError* error) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode) &&
        !S_ISDIR(existing.st_mode)) {
        return true; // a device or a pipe: opening it to look could block or disturb it
    }
    AtomicFileWriter probe(path); // never committed: its temporary file goes away with it
    return probe.open(error);
}

bool writeFileAtomically(const std::string& path, std::string_view contents, TavrelError* error,
                         bool* wroteInPlace) {
    AtomicFileWriter writer(path);
    bool written = writer.open(error) && writer.write(contents, error) && writer.commit(error);
    if (written && wroteInPlace) {
        *wroteInPlace = writer.writesInPlace();
    }
    return written;
}
