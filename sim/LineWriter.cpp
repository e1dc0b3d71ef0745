#include "LineWriter.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace tavrel::sim {

bool LineWriter::send(int fd, const ReplyPlan& plan, bool paced, Clock::time_point start) const {
    size_t from = 0;
    Clock::time_point pieceStart = start;
    for (size_t piece = 0; piece <= plan.pieceStarts.size(); ++piece) {
        const size_t to =
            piece < plan.pieceStarts.size() ? plan.pieceStarts[piece] : plan.bytes.size();
        Clock::time_point end = pieceStart;
        const bool sent =
            paced ? writePaced(fd, plan.bytes.data() + from, to - from, pieceStart, &end)
                  : sleepUntil(pieceStart) && writeAll(fd, plan.bytes.data() + from, to - from);
        if (!sent) {
            return false;
        }
        pieceStart = std::max(end, Clock::now()) + plan.piecePause;
        from = to;
    }
    return true;
}

bool LineWriter::writePaced(int fd, const uint8_t* bytes, size_t count, Clock::time_point start,
                            Clock::time_point* end) const {
    for (size_t sent = 0; sent < count;) {
        const size_t chunk = std::min(pacedChunk, count - sent);
        const Clock::time_point due = start + std::chrono::duration_cast<Clock::duration>(
                                                  byteTime * static_cast<int64_t>(sent + chunk));
        if (!sleepUntil(due) || !writeAll(fd, bytes + sent, chunk)) {
            return false;
        }
        sent += chunk;
        *end = due;
    }
    return true;
}

bool LineWriter::writeAll(int fd, const uint8_t* bytes, size_t count) const {
    while (count > 0) {
        const ssize_t written = write(fd, bytes, count);
        if (written > 0) {
            bytes += written;
            count -= static_cast<size_t>(written);
        } else if (written < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        } else if (!waitFor(fd, POLLOUT, Clock::time_point::max())) {
            return false;
        }
    }
    return true;
}

bool LineWriter::sleepUntil(Clock::time_point when) const {
    while (Clock::now() < when) {
        if (!waitFor(-1, 0, when)) {
            return false;
        }
    }
    return !_stopping;
}

// Waits until `fd` is ready for `events` (with fd -1: just the deadline) or the deadline has
// passed; false when the simulator is stopping.
bool LineWriter::waitFor(int fd, short events, Clock::time_point deadline) const {
    pollfd fds[2] = {{_wakeFd, POLLIN, 0}, {fd, events, 0}};
    timespec timeout{};
    timespec* limit = nullptr;
    if (deadline != Clock::time_point::max()) {
        const auto left = std::max(deadline - Clock::now(), Clock::duration::zero());
        const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        timeout.tv_sec = static_cast<time_t>(nanoseconds / 1'000'000'000);
        timeout.tv_nsec = static_cast<long>(nanoseconds % 1'000'000'000);
        limit = &timeout;
    }
    ppoll(fds, fd >= 0 ? 2 : 1, limit, nullptr);
    if (fds[0].revents & POLLIN) {
        char drain[64];
        while (read(_wakeFd, drain, sizeof drain) > 0) {
        }
    }
    return !_stopping;
}

} // namespace tavrel::sim
