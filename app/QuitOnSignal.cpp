#include "QuitOnSignal.h"

#include "TavrelLog.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tavrel::app {

using link::tavrelLog;

namespace {

constexpr int QuitSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The pipe's ends; the handler sees only the write end.
int signalPipe[2] = {-1, -1};

void writeSignalByte(int) {
    const int savedErrno = errno;
    const char byte = 1;
    // A full pipe already holds a pending quit: the lost byte changes nothing.
    [[maybe_unused]] ssize_t written = write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

bool installHandlers() {
    struct sigaction action {};
    action.sa_handler = writeSignalByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : QuitSignals) {
        if (sigaction(signalNumber, &action, nullptr) != 0) {
            tavrelLog("Cannot catch signal %d: %s", signalNumber, std::strerror(errno));
            return false;
        }
    }
    return true;
}

void restoreDefaultHandlers() {
    for (int signalNumber : QuitSignals) {
        std::signal(signalNumber, SIG_DFL);
    }
}

void closeSignalPipe() {
    for (int& fd : signalPipe) {
        if (fd >= 0) {
            close(fd);
            fd = -1;
        }
    }
}

} // namespace

QuitOnSignal::QuitOnSignal(std::function<void()> quit, QObject* parent)
    : QObject(parent), _quit(std::move(quit)) {
    if (pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        tavrelLog("Cannot make the signal pipe: %s", std::strerror(errno));
        return;
    }
    if (!installHandlers()) {
        restoreDefaultHandlers();
        closeSignalPipe();
        return;
    }
    _notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(_notifier, &QSocketNotifier::activated, this, &QuitOnSignal::_drainAndQuit);
}

QuitOnSignal::~QuitOnSignal() {
    if (_notifier == nullptr) {
        return;
    }
    restoreDefaultHandlers();
    delete _notifier;
    closeSignalPipe();
}

void QuitOnSignal::_drainAndQuit() {
    char bytes[64];
    while (read(signalPipe[0], bytes, sizeof bytes) > 0) {
    }
    if (_quit) {
        _quit();
    }
}

} // namespace tavrel::app
