#include "TavrelLog.h"

#include <cstdarg>
#include <cstdio>
#include <syslog.h>

namespace tavrel::link {

namespace {

TavrelLogDestination destination = TavrelLogDestination::Syslog;
std::function<void(TavrelLogLevel, const std::string&)>& sink() {
    static std::function<void(TavrelLogLevel, const std::string&)> s;
    return s;
}

void logLine(TavrelLogLevel level, const char* format, va_list args) {
    char line[1024];
    std::vsnprintf(line, sizeof line, format, args);
    if (destination == TavrelLogDestination::Syslog) {
        syslog(level == TavrelLogLevel::Error ? LOG_ERR : LOG_NOTICE, "%s", line);
    } else {
        std::fprintf(stderr, "%s\n", line);
    }
    if (sink()) {
        sink()(level, line);
    }
}

} // namespace

void tavrelLog(const char* format, ...) {
    va_list args;
    va_start(args, format);
    logLine(TavrelLogLevel::Error, format, args);
    va_end(args);
}

void tavrelNote(const char* format, ...) {
    va_list args;
    va_start(args, format);
    logLine(TavrelLogLevel::Note, format, args);
    va_end(args);
}

void tavrelLogSetDestination(TavrelLogDestination d) {
    destination = d;
}

void tavrelLogSetSink(std::function<void(TavrelLogLevel, const std::string&)> s) {
    sink() = std::move(s);
}

} // namespace tavrel::link
