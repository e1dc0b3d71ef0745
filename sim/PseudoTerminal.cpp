#include "PseudoTerminal.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace tavrel::sim {

namespace {

bool fail(const char* what, std::string* error) {
    if (error) {
        *error = std::string(what) + ": " + std::strerror(errno);
    }
    return false;
}

bool makeRaw(int fd) {
    termios attributes;
    if (tcgetattr(fd, &attributes) != 0) {
        return false;
    }
    cfmakeraw(&attributes);
    cfsetspeed(&attributes, B9600);
    return tcsetattr(fd, TCSANOW, &attributes) == 0;
}

} // namespace

PseudoTerminal::~PseudoTerminal() {
    close();
}

bool PseudoTerminal::open(std::string* error) {
    close();
    _master = posix_openpt(O_RDWR | O_NOCTTY);
    if (_master < 0) {
        return fail("posix_openpt", error);
    }
    std::array<char, 128> name{};
    if (grantpt(_master) != 0 || unlockpt(_master) != 0 ||
        ptsname_r(_master, name.data(), name.size()) != 0) {
        const bool result = fail("grantpt/unlockpt/ptsname", error);
        close();
        return result;
    }
    _slavePath = name.data();
    _slave = ::open(name.data(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (_slave < 0 || !makeRaw(_slave) || fcntl(_master, F_SETFD, FD_CLOEXEC) != 0 ||
        fcntl(_master, F_SETFL, O_NONBLOCK) != 0) {
        const bool result = fail(_slavePath.c_str(), error);
        close();
        return result;
    }
    // Without the watch everything works, only a root-less client's exclusive use lingers.
    _watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (_watch >= 0 &&
        inotify_add_watch(_watch, name.data(), IN_CLOSE_WRITE | IN_CLOSE_NOWRITE) < 0) {
        ::close(_watch);
        _watch = -1;
    }
    return true;
}

void PseudoTerminal::close() {
    for (int* fd : {&_watch, &_slave, &_master}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}

void PseudoTerminal::handleWatchEvents() {
    alignas(inotify_event) std::array<char, 4096> buffer;
    ssize_t length;
    while ((length = read(_watch, buffer.data(), buffer.size())) > 0) {
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
            // Queued notices of equal kind merge, so counting clients is not reliable. Ending
            // exclusive use at every close can only let in an open that a client's exclusive
            // use would have refused, which is harmless here.
            if (event->mask & IN_CLOSE) {
                ioctl(_slave, TIOCNXCL);
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

size_t PseudoTerminal::unreadBytes() const {
    int count = 0;
    if (_slave < 0 || ioctl(_slave, FIONREAD, &count) != 0) {
        return 0;
    }
    return static_cast<size_t>(count);
}

} // namespace tavrel::sim
