// Bounded whole-file reads, and saves that behave like a shell redirection but replace the file
// all at once wherever that loses nothing: a failed or interrupted save then leaves no damaged
// or half-written file behind.
#pragma once

#include "TavrelError.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>

namespace tavrel::files {

enum class BoundedRead { Read, TooLarge, Failed };

// Reads the whole file when it holds at most `limit` bytes. A larger regular file is refused
// before reading; a pipe or a device is read in pieces and refused as soon as it sends more, so
// the input costs no more memory than the limit. On Failed `error` holds the system's reason; on
// TooLarge it is left alone (the caller names its own format). *contents changes only on Read.
BoundedRead readFileUpTo(const std::string& path, size_t limit, std::string* contents,
                         records::TavrelError* error = nullptr);

// A file being saved piece by piece. open() opens the path as the kernel resolves it (symbolic
// links, and the kernel's protections on them, included), then chooses how to save:
//  - a regular file, or a new one: the bytes go to a temporary file beside the file the path
//    reaches, and commit() flushes it and renames it over that file. An existing file keeps its
//    permissions and group. A dangling link creates its target, as a redirection would.
//  - in place (writesInPlace()), truncating it at the first write: when replacing would lose
//    something (more than one hard link, another owner, a group the new file cannot take) or its
//    folder takes no new file while the file itself may be written.
//  - directly, without truncating: a device or a pipe, which renaming would remove, and the
//    names of a descriptor already open (/dev/stdout, /dev/stderr, /dev/fd/N, /proc/self/fd/N),
//    written through that descriptor at its position and in its append mode.
// An existing file that may not be written is refused, as the shell would refuse it. A writer
// destroyed without a successful commit removes its temporary file (and a file it created) and
// leaves the target as it was; only in place can a failed save have changed the file. A signal
// that interrupts the open or a write ends the save with EINTR. Errors name `path`.
class AtomicFileWriter {
  public:
    explicit AtomicFileWriter(std::string path) : _path(std::move(path)) {}
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool open(records::TavrelError* error = nullptr);
    bool write(std::string_view bytes, records::TavrelError* error = nullptr);
    // Flushes the bytes to the disk and puts them in place (a rename, unless in place or direct).
    bool commit(records::TavrelError* error = nullptr);

    bool writesInPlace() const { return _mode == Mode::InPlace; }

  private:
    enum class Mode { Closed, Replace, InPlace, Direct };

    friend bool checkFileWritable(const std::string& path, records::TavrelError* error);

    bool prepare(bool probe, records::TavrelError* error);
    bool openNamedDescriptor(int named, bool probe, records::TavrelError* error);
    bool openMissing(bool probe, records::TavrelError* error);
    bool adoptOpened(int fd, records::TavrelError* error);
    bool openTemporary(const struct stat* existing);
    bool truncateOnce();
    void discard();
    bool fail(records::TavrelError* error);

    std::string _path;
    std::string _target; // the file the path reaches, where the temporary file goes
    std::string _temporary;
    int _fd = -1;
    Mode _mode = Mode::Closed;
    bool _truncated = false;
    bool _committed = false;
    // A file this writer created through a dangling link, removed again unless committed.
    bool _createdTarget = false;
    dev_t _createdDevice = 0;
    ino_t _createdInode = 0;
};

// Whether a save to `path` would start: the same choices as AtomicFileWriter::open, with nothing
// at `path` changed (a temporary file, or a target made through a dangling link, is made and
// removed at once). A device or a pipe is not opened, so this never blocks on a FIFO waiting for
// a reader, nor disturbs a device. Lets a long download find an unusable output before it begins.
bool checkFileWritable(const std::string& path, records::TavrelError* error = nullptr);

// Saves `contents` to `path` with an AtomicFileWriter. *wroteInPlace (when given) tells, after
// a successful save, whether the file was written in place.
bool writeFileAtomically(const std::string& path, std::string_view contents,
                         records::TavrelError* error = nullptr, bool* wroteInPlace = nullptr);

} // namespace tavrel::files
