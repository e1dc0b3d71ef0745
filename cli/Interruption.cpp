#include "Interruption.h"

#include "TavrelSocket.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace tavrel::cli {

using link::TavrelSocket;

namespace {

volatile sig_atomic_t requested = 0;
int pipeFds[2] = {-1, -1};

void noteSignal(int) {
    requested = 1;
    if (pipeFds[1] >= 0) {
        char byte = 1;
        [[maybe_unused]] ssize_t ignored = ::write(pipeFds[1], &byte, 1);
    }
}

} // namespace

void watchForInterruption() {
    if (pipeFds[0] >= 0) {
        return;
    }
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        pipeFds[0] = pipeFds[1] = -1;
    }
    TavrelSocket::setInterruptionDescriptor(pipeFds[0]);
    struct sigaction action {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    // The second signal finds the default disposition again and ends the program. No
    // SA_RESTART: a blocking open or write (a FIFO without a reader) then fails with EINTR.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool interruptionRequested() {
    return requested != 0;
}

int interruptionDescriptor() {
    return pipeFds[0];
}

} // namespace tavrel::cli
