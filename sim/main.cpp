// vrg500-sim: a VRG-500 on a pseudo-terminal. Prints the device path (and the link path when
// asked for one), then answers until SIGINT or SIGTERM.
#include "Vrg500Simulator.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace tavrel::sim {

namespace {

const char usage[] =
    "Usage: vrg500-sim [options]\n"
    "A VRG-500 register device on a pseudo-terminal. Prints the device path, and the link path\n"
    "when one is given, then answers until interrupted.\n"
    "\n"
    "  --link PATH        keep a symbolic link to the device at PATH\n"
    "  --seed N           seed of the sample registers (default 1)\n"
    "  --samples [COUNT]  fill registers 0 to COUNT-1 with sample data (default 300)\n"
    "  --paced            answer at the wire speed of 9600 baud\n"
    "  --latency MS       extra delay before each reply, in milliseconds\n"
    "  --firmware TEXT    the firmware version text the device reports (default 2.10)\n"
    "  --version          show vrg500-sim's own version\n"
    "  --help             show this text\n"
    "\n"
    "vrg500-sim " TAVREL_VERSION ", part of Tavrel.\n";

bool parseNumber(const char* text, unsigned long limit, unsigned long* value) {
    char* end = nullptr;
    errno = 0;
    *value = std::strtoul(text, &end, 10);
    return text[0] >= '0' && text[0] <= '9' && *end == '\0' && errno == 0 && *value <= limit;
}

// Fills `options`; false with a message on stderr for a bad command line.
// `--version TEXT`, the firmware text's earlier name, is still read as it was.
bool parseArguments(int argc, char** argv, Vrg500SimulatorOptions* options, bool* help,
                    bool* version) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        unsigned long number = 0;
        if (option == "--help") {
            *help = true;
        } else if (option == "--paced") {
            options->paced = true;
        } else if (option == "--samples") {
            options->sampleRegisters = true;
            if (value && parseNumber(value, 65536, &number)) {
                options->sampleCount = static_cast<int>(number);
                ++i;
            }
        } else if (option == "--link" && value) {
            options->linkPath = argv[++i];
        } else if ((option == "--firmware" && value) ||
                   (option == "--version" && value && value[0] != '-')) {
            options->version = argv[++i];
        } else if (option == "--version") {
            *version = true;
        } else if (option == "--seed" && value && parseNumber(value, 0xFFFFFFFFul, &number)) {
            options->seed = static_cast<uint32_t>(number);
            ++i;
        } else if (option == "--latency" && value && parseNumber(value, 60000, &number)) {
            options->replyLatency = std::chrono::milliseconds(number);
            ++i;
        } else {
            std::fprintf(stderr, "vrg500-sim: bad option or missing value: %s\n%s", argv[i], usage);
            return false;
        }
    }
    return true;
}

} // namespace

} // namespace tavrel::sim

using tavrel::sim::Vrg500Simulator;
using tavrel::sim::Vrg500SimulatorOptions;

int main(int argc, char** argv) {
    Vrg500SimulatorOptions options;
    options.recordFrames = false; // a long run would keep every frame
    bool help = false;
    bool version = false;
    if (!tavrel::sim::parseArguments(argc, argv, &options, &help, &version)) {
        return 2;
    }
    if (help) {
        std::fputs(tavrel::sim::usage, stdout);
        return 0;
    }
    if (version) {
        std::puts("vrg500-sim " TAVREL_VERSION);
        return 0;
    }
    // Blocked before the answering thread starts, so that only sigwait below receives them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    Vrg500Simulator simulator(options);
    std::string error;
    if (!simulator.start(&error)) {
        std::fprintf(stderr, "vrg500-sim: cannot start: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", simulator.devicePath().c_str());
    if (!options.linkPath.empty()) {
        std::printf("%s\n", options.linkPath.c_str());
    }
    std::fflush(stdout);

    int received = 0;
    sigwait(&signals, &received);
    simulator.stop();
    return 0;
}
