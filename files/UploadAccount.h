// How far an upload got when its writing stopped (cancelled, interrupted, or a failure), in the
// words the window and tavrelctl share: "2 of 6 registers written: 003-004; 005 may be partly
// written".
#pragma once

#include "RegisterRange.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavrel::files {

// "007", or "005-009", as registers are named in messages.
std::string registerRangeText(records::RegisterRange range);

// The numbers (ascending), each run of consecutive ones as one range: "003-010, 012".
std::string registerListText(const std::vector<int32_t>& numbers);

struct UploadProgress {
    std::vector<int32_t> toWrite;      // ascending: every register the upload was to write
    size_t written = 0;                // the first `written` of them were written whole
    std::optional<int32_t> unfinished; // the one whose exchange failed: it may be partly written
};

// "N of M registers written", the written ones after ": ", then the unfinished one.
std::string writtenAccount(const UploadProgress& progress);

// Whether the device holds anything other than before: some register written, or one partly.
bool deviceChanged(const UploadProgress& progress);

} // namespace tavrel::files
