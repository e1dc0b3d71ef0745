// The registers an upload is about to overwrite, kept as a register file in a folder of
// snapshots before anything is sent, so that an upload can be taken back. The folder keeps the
// newest snapshots only; each file's name says when it was taken, from which port and which
// registers, so the list needs nothing beside the files.
#pragma once

#include "RegisterCollection.h"
#include "RegisterRange.h"
#include "TavrelError.h"

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace tavrel::files {

struct SnapshotInfo {
    std::string path;
    std::string port; // as the name holds it (see writeUploadSnapshot)
    records::RegisterRange range;
    size_t registers = 0;
    std::string when; // "2026-12-07 22:58:14", local time
};

// Writes `registers` (those of `range` as read from the device) to a new
// snapshot file in `folder`, making the folder and any missing parent first, then keeps only the
// newest `keep` snapshots there (never fewer than the new one; newest as listUploadSnapshots
// orders them), deleting the older ones; files
// whose names are not of the snapshot form are never touched.
//
// The name: "YYYY-MM-DD HH.MM.SS PORT NNN-NNN.vg2", the time local, PORT the port's last path
// component with each character outside [A-Za-z0-9._-] replaced by "_" ("_" for an empty one),
// NNN-NNN the range's first and last as registerLabel writes them (both 0 or more, first <= last).
// A second snapshot in the same second gets " (2)" before the extension, a third " (3)" and so on,
// so none is replaced; this assumes one writer in the folder at a time.
//
// The file is saved atomically (writeRegisterFile). On failure returns false with `error` saying
// why (the system's reason, naming the snapshot file) and leaves nothing behind: no file, no
// folder it made. `now` is the time to name the snapshot by; 0 means the current time.
bool writeUploadSnapshot(const std::string& folder, const std::string& port,
                         records::RegisterRange range, const RegisterCollection& registers,
                         SnapshotInfo* written, records::TavrelError* error = nullptr,
                         size_t keep = 50, std::time_t now = 0);

// The port as a snapshot's name holds it (see writeUploadSnapshot), to tell whether a snapshot
// was taken from a port.
std::string snapshotPortName(const std::string& port);

// The snapshots in `folder`, newest first (by when each file was written, then by the time in
// its name and its counter), with
// their range and port from the name and their register count from the file. A file that does
// not read as a register file is left out; a missing folder has none.
std::vector<SnapshotInfo> listUploadSnapshots(const std::string& folder);

} // namespace tavrel::files
