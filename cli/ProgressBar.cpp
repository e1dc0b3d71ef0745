#include "ProgressBar.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/ioctl.h>
#include <unistd.h>

namespace tavrel::cli {

namespace {

constexpr size_t BarWidth = 20;
// A bar narrower than this says too little to be worth its room.
constexpr size_t NarrowestBar = 10;
constexpr auto RedrawInterval = std::chrono::milliseconds(100);
constexpr auto LineInterval = std::chrono::seconds(10);

std::string minutesAndSeconds(double seconds) {
    long whole = std::lround(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

// The columns of the terminal on standard error; COLUMNS when it does not say, else 80.
size_t terminalColumns() {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    const char* columns = std::getenv("COLUMNS");
    long value = columns ? std::strtol(columns, nullptr, 10) : 0;
    return value > 0 && value < 10000 ? static_cast<size_t>(value) : 80;
}

bool dumbTerminal() {
    const char* term = std::getenv("TERM");
    return term && std::strcmp(term, "dumb") == 0;
}

void put(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

} // namespace

ProgressBar::ProgressBar(std::string verb, uint32_t total)
    : _verb(std::move(verb)), _total(total), _mode(::isatty(STDERR_FILENO) != 1 ? Mode::Off
                                                   : dumbTerminal()             ? Mode::Lines
                                                                                : Mode::Redraw),
      _start(Clock::now()), _lastDraw(_start - LineInterval) {}

ProgressBar::~ProgressBar() {
    clear();
}

void ProgressBar::update(uint32_t current, uint32_t done) {
    if (_mode == Mode::Off) {
        return;
    }
    auto now = Clock::now();
    if (now - _lastDraw < (_mode == Mode::Lines ? LineInterval : RedrawInterval) && done < _total) {
        return;
    }
    _lastDraw = now;
    double seconds = std::chrono::duration<double>(now - _start).count();
    // The last column stays free: a line that filled it would wrap on some terminals.
    std::string line = render(_verb, current, done, _total, seconds, terminalColumns() - 1);
    if (_mode == Mode::Lines) {
        put(line + "\n");
        return;
    }
    put("\r" + line + "\033[K");
    _drawn = true;
}

void ProgressBar::clear() {
    if (_drawn) {
        put("\r\033[K");
        _drawn = false;
    }
}

std::string ProgressBar::render(const std::string& verb, uint32_t current, uint32_t done,
                                uint32_t total, double seconds, size_t columns) {
    char head[96];
    std::snprintf(head, sizeof head, "%s register %03u", verb.c_str(), unsigned{current});
    char count[32];
    std::snprintf(count, sizeof count, "%u/%u", unsigned{done}, unsigned{total});
    double rate = seconds > 0 ? done / seconds : 0;
    char rateText[32];
    std::snprintf(rateText, sizeof rateText, "  %.1f reg/s", rate);
    std::string left =
        "  " + (rate > 0 ? minutesAndSeconds((total - done) / rate) : "--:--") + " left";

    // The fullest line that fits: the bar narrowed as far as it can be, then without the rate,
    // without the bar, without the time left; a line that still does not fit is cut.
    struct Shape {
        bool bar, rate, left;
    };
    for (Shape shape : {Shape{true, true, true}, Shape{true, false, true},
                        Shape{false, false, true}, Shape{false, false, false}}) {
        std::string tail =
            std::string(count) + (shape.rate ? rateText : "") + (shape.left ? left : "");
        size_t fixed = std::strlen(head) + 1 + tail.size() + (shape.bar ? 3 : 0);
        if (fixed > columns) {
            continue;
        }
        std::string bar;
        if (shape.bar) {
            size_t width = std::min(BarWidth, columns - fixed);
            if (width < NarrowestBar) {
                continue;
            }
            size_t filled =
                total == 0 ? width : static_cast<size_t>(uint64_t{done} * width / total);
            bar = "[" + std::string(filled, '#') + std::string(width - filled, '.') + "] ";
        }
        return std::string(head) + " " + bar + tail;
    }
    return (std::string(head) + " " + count).substr(0, columns);
}

} // namespace tavrel::cli
