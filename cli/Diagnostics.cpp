#include "Diagnostics.h"

#include "PrintableText.h"

#include <cstdio>

namespace tavrel::cli {

using records::TavrelError;

namespace {

// Messages carry file names, port paths and device text as they came: every byte that is not
// printable ASCII is shown escaped, so nothing in a name can reach the terminal as a control.
void printLine(const std::string& message) {
    const std::string text = printableText(message);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
}

} // namespace

ExitStatus reportError(const TavrelError& error) {
    printLine("tavrelctl: " + error.description);
    if (error.recoverySuggestion && !error.recoverySuggestion->empty()) {
        printLine(*error.recoverySuggestion);
    }
    if (error.detail && !error.detail->empty()) {
        printLine(*error.detail);
    }
    if (error.failureReason && !error.failureReason->empty()) {
        printLine("  (" + *error.failureReason + ")");
    }
    return ExitFailure;
}

ExitStatus reportUsageError(const std::string& problem) {
    printLine("tavrelctl: " + problem);
    printLine("Try 'tavrelctl --help' for more information.");
    return ExitUsage;
}

ExitStatus reportInterrupted() {
    printLine("tavrelctl: interrupted");
    return ExitInterrupted;
}

void reportNote(const std::string& text) {
    printLine("tavrelctl: " + text);
}

ExitStatus reportOutOfMemory() {
    std::fputs("tavrelctl: out of memory\n", stderr);
    return ExitFailure;
}

TavrelError toolError(std::string description, std::string recoverySuggestion) {
    TavrelError error;
    error.domain = "tavrelctl";
    error.description = std::move(description);
    if (!recoverySuggestion.empty()) {
        error.recoverySuggestion = std::move(recoverySuggestion);
    }
    return error;
}

} // namespace tavrel::cli
