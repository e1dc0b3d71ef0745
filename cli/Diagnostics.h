// What tavrelctl tells the user on standard error, escaped as printableText escapes device text.
#pragma once

#include "ExitStatus.h"
#include "TavrelError.h"

#include <string>

namespace tavrel::cli {

// "tavrelctl: DESCRIPTION", the recovery suggestion on the next line when there is one, the
// detail (where in a file the fault lies) on the next when there is one, then
// "  (FAILURE REASON)" when there is one. Returns ExitFailure.
ExitStatus reportError(const records::TavrelError& error);

// "tavrelctl: PROBLEM" and a pointer to the help. Returns ExitUsage.
ExitStatus reportUsageError(const std::string& problem);

// "tavrelctl: interrupted". Returns ExitInterrupted.
ExitStatus reportInterrupted();

// "tavrelctl: TEXT", something the user should know beside what the command did or reported.
void reportNote(const std::string& text);

// "tavrelctl: out of memory". Returns ExitFailure. Allocates nothing.
ExitStatus reportOutOfMemory();

// A failure of tavrelctl's own, with the usual layout.
records::TavrelError toolError(std::string description, std::string recoverySuggestion = {});

} // namespace tavrel::cli
