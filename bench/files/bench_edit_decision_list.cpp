// Exports 65,536 registers with all four machines set as an edit decision list (262,144 events)
// and imports it again, each in a fresh process of this program so that its peak memory is its
// own, and compares the times with one `wc -l` pass over the same list, measured in the same
// run. Prints figures; never fails on them.
#include "BenchMemory.h"
#include "BenchTiming.h"
#include "EditDecisionListExport.h"
#include "EditDecisionListImport.h"
#include "TimecodeArithmetic.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <spawn.h>
#include <string>
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
constexpr int FramesPerSecond = 25;

// Every machine set, OUT after IN, at 25 frames per second; clip names that are reels, none, and
// names only Tavrel's comment carries.
RegisterCollection sampleCollection() {
    std::mt19937 random(2026);
    RegisterCollection registers;
    registers.reserve(65536);
    for (int32_t number = 0; number < 65536; ++number) {
        RegisterEntry entry;
        for (size_t machine = 0; machine < 4; ++machine) {
            const int64_t in = random() % (23 * 3600 * FramesPerSecond);
            entry.reg.*VRG500_registerTimes[2 * machine] = timeOfFrames(in, FramesPerSecond, false);
            entry.reg.*VRG500_registerTimes[2 * machine + 1] =
                timeOfFrames(in + 1 + random() % 500, FramesPerSecond, false);
            char name[16];
            std::snprintf(name, sizeof name, machine == 3 ? "MY %05X" : "S%07d", number);
            entry.clips[machine] = machine == 1 ? NoClipName : name;
        }
        registers.set(number, std::move(entry));
    }
    return registers;
}

int exportPhase(const std::string& path) {
    const RegisterCollection registers = sampleCollection();
    EdlExportSettings settings;
    settings.title = "bench.vg2";
    auto start = Clock::now();
    TavrelError error;
    if (!writeEditDecisionList(path, registers, settings, RefusedEvents::RefuseExport, &error)) {
        std::fprintf(stderr, "export failed: %s %s\n", error.description.c_str(),
                     error.failureReason.value_or("").c_str());
        return 1;
    }
    std::printf("%.6f %.1f %zu\n", secondsSince(start), benchmemory::peakMegabytes(),
                registers.size());
    return 0;
}

int importPhase(const std::string& path) {
    RegisterCollection registers;
    auto start = Clock::now();
    TavrelError error;
    if (!readEditDecisionList(path, &registers, &error)) {
        std::fprintf(stderr, "import failed: %s %s\n", error.description.c_str(),
                     error.detail.value_or("").c_str());
        return 1;
    }
    std::printf("%.6f %.1f %zu\n", secondsSince(start), benchmemory::peakMegabytes(),
                registers.size());
    return 0;
}

struct PhaseFigures {
    std::vector<double> inside;
    double peakMegabytes = 0;
};

bool runPhase(const std::string& self, const char* phase, const std::string& path,
              PhaseFigures* figures) {
    std::string output;
    double seconds = 0;
    double peak = 0;
    size_t count = 0;
    if (runTimed({self, "--phase", phase, path}, &output) < 0 ||
        std::sscanf(output.c_str(), "%lf %lf %zu", &seconds, &peak, &count) != 3 ||
        count != 65536) {
        std::fprintf(stderr, "%s phase failed\n", phase);
        return false;
    }
    figures->inside.push_back(seconds);
    figures->peakMegabytes = std::max(figures->peakMegabytes, peak);
    return true;
}

void report(const char* what, const PhaseFigures& figures, double wc) {
    const double seconds = median(figures.inside);
    std::printf("%-7s %8.3f s  (%5.1fx wc -l)   peak %6.1f MB   (target: <= 10x, < 64 MB)\n", what,
                seconds, seconds / wc, figures.peakMegabytes);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--phase") == 0) {
        return std::strcmp(argv[2], "export") == 0 ? exportPhase(argv[3]) : importPhase(argv[3]);
    }
    const char* base = std::getenv("TMPDIR");
    std::string folder = std::string(base && *base ? base : "/tmp") + "/tavrel-bench-XXXXXX";
    if (!::mkdtemp(folder.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string path = folder + "/registers.edl";
    std::string self = "/proc/self/exe";
    char resolved[4096];
    ssize_t length = ::readlink(self.c_str(), resolved, sizeof resolved - 1);
    if (length > 0) {
        self.assign(resolved, static_cast<size_t>(length));
    }
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    PhaseFigures exports, imports;
    std::vector<double> wc;
    bool ok = runPhase(self, "export", path, &exports); // warms the cache; counted like the rest
    for (int run = 0; ok && run < runs; ++run) {
        std::string output;
        const double wcSeconds = runTimed({"wc", "-l", path}, &output);
        ok = wcSeconds >= 0 && runPhase(self, "import", path, &imports) &&
             runPhase(self, "export", path, &exports);
        wc.push_back(wcSeconds);
    }
    if (ok) {
        std::ifstream file(path, std::ios::binary | std::ios::ate);
        const double wcMedian = median(wc);
        std::printf("edit decision list: 65536 registers, 262144 events, %.2f MB; medians of %d "
                    "runs\n",
                    static_cast<double>(file.tellg()) / 1e6, runs);
        std::printf("wc -l   %8.3f s  (spawn to exit)\n", wcMedian);
        report("export", exports, wcMedian);
        report("import", imports, wcMedian);
    }
    std::remove(path.c_str());
    ::rmdir(folder.c_str());
    return ok ? 0 : 1;
}
