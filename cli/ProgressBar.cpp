#include "ProgressBar.h"

#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace tavrel::cli {

namespace {

constexpr int BarWidth = 20;

std::string minutesAndSeconds(double seconds) {
    long whole = std::lround(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

} // namespace

ProgressBar::ProgressBar(std::string verb, uint32_t total)
    : _verb(std::move(verb)), _total(total), _enabled(::isatty(STDERR_FILENO) == 1),
      _start(Clock::now()), _lastDraw(_start - std::chrono::seconds(1)) {}

ProgressBar::~ProgressBar() {
    clear();
}

void ProgressBar::update(uint32_t current, uint32_t done) {
    if (!_enabled) {
        return;
    }
    auto now = Clock::now();
    if (now - _lastDraw < std::chrono::milliseconds(100) && done < _total) {
        return;
    }
    _lastDraw = now;
    double seconds = std::chrono::duration<double>(now - _start).count();
    std::string line = "\r" + render(_verb, current, done, _total, seconds) + "\033[K";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
    _drawn = true;
}

void ProgressBar::clear() {
    if (_drawn) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
        _drawn = false;
    }
}

std::string ProgressBar::render(const std::string& verb, uint32_t current, uint32_t done,
                                uint32_t total, double seconds) {
    int filled = total == 0 ? BarWidth : static_cast<int>(uint64_t{done} * BarWidth / total);
    std::string bar(static_cast<size_t>(filled), '#');
    bar.resize(BarWidth, '.');
    double rate = seconds > 0 ? done / seconds : 0;
    std::string left = rate > 0 ? minutesAndSeconds((total - done) / rate) : "--:--";
    char text[160];
    std::snprintf(text, sizeof text, "%s register %03u [%s] %u/%u  %.1f reg/s  %s left",
                  verb.c_str(), unsigned{current}, bar.c_str(), unsigned{done}, unsigned{total},
                  rate, left.c_str());
    return text;
}

} // namespace tavrel::cli
