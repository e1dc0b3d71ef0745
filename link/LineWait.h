// Waiting for the serial line, bounded in time and open to interruption. The exchange waits here
// instead of in read() and write(), so that neither the port's VMIN and VTIME (which another
// program may change) nor a device that never stops sending can hold it.
#pragma once

#include <chrono>

namespace tavrel::link {

enum class LineWait {
    Ready,       // the line can be read (or written) without blocking
    HungUp,      // the line is gone, or an error is pending on it
    Quiet,       // nothing happened before the time was up
    Interrupted, // the interruption descriptor is readable
    Failed,      // poll itself failed; errno says why
};

// Waits until `fd` is ready for `events` (POLLIN or POLLOUT), it hangs up, `interruptionFd` (-1
// for none) is readable, or `until` has come. An interruption wins over everything else, also
// when it was there before the wait began. Neither descriptor is read or written.
LineWait waitForLine(int fd, short events, int interruptionFd,
                     std::chrono::steady_clock::time_point until);

} // namespace tavrel::link
