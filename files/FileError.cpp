#include "FileError.h"

#include "TextTemplate.h"

#include <atomic>
#include <cstring>

namespace tavrel::files {

using records::TavrelError;

namespace {

// Chosen before any thread of the program reads or writes a file; atomic all the same.
std::atomic<FileNaming> fileNaming{FileNaming::LastComponent};

// `description` names the file with %1.
void fileError(TavrelError* error, const std::string& path, int errorNumber,
               const char* description) {
    if (!error) {
        return;
    }
    *error = TavrelError{};
    error->domain = PosixErrorDomain;
    error->code = errorNumber;
    error->description = records::filledText(description, {fileNameInText(path)});
    error->failureReason = std::strerror(errorNumber);
}

} // namespace

void tavrelFileReadError(TavrelError* error, const std::string& path, int errorNumber) {
    fileError(error, path, errorNumber, TAVREL_TEXT("The file \"%1\" couldn't be opened."));
}

void tavrelFileWriteError(TavrelError* error, const std::string& path, int errorNumber,
                          std::string reason) {
    fileError(error, path, errorNumber, TAVREL_TEXT("The file \"%1\" couldn't be saved."));
    if (error && !reason.empty()) {
        error->failureReason = std::move(reason);
    }
}

void tavrelFileFormatError(TavrelError* error, std::string description,
                           std::string recoverySuggestion) {
    if (!error) {
        return;
    }
    *error = TavrelError{};
    error->domain = TavrelFileErrorDomain;
    error->code = 0;
    error->description = std::move(description);
    if (!recoverySuggestion.empty()) {
        error->recoverySuggestion = std::move(recoverySuggestion);
    }
}

void tavrelMalformedFileError(TavrelError* error, std::string description, const std::string& path,
                              std::string detail) {
    tavrelFileFormatError(
        error, std::move(description),
        records::filledText(TAVREL_TEXT("The file %1 is malformed and could not be processed."),
                            {fileNameInText(path)}));
    if (error) {
        error->detail = std::move(detail);
    }
}

void setFileNaming(FileNaming naming) {
    fileNaming = naming;
}

std::string fileNameInText(const std::string& path) {
    return fileNaming == FileNaming::WholePath ? path : fileDisplayName(path);
}

std::string fileDisplayName(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/') {
        trimmed.pop_back();
    }
    size_t slash = trimmed.rfind('/');
    if (slash == std::string::npos || trimmed.size() == 1) {
        return trimmed;
    }
    return trimmed.substr(slash + 1);
}

} // namespace tavrel::files
