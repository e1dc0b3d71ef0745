#include "TavrelLog.h"

#include <cstdarg>
#include <cstdio>
#include <syslog.h>

namespace tavrel::link {

namespace {

TavrelLogDestination destination = TavrelLogDestination::Syslog;
std::function<void(const std::string&)>& sink() {
    static std::function<void(const std::string&)> s;
    return s;
}

} // namespace

void tavrelLog(const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);

    if (destination == TavrelLogDestination::Syslog) {
        syslog(LOG_NOTICE, "%s", line);
    } else {
        std::fprintf(stderr, "%s\n", line);
    }
    if (sink()) {
        sink()(line);
    }
}

void tavrelLogSetDestination(TavrelLogDestination d) {
    destination = d;
}

void tavrelLogSetSink(std::function<void(const std::string&)> s) {
    sink() = std::move(s);
}

} // namespace tavrel::link
