#include "AtomicFile.h"

#include "FileError.h"
#include "TextTemplate.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tavrel::files {

using records::filledText;

using records::TavrelError;

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

// A signal that interrupts a write ends the save: whoever sent it (Ctrl-C in tavrelctl) wants
// it to stop, and a write blocked on a pipe nobody reads would otherwise wait for ever.
bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written <= 0) {
            if (written == 0) {
                errno = EIO;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The folder of `path` as a person would look for it: the current folder named in full.
std::string folderForPerson(const std::string& path) {
    std::string folder = folderOf(path);
    if (folder == ".") {
        char current[PATH_MAX];
        if (::getcwd(current, sizeof current)) {
            return current;
        }
    }
    return folder;
}

// The descriptor that a name of an open descriptor stands for, else -1.
int namedDescriptor(std::string_view path) {
    if (path == "/dev/stdout") {
        return STDOUT_FILENO;
    }
    if (path == "/dev/stderr") {
        return STDERR_FILENO;
    }
    for (std::string_view prefix :
         {std::string_view("/dev/fd/"), std::string_view("/proc/self/fd/")}) {
        if (path.substr(0, prefix.size()) != prefix) {
            continue;
        }
        std::string_view digits = path.substr(prefix.size());
        int fd = -1;
        const char* end = digits.data() + digits.size();
        if (!digits.empty() && digits[0] >= '0' && digits[0] <= '9' &&
            std::from_chars(digits.data(), end, fd).ptr == end) {
            return fd;
        }
    }
    return -1;
}

// The path of the file open as `fd`, as the kernel reached it, provided that path still names
// that very file. Never worked out by hand from the links on the way: the kernel's answer is the
// one its link protections were applied to.
std::optional<std::string> pathOfDescriptor(int fd, const struct stat& info) {
    char link[48];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    std::string resolved(PATH_MAX, '\0');
    ssize_t length = ::readlink(link, resolved.data(), resolved.size());
    if (length <= 0 || static_cast<size_t>(length) >= resolved.size() || resolved[0] != '/') {
        return std::nullopt;
    }
    resolved.resize(static_cast<size_t>(length));
    struct stat named {};
    if (::lstat(resolved.c_str(), &named) != 0 || named.st_dev != info.st_dev ||
        named.st_ino != info.st_ino) {
        return std::nullopt;
    }
    return resolved;
}

// Creates a new, empty temporary file beside `target`; its mode is 0666 less the umask. Its name
// keeps as much of the target's name as fits in the 255 bytes a folder entry allows.
int createTemporaryBeside(const std::string& target, std::string* temporaryPath) {
    static thread_local std::mt19937 generator{std::random_device{}()};
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    static constexpr size_t NameMax = 255;
    static constexpr std::string_view Marker = ".tmp-";
    static constexpr size_t SuffixLength = 8;
    std::string folder = folderOf(target);
    size_t slash = target.rfind('/');
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    base.resize(std::min(base.size(), NameMax - 1 - Marker.size() - SuffixLength));
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix(SuffixLength, 'x');
        for (char& c : suffix) {
            c = letters[generator() % (sizeof letters - 1)];
        }
        std::string candidate = folder + "/." + base + std::string(Marker) + suffix;
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

// Gives a new file the group and permissions of the one it replaces. Fails (EPERM) when the
// group is one the user may not give.
bool takeAttributes(int fd, const struct stat& existing) {
    struct stat made {};
    if (::fstat(fd, &made) != 0) {
        return false;
    }
    if (made.st_gid != existing.st_gid &&
        ::fchown(fd, static_cast<uid_t>(-1), existing.st_gid) != 0) {
        return false;
    }
    return ::fchmod(fd, existing.st_mode & 07777) == 0;
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

BoundedRead readFileUpTo(const std::string& path, size_t limit, std::string* contents,
                         TavrelError* error) {
    DescriptorGuard fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    struct stat info {};
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) {
        tavrelFileReadError(error, path, errno);
        return BoundedRead::Failed;
    }
    if (S_ISDIR(info.st_mode)) {
        tavrelFileReadError(error, path, EISDIR);
        return BoundedRead::Failed;
    }
    size_t announced = S_ISREG(info.st_mode) ? static_cast<size_t>(info.st_size) : 0;
    if (announced > limit) {
        return BoundedRead::TooLarge;
    }
    // Room for one byte past the limit tells a file of exactly `limit` bytes from a larger one,
    // and one byte past the announced size sees the end of the file in the same loop.
    std::string bytes;
    size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > limit) {
                return BoundedRead::TooLarge;
            }
            bytes.resize(std::min(limit + 1, std::max({filled * 2, announced + 1, size_t{4096}})));
        }
        ssize_t got = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            tavrelFileReadError(error, path, errno);
            return BoundedRead::Failed;
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<size_t>(got);
    }
    if (filled > limit) {
        return BoundedRead::TooLarge;
    }
    bytes.resize(filled);
    contents->swap(bytes);
    return BoundedRead::Read;
}

AtomicFileWriter::~AtomicFileWriter() {
    discard();
}

bool AtomicFileWriter::open(TavrelError* error) {
    return prepare(false, error);
}

// `probe` (checkFileWritable) makes the same choices without opening a device or a pipe and
// without blocking; whatever it makes is removed by discard().
bool AtomicFileWriter::prepare(bool probe, TavrelError* error) {
    int named = namedDescriptor(_path);
    if (named >= 0) {
        return openNamedDescriptor(named, probe, error);
    }
    struct stat existing {};
    if (probe && ::stat(_path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode) &&
        !S_ISDIR(existing.st_mode)) {
        // Opening a FIFO waits for a reader, and its reader sees the end of its input when the
        // probe closes it; a device may react to being opened. The kernel's permission check
        // for the caller's effective ids stands in for the open.
        if (::faccessat(AT_FDCWD, _path.c_str(), W_OK, AT_EACCESS) != 0) {
            tavrelFileWriteError(error, _path, errno);
            return false;
        }
        return true;
    }
    // As a redirection opens it, but without truncating: the file may yet be replaced whole.
    int fd = ::open(_path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | (probe ? O_NONBLOCK : 0));
    if (fd < 0) {
        if (errno == ENOENT) {
            return openMissing(probe, error);
        }
        tavrelFileWriteError(error, _path, errno);
        return false;
    }
    return adoptOpened(fd, error);
}

bool AtomicFileWriter::openNamedDescriptor(int named, bool probe, TavrelError* error) {
    int flags = ::fcntl(named, F_GETFL);
    if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY || (flags & O_PATH) != 0) {
        tavrelFileWriteError(error, _path, flags < 0 ? errno : EBADF);
        return false;
    }
    if (probe) {
        return true;
    }
    // A duplicate shares the position and the append mode of the original; what the shell
    // opened it with (truncating or appending) was what the user asked for.
    _fd = ::fcntl(named, F_DUPFD_CLOEXEC, 0);
    if (_fd < 0) {
        tavrelFileWriteError(error, _path, errno);
        return false;
    }
    _mode = Mode::Direct;
    return true;
}

bool AtomicFileWriter::openMissing(bool probe, TavrelError* error) {
    struct stat link {};
    if (::lstat(_path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        // A dangling link: its target is created through it, as a redirection would create it.
        int fd = ::open(_path.c_str(),
                        O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | (probe ? O_NONBLOCK : 0), 0666);
        if (fd < 0) {
            tavrelFileWriteError(error, _path, errno);
            return false;
        }
        _createdTarget = true;
        return adoptOpened(fd, error);
    }
    // Nothing there: the rename at commit creates the file.
    _target = _path;
    if (!openTemporary(nullptr)) {
        int cause = errno;
        tavrelFileWriteError(error, _path, cause,
                             cause == EACCES || cause == EPERM
                                 ? filledText(TAVREL_TEXT("The folder %1 is not writable."),
                                              {folderForPerson(_path)})
                                 : std::string());
        return false;
    }
    _mode = Mode::Replace;
    return true;
}

bool AtomicFileWriter::adoptOpened(int fd, TavrelError* error) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        int cause = errno;
        ::close(fd);
        tavrelFileWriteError(error, _path, cause);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        // A device or a pipe: nothing to replace, and renaming over it would remove the node.
        _fd = fd;
        _mode = Mode::Direct;
        return true;
    }
    _createdDevice = info.st_dev;
    _createdInode = info.st_ino;
    std::optional<std::string> real = pathOfDescriptor(fd, info);
    _target = real.value_or(std::string());
    // A new file in its place would cut the file's other hard links off, or take it from its
    // owner; without the file's real path there is nowhere safe to put one.
    if (real && info.st_nlink == 1 && info.st_uid == ::geteuid()) {
        if (openTemporary(&info)) {
            ::close(fd);
            _mode = Mode::Replace;
            return true;
        }
        int cause = errno;
        if (cause != EACCES && cause != EPERM) {
            ::close(fd);
            tavrelFileWriteError(error, _path, cause);
            return false;
        }
        // The folder takes no new file, or the new file could not take the file's group: the
        // file itself may still be written.
    }
    _fd = fd;
    _mode = Mode::InPlace;
    return true;
}

bool AtomicFileWriter::openTemporary(const struct stat* existing) {
    int fd = createTemporaryBeside(_target, &_temporary);
    if (fd < 0) {
        return false;
    }
    if (existing && !takeAttributes(fd, *existing)) {
        int cause = errno;
        ::close(fd);
        ::unlink(_temporary.c_str());
        _temporary.clear();
        errno = cause;
        return false;
    }
    _fd = fd;
    return true;
}

// In place the old bytes go only when the new ones are ready to follow, and never for a probe.
bool AtomicFileWriter::truncateOnce() {
    if (_mode != Mode::InPlace || _truncated) {
        return true;
    }
    _truncated = true;
    return ::ftruncate(_fd, 0) == 0;
}

bool AtomicFileWriter::write(std::string_view bytes, TavrelError* error) {
    if (_fd < 0) {
        tavrelFileWriteError(error, _path, EBADF);
        return false;
    }
    return (truncateOnce() && writeAll(_fd, bytes)) || fail(error);
}

bool AtomicFileWriter::commit(TavrelError* error) {
    if (_fd < 0) {
        tavrelFileWriteError(error, _path, EBADF);
        return false;
    }
    if (!truncateOnce()) {
        return fail(error);
    }
    // A pipe or a device has nothing to flush to a disk.
    if (_mode != Mode::Direct && ::fsync(_fd) != 0) {
        return fail(error);
    }
    // A delayed write error can surface at close.
    if (::close(std::exchange(_fd, -1)) != 0) {
        return fail(error);
    }
    if (_mode == Mode::Replace) {
        if (::rename(_temporary.c_str(), _target.c_str()) != 0) {
            return fail(error);
        }
        _temporary.clear();
        syncFolder(folderOf(_target));
    }
    _committed = true;
    return true;
}

// Undoes what an uncommitted save made: its temporary file, a target it created.
void AtomicFileWriter::discard() {
    if (_fd >= 0) {
        ::close(std::exchange(_fd, -1));
    }
    if (!_temporary.empty()) {
        ::unlink(_temporary.c_str());
        _temporary.clear();
    }
    struct stat info {};
    if (_createdTarget && !_committed && !_target.empty() && ::lstat(_target.c_str(), &info) == 0 &&
        info.st_dev == _createdDevice && info.st_ino == _createdInode) {
        ::unlink(_target.c_str());
    }
    _createdTarget = false;
}

bool AtomicFileWriter::fail(TavrelError* error) {
    int cause = errno;
    discard();
    tavrelFileWriteError(error, _path, cause);
    return false;
}

bool checkFileWritable(const std::string& path, TavrelError* error) {
    AtomicFileWriter probe(path); // never committed: whatever it makes goes away with it
    return probe.prepare(true, error);
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

} // namespace tavrel::files
