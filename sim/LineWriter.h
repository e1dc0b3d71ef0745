// Delivers replies into the master side of the pty as the serial line would: at once, or paced
// at the wire rate of 9600 baud with 10 bits per byte. Every wait ends early when the simulator
// stops.
//
// Paced bytes arrive in chunks of up to eight, each when its last byte would have crossed the
// line, the way a UART's receive FIFO hands them on; so a reply header never arrives alone
// unless a fault splits it.
#pragma once

#include "ReplyShaping.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>

namespace tavrel::sim {

class LineWriter {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::nanoseconds byteTime{1'041'667}; // 10 bits at 9600 baud
    static constexpr size_t pacedChunk = 8;

    LineWriter(const int& wakeFd, const std::atomic<bool>& stopping)
        : _wakeFd(wakeFd), _stopping(stopping) {}

    // Sends the plan into `fd`, its first byte due no earlier than `start`. False when stopping
    // or when the pty failed.
    bool send(int fd, const ReplyPlan& plan, bool paced, Clock::time_point start) const;
    // Waits until `when`; false when the simulator is stopping.
    bool sleepUntil(Clock::time_point when) const;

  private:
    bool writeAll(int fd, const uint8_t* bytes, size_t count) const;
    // Writes `count` bytes paced from `start`; returns the time its last byte is due.
    bool writePaced(int fd, const uint8_t* bytes, size_t count, Clock::time_point start,
                    Clock::time_point* end) const;
    bool waitFor(int fd, short events, Clock::time_point deadline) const;

    const int& _wakeFd;
    const std::atomic<bool>& _stopping;
};

} // namespace tavrel::sim
