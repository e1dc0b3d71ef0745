#include "LineWait.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>

namespace tavrel::link {

namespace {

timespec timeLeft(std::chrono::steady_clock::time_point until) {
    const auto left = std::max(until - std::chrono::steady_clock::now(),
                               std::chrono::steady_clock::duration::zero());
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    return timespec{static_cast<time_t>(nanoseconds / 1'000'000'000),
                    static_cast<long>(nanoseconds % 1'000'000'000)};
}

} // namespace

LineWait waitForLine(int fd, short events, int interruptionFd,
                     std::chrono::steady_clock::time_point until) {
    for (;;) {
        pollfd fds[2] = {{interruptionFd, POLLIN, 0}, {fd, events, 0}};
        const timespec timeout = timeLeft(until);
        const int ready = ::ppoll(fds, 2, &timeout, nullptr);
        if (ready < 0 && errno == EINTR) {
            continue; // a signal handler's pipe, if that is what woke us, shows on the next round
        }
        if (ready < 0) {
            return LineWait::Failed;
        }
        // A pipe whose writer has gone is readable too: at its end.
        if (fds[0].revents & (POLLIN | POLLHUP)) {
            return LineWait::Interrupted;
        }
        if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            return LineWait::HungUp;
        }
        if (fds[1].revents & events) {
            return LineWait::Ready;
        }
        if (ready == 0) {
            return LineWait::Quiet;
        }
        // Only the interruption descriptor answered, and not as readable (closed under us, say):
        // it can no longer interrupt.
        interruptionFd = -1;
    }
}

} // namespace tavrel::link
