// Whole-file reads and all-or-nothing writes. A write goes to a temporary file in the target's
// folder, is flushed to the disk, and only then renamed over the target, so a failed or
// interrupted save never leaves a damaged or half-written file behind.
#pragma once

#include "TavrelError.h"

#include <string>
#include <string_view>

// Reads the whole file. On failure *contents is unchanged and `error` holds the system's reason.
bool readWholeFile(const std::string& path, std::string* contents, TavrelError* error = nullptr);

// Replaces the file at `path` (or creates it) with `contents`. An existing file keeps its
// permissions; a new one gets the usual 0666 less the umask. A symbolic link is followed, so the
// file it points to is replaced and the link stays. On failure the target is as it was.
bool writeFileAtomically(const std::string& path, std::string_view contents,
                         TavrelError* error = nullptr);
