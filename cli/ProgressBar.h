// The progress of a long transfer on standard error, drawn only when standard error is a
// terminal: the current register, how many are done of how many, the rate and the time left.
// Redrawn at most ten times a second; the line is cleared when the bar goes away, so that an
// error message or the shell prompt starts on a clean line.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace tavrel::cli {

class ProgressBar {
  public:
    ProgressBar(std::string verb, uint32_t total);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // `done` registers are complete; `current` is the one being moved now.
    void update(uint32_t current, uint32_t done);
    // Removes the bar from the terminal.
    void clear();

    // The line drawn for the figures given (without the leading carriage return).
    static std::string render(const std::string& verb, uint32_t current, uint32_t done,
                              uint32_t total, double seconds);

  private:
    using Clock = std::chrono::steady_clock;

    std::string _verb;
    uint32_t _total;
    bool _enabled;
    bool _drawn = false;
    Clock::time_point _start;
    Clock::time_point _lastDraw;
};

} // namespace tavrel::cli
