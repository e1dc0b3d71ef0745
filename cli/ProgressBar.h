// The progress of a long transfer on standard error, drawn only when standard error is a
// terminal: the current register, how many are done of how many, the rate and the time left.
//
// On a terminal that can redraw a line, the bar is one line redrawn in place at most ten times a
// second, never wider than the terminal (its width is asked at each redraw, so a resized window
// is followed; COLUMNS, then 80, when the terminal does not say): the bar narrows, then the rate,
// the bar and the time left give way. The line is cleared when the bar goes away, so that an
// error message or the shell prompt starts on a clean line. On a dumb terminal (TERM=dumb), which
// can do neither, and which is often a log or an editor's buffer, plain lines are written
// instead: one when the transfer starts, one every ten seconds, and one when it is complete.
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

    // The line drawn for the figures given (without the leading carriage return), at most
    // `columns` characters long.
    static std::string render(const std::string& verb, uint32_t current, uint32_t done,
                              uint32_t total, double seconds, size_t columns);

  private:
    using Clock = std::chrono::steady_clock;
    enum class Mode { Off, Redraw, Lines };

    std::string _verb;
    uint32_t _total;
    Mode _mode;
    bool _drawn = false;
    Clock::time_point _start;
    Clock::time_point _lastDraw;
};

} // namespace tavrel::cli
