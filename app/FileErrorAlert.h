// Alerts for the errors of the file layer. A failed read or write carries the system's reason as
// its failure reason and no recovery suggestion: the reason becomes the alert's informative text,
// so the person sees why ("Permission denied"), not only that it failed. The texts name files by
// the system's bytes (UTF-8), not by device text, so they are decoded as local text.
#pragma once

#include "AppController.h"
#include "FileError.h"
#include "TavrelLog.h"

namespace tavrel::app {

inline void showFileError(AppController& controller, const records::TavrelError& error) {
    if (error.domain == records::TavrelErrorDomain) { // the device link's errors (Latin-1 texts)
        controller._showError(&error);
        return;
    }
    if (error.failureReason) {
        link::tavrelLog("Error: %s", error.failureReason->c_str());
    }
    const std::string details =
        error.recoverySuggestion ? *error.recoverySuggestion : error.failureReason.value_or("");
    controller._beginAlertSheet(QString::fromLocal8Bit(error.description),
                                QString::fromLocal8Bit(details), true);
}

} // namespace tavrel::app
