// Exports 65,536 registers as CSV and as JSON, imports them back, and compares each time with one
// `wc -l` pass over the same output, measured in the same run. Each export and import runs in a
// fresh process of this program, so its peak memory (VmHWM) is its own: the registers, the
// reader's or writer's buffers and what the format keeps beside them. The registers are random,
// a fifth of their times unset with numbers behind them, so JSON carries the wire bytes of most.
// Then feeds the readers inputs without end (/dev/zero, a JSON string of 256 MiB) and shows what
// refusing them costs. Prints figures; never fails on them.
#include "../BenchRegisters.h"
#include "BenchTiming.h"
#include "RegisterCsv.h"
#include "RegisterJson.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace tavrel::files;
using namespace tavrel::records;

namespace {

using benchtiming::Clock;
using benchtiming::median;
using benchtiming::runTimed;
using benchtiming::secondsSince;

constexpr int32_t RegisterCount = 65536;
constexpr int Runs = 3;

double peakMegabytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return static_cast<double>(std::strtol(line.c_str() + 6, nullptr, 10)) / 1024.0;
        }
    }
    return -1;
}

bool isCsv(const std::string& format) {
    return format == "csv";
}

// One export or import in this process; prints its seconds and peak memory.
int phase(const std::string& what, const std::string& format, const std::string& path) {
    TavrelError error;
    if (what == "export") {
        const RegisterCollection registers = benchregisters::table(7, RegisterCount);
        const auto start = Clock::now();
        const bool written = isCsv(format) ? writeRegisterCsv(path, registers, &error)
                                           : writeRegisterJson(path, registers, &error);
        const double seconds = secondsSince(start);
        if (!written) {
            std::fprintf(stderr, "export failed: %s\n", error.description.c_str());
            return 1;
        }
        std::printf("%.6f %.1f\n", seconds, peakMegabytes());
        return 0;
    }
    RegisterCollection registers;
    const auto start = Clock::now();
    const bool read = isCsv(format) ? readRegisterCsv(path, &registers, &error)
                                    : readRegisterJson(path, &registers, &error);
    const double seconds = secondsSince(start);
    if (what == "refuse") { // an input that must be refused: 1 when it was
        std::printf("%.6f %.1f %d\n", seconds, peakMegabytes(), read ? 0 : 1);
        return 0;
    }
    if (!read || registers.size() != RegisterCount) {
        std::fprintf(stderr, "import failed: %s %s\n", error.description.c_str(),
                     error.detail.value_or("").c_str());
        return 1;
    }
    std::printf("%.6f %.1f\n", seconds, peakMegabytes());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--phase") == 0) {
        return phase(argv[2], argv[3], argv[4]);
    }
    char folder[] = "/tmp/tavrel-bench-XXXXXX";
    if (!::mkdtemp(folder)) {
        return 1;
    }
    std::printf("%d registers; median of %d runs; seconds inside the process, peak memory of the "
                "process\n",
                RegisterCount, Runs);
    std::printf("%-12s %10s %10s %10s %8s %9s\n", "", "seconds", "wc -l", "ratio", "peak MB",
                "size MB");
    for (const std::string format : {"csv", "json"}) {
        const std::string path = std::string(folder) + "/registers." + format;
        for (const std::string what : {"export", "import"}) {
            std::vector<double> seconds;
            std::vector<double> wc;
            double peak = 0;
            for (int run = 0; run < Runs; ++run) {
                std::string output;
                if (what == "export") {
                    // Every export writes a new file, as the first does: replacing the last
                    // run's file would add the file system's freeing of it to the second and
                    // third runs alone (some 6 ms for the JSON file's 28 MB).
                    std::remove(path.c_str());
                }
                if (runTimed({argv[0], "--phase", what, format, path}, &output) < 0) {
                    std::fprintf(stderr, "%s %s failed\n", what.c_str(), format.c_str());
                    return 1;
                }
                double inside = 0;
                double megabytes = 0;
                if (std::sscanf(output.c_str(), "%lf %lf", &inside, &megabytes) != 2) {
                    return 1;
                }
                seconds.push_back(inside);
                peak = std::max(peak, megabytes);
                wc.push_back(runTimed({"wc", "-l", path}, &output));
            }
            struct stat info {};
            ::stat(path.c_str(), &info);
            const double wcSeconds = median(wc);
            std::printf("%-12s %10.4f %10.4f %10.2f %8.1f %9.1f\n", (format + " " + what).c_str(),
                        median(seconds), wcSeconds, median(seconds) / wcSeconds, peak,
                        static_cast<double>(info.st_size) / 1e6);
        }
        std::remove(path.c_str());
    }
    // Inputs without end: a cell or string that never ends is refused at the row limit.
    const std::pair<const char*, std::string> endless[] = {
        {"csv", "/dev/zero"},
        {"json", std::string(folder) + "/endless.json"},
    };
    {
        // A JSON string that goes on for 256 MiB.
        std::FILE* out = std::fopen(endless[1].second.c_str(), "wb");
        const std::string chunk(1 << 20, 'x');
        std::fputs("{\"registers\": [{\"A\": {\"clip\": \"", out);
        for (int i = 0; out && i < 256; ++i) {
            std::fwrite(chunk.data(), 1, chunk.size(), out);
        }
        if (out) {
            std::fclose(out);
        }
    }
    for (const auto& [format, path] : endless) {
        std::string output;
        double seconds = 0;
        double megabytes = 0;
        int refused = 0;
        if (runTimed({argv[0], "--phase", "refuse", format, path}, &output) < 0 ||
            std::sscanf(output.c_str(), "%lf %lf %d", &seconds, &megabytes, &refused) != 3) {
            return 1;
        }
        std::printf("%-4s %-24s %8.4f s, peak %5.1f MB, %s\n", format,
                    path == "/dev/zero" ? "/dev/zero" : "a string of 256 MiB", seconds, megabytes,
                    refused ? "refused" : "NOT REFUSED");
    }
    std::remove(endless[1].second.c_str());
    ::rmdir(folder);
    return 0;
}
