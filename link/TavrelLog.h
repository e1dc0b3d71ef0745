// Diagnostics that a person never sees in a window: the system log. Tools may route them to
// standard error as well, and tests may capture them.
#pragma once

#include <functional>
#include <string>

namespace tavrel::link {

enum class TavrelLogDestination { Syslog, StandardError };
// Error is the system log's error level (what `journalctl -p err` shows), Note its notice level.
enum class TavrelLogLevel { Error, Note };

// Something went wrong: logged at error level.
void tavrelLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Something worth knowing that is no error: logged at notice level.
void tavrelNote(const char* format, ...) __attribute__((format(printf, 1, 2)));

void tavrelLogSetDestination(TavrelLogDestination destination);

// Receives every logged line in addition to the destination; an empty function removes it.
void tavrelLogSetSink(std::function<void(TavrelLogLevel, const std::string&)> sink);

} // namespace tavrel::link
