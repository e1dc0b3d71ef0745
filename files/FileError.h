// Errors of the file layer: the system's reason for a failed read or write, in words a person
// reads, and the errors of the file formats themselves.
#pragma once

#include "TavrelError.h"

#include <string>

namespace tavrel::files {

// Domain of the system's file errors; the code is the errno value.
inline constexpr const char* PosixErrorDomain = "POSIX";
// Domain of the formats' own errors.
inline constexpr const char* TavrelFileErrorDomain = "Tavrel";

// `The file "NAME" couldn't be opened.` with strerror(errorNumber) as the failure reason.
void tavrelFileReadError(records::TavrelError* error, const std::string& path, int errorNumber);
// `The file "NAME" couldn't be saved.` with strerror(errorNumber) as the failure reason, or
// `reason` when given (a reason clearer than the system's, such as the folder at fault).
void tavrelFileWriteError(records::TavrelError* error, const std::string& path, int errorNumber,
                          std::string reason = {});

// An error of the domain "Tavrel", code 0, without a failure reason.
void tavrelFileFormatError(records::TavrelError* error, std::string description,
                           std::string recoverySuggestion = {});

// The last path component, as files are named to a person.
std::string fileDisplayName(const std::string& path);

} // namespace tavrel::files
