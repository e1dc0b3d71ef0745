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

// How the texts below (and the formats' own, such as a malformed file's) name a file: by its last
// path component, as the window names files, unless a program chooses the whole path as it was
// given, as tavrelctl does so that a script's user can tell which file of which folder is meant.
// A program chooses once, at its start, before it reads or writes any file.
enum class FileNaming { LastComponent, WholePath };
void setFileNaming(FileNaming naming);

// `path` as the file layer's texts name it (see FileNaming).
std::string fileNameInText(const std::string& path);

// `The file "NAME" couldn't be opened.` with strerror(errorNumber) as the failure reason.
void tavrelFileReadError(records::TavrelError* error, const std::string& path, int errorNumber);
// `The file "NAME" couldn't be saved.` with strerror(errorNumber) as the failure reason, or
// `reason` when given (a reason clearer than the system's, such as the folder at fault).
void tavrelFileWriteError(records::TavrelError* error, const std::string& path, int errorNumber,
                          std::string reason = {});

// An error of the domain "Tavrel", code 0, without a failure reason.
void tavrelFileFormatError(records::TavrelError* error, std::string description,
                           std::string recoverySuggestion = {});

// A malformed file of any of the register formats: `description` ("Error processing .vg2 file"),
// the recovery suggestion "The file NAME is malformed and could not be processed." and `detail`,
// where in the file the fault lies.
void tavrelMalformedFileError(records::TavrelError* error, std::string description,
                              const std::string& path, std::string detail);

// The last path component, as files are named to a person.
std::string fileDisplayName(const std::string& path);

} // namespace tavrel::files
