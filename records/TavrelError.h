// The error object of Tavrel's libraries: a domain, a code and the texts a person reads.
// Operations report failure by returning false and, only when the caller passes a place for it,
// filling one of these.
#pragma once

#include "TextTemplate.h"

#include <optional>
#include <string>
#include <utility>

namespace tavrel::records {

struct TavrelError {
    std::string domain;
    int code = 0;
    std::string description;
    std::optional<std::string> failureReason;
    std::optional<std::string> recoverySuggestion;
    // Where exactly the fault lies, when the error can say (the line and field of a malformed
    // file): shown after the recovery suggestion.
    std::optional<std::string> detail;
};

// Domain and recovery suggestion shared by every error of the device link.
inline constexpr const char* TavrelErrorDomain = "TavrelDomain";
inline constexpr const char* TavrelDeviceRecoverySuggestion =
    TAVREL_TEXT("Check to make sure that the VRG-500 is on and the right serial port is selected.");

// Fills *error with an error of the domain "TavrelDomain", code 0, when the caller gave a place
// for it; otherwise nothing is built.
inline void tavrelDomainError(TavrelError* error, const char* description,
                              std::optional<std::string> failureReason = std::nullopt,
                              const char* recoverySuggestion = TavrelDeviceRecoverySuggestion) {
    if (error) {
        *error = TavrelError{};
        error->domain = TavrelErrorDomain;
        error->description = description;
        error->failureReason = std::move(failureReason);
        error->recoverySuggestion = recoverySuggestion;
    }
}

} // namespace tavrel::records
