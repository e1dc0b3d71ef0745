// Whole-file reads and all-or-nothing writes. A write goes to a temporary file in the target's
// folder, is flushed to the disk, and only then renamed over the target, so a failed or
// interrupted save never leaves a damaged or half-written file behind.
#pragma once

#include "TavrelError.h"

#include <string>
#include <string_view>

// Reads the whole file. On failure *contents is unchanged and `error` holds the system's reason.
bool readWholeFile(const std::string& path, std::string* contents, TavrelError* error = nullptr);

// A file being replaced piece by piece: the bytes go to a temporary file beside the target, and
// commit() makes them the target's contents at once. A writer destroyed without a successful
// commit removes its temporary file and leaves the target as it was. Errors name `path`.
// A target that exists but is no regular file (a device, a pipe) is written directly: there is
// nothing to replace, and renaming over it would remove the device node itself.
class AtomicFileWriter {
  public:
    explicit AtomicFileWriter(std::string path) : _path(std::move(path)) {}
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool open(TavrelError* error = nullptr);
    bool write(std::string_view bytes, TavrelError* error = nullptr);
    // Flushes the bytes to the disk and renames the temporary file over the target.
    bool commit(TavrelError* error = nullptr);
    // Whether the bytes go into the existing file itself rather than a replacement of it.
    bool writesInPlace() const { return _inPlace; }

  private:
    bool openDirect(TavrelError* error);
    bool fail(TavrelError* error);

    std::string _path;
    std::string _target;
    std::string _temporary;
    int _fd = -1;
    bool _direct = false;
    bool _inPlace = false;
};

// Whether a write to `path` could start: the target is no folder and a temporary file can be
// made beside it (made and removed at once). Nothing at `path` changes. Lets a long download
// find an unusable output before it begins rather than after it has finished.
bool checkFileWritable(const std::string& path, TavrelError* error = nullptr);

// Replaces the file at `path` (or creates it) with `contents`. An existing file keeps its
// permissions; a new one gets the usual 0666 less the umask. A symbolic link is followed, so the
// file it points to is replaced and the link stays. On failure the target is as it was.
bool writeFileAtomically(const std::string& path, std::string_view contents,
                         TavrelError* error = nullptr, bool* wroteInPlace = nullptr);
