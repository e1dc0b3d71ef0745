// Reads registers (times, then clip names) from the simulator over a pseudo-terminal and prints
// the host time per register, unpaced, and the ratio to the wire time when paced at 9600 baud.
//   bench_link_read [unpaced-count (300)] [paced-count (30)]
#include "TavrelSocket.h"
#include "Vrg500Simulator.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>

using namespace tavrel::link;
using namespace tavrel::records;
using namespace tavrel::sim;

namespace {

// Bytes on the line per register: the two requests (4 bytes each) and the replies (38 and 36).
constexpr double BytesPerRegister = 4 + 38 + 4 + 36;
constexpr double SecondsPerByte = 10.0 / 9600.0;

double readRegisters(bool paced, int count) {
    Vrg500SimulatorOptions options;
    options.sampleRegisters = true;
    options.sampleCount = count;
    options.paced = paced;
    Vrg500Simulator sim(options);
    std::string reason;
    if (!sim.start(&reason)) {
        std::fprintf(stderr, "simulator: %s\n", reason.c_str());
        std::exit(1);
    }
    // Every register answers with its clip names, so each one costs the full 82 bytes.
    for (int number = 0; number < count; ++number) {
        char text[33];
        std::snprintf(text, sizeof text, "SHOT%04dSHOT%04dSHOT%04dSHOT%04d", number % 10000,
                      (number + 1) % 10000, (number + 2) % 10000, (number + 3) % 10000);
        std::array<uint8_t, 32> names{};
        std::copy_n(text, names.size(), names.begin());
        sim.setClipNames(static_cast<uint16_t>(number), names);
    }
    auto socket = TavrelSocket::socketForDeviceFilePath(sim.slavePath());
    if (!socket) {
        std::fprintf(stderr, "cannot open %s\n", sim.slavePath().c_str());
        std::exit(1);
    }
    auto start = std::chrono::steady_clock::now();
    for (int number = 0; number < count; ++number) {
        VRG500_register reg;
        std::optional<std::string> a, b, c, d;
        TavrelError error;
        if (!socket->registerData(&reg, static_cast<uint16_t>(number), &error) ||
            !socket->registerClipName(&a, &b, &c, &d, static_cast<uint16_t>(number), &error)) {
            std::fprintf(stderr, "register %d: %s\n", number, error.description.c_str());
            std::exit(1);
        }
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    int unpacedCount = argc > 1 ? std::atoi(argv[1]) : 300;
    int pacedCount = argc > 2 ? std::atoi(argv[2]) : 30;

    double unpaced = readRegisters(false, unpacedCount);
    std::printf("unpaced: %d registers in %.3f s, %.3f ms per register (target < 1 ms)\n",
                unpacedCount, unpaced, 1000.0 * unpaced / unpacedCount);

    if (pacedCount > 0) {
        double paced = readRegisters(true, pacedCount);
        double wire = pacedCount * BytesPerRegister * SecondsPerByte;
        std::printf("paced at 9600 baud: %d registers in %.3f s, wire time %.3f s, ratio %.4f "
                    "(target <= 1.02)\n",
                    pacedCount, paced, wire, paced / wire);
    }
    return 0;
}
