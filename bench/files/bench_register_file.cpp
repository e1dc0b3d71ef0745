// Writes and reads a register file of all 65,536 registers (about 9.5 MB) and compares the times
// with one `wc -l` pass over the same file, measured in the same run; reads the same lines in
// descending order too. Then feeds the readers inputs they must refuse (a one-line register file
// of 1 GiB, /dev/zero) and shows what refusing them costs. Each phase runs in a fresh process of
// this program, so its peak memory (VmHWM) is its own. Prints figures; never fails on them.
#include "BenchTiming.h"
#include "MenuSettingsFile.h"
#include "RegisterFile.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace tavrel::files;
using namespace tavrel::records;

namespace {

using benchtiming::Clock;
using benchtiming::median;
using benchtiming::runTimed;
using benchtiming::secondsSince;

long peakResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

RegisterCollection sampleCollection() {
    RegisterCollection registers;
    registers.reserve(65536);
    uint32_t state = 12345;
    auto next = [&state](uint32_t limit) {
        state = state * 1664525u + 1013904223u;
        return static_cast<uint8_t>((state >> 8) % limit);
    };
    for (int32_t number = 0; number < 65536; ++number) {
        RegisterEntry entry;
        for (auto member : VRG500_registerTimes) {
            VRG500_registerTime& time = entry.reg.*member;
            time.isNull = next(5) == 0 ? 1 : 0;
            time.dropFrame = next(2);
            time.hours = next(24);
            time.minutes = next(60);
            time.seconds = next(60);
            time.frames = next(30);
        }
        entry.reg.trailingByte1 = next(256);
        entry.reg.trailingByte2 = next(256);
        char name[9];
        std::snprintf(name, sizeof name, "SH%06d", number);
        entry.clips = {name, NoClipName, name, next(2) ? name : NoClipName};
        registers.set(number, std::move(entry));
    }
    return registers;
}

int writePhase(const std::string& path) {
    RegisterCollection registers = sampleCollection();
    auto start = Clock::now();
    TavrelError error;
    if (!writeRegisterFile(path, registers, &error)) {
        std::fprintf(stderr, "write failed: %s\n", error.description.c_str());
        return 1;
    }
    double writeSeconds = secondsSince(start);
    long peak = peakResidentKilobytes();
    // The floor of any durable save of these bytes: one write(2) of the whole text and fsync.
    std::string text;
    formatRegisterFile(registers, &text);
    std::string copy = path + ".plain";
    start = Clock::now();
    int fd = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    bool written = fd >= 0 &&
                   ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) &&
                   ::fsync(fd) == 0;
    double plainSeconds = secondsSince(start);
    if (fd >= 0) {
        ::close(fd);
    }
    std::remove(copy.c_str());
    std::printf("%.6f %ld %.6f\n", writeSeconds, peak, written ? plainSeconds : -1.0);
    return 0;
}

int readPhase(const std::string& path) {
    RegisterCollection registers;
    auto start = Clock::now();
    TavrelError error;
    if (!readRegisterFile(path, &registers, &error)) {
        std::fprintf(stderr, "read failed: %s\n", error.description.c_str());
        return 1;
    }
    double seconds = secondsSince(start);
    std::printf("%.6f %ld %zu\n", seconds, peakResidentKilobytes(), registers.size());
    return 0;
}

// Reads an input that must be refused; prints the time, the peak memory and 1 if it was.
int refusePhase(const char* format, const std::string& path) {
    auto start = Clock::now();
    TavrelError error;
    RegisterCollection registers;
    bool refused = std::strcmp(format, "refuse-vg2") == 0
                       ? !readRegisterFile(path, &registers, &error)
                       : !readMenuSettingsFile(path, nullptr, &error).has_value();
    double seconds = secondsSince(start);
    std::printf("%.6f %ld %d\n", seconds, peakResidentKilobytes(), refused ? 1 : 0);
    return 0;
}

// The same lines as the file at `from`, last line first.
bool writeDescending(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(std::move(line));
    }
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        out << *line << '\n';
    }
    return static_cast<bool>(out);
}

// One line of `megabytes` MiB: a register whose clip name D never ends.
bool writeOneLine(const std::string& path, size_t megabytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "001";
    for (int i = 0; i < 8; ++i) {
        out << ",**:**:**:**";
    }
    out << ",000,000,A,B,C,";
    const std::string chunk(1 << 20, 'D');
    for (size_t i = 0; i < megabytes && out; ++i) {
        out << chunk;
    }
    return static_cast<bool>(out);
}

struct PhaseFigures {
    std::vector<double> inside;  // the operation alone
    std::vector<double> process; // spawn to exit, like the wc figure
    std::vector<double> extra;
    long peakKilobytes = 0;
};

bool runPhase(const std::string& self, const char* phase, const std::string& path,
              PhaseFigures* figures) {
    std::string output;
    double wall = runTimed({self, "--phase", phase, path}, &output);
    double inside = 0;
    long peak = 0;
    double extra = 0;
    if (wall < 0 || std::sscanf(output.c_str(), "%lf %ld %lf", &inside, &peak, &extra) != 3) {
        std::fprintf(stderr, "%s phase failed\n", phase);
        return false;
    }
    figures->inside.push_back(inside);
    figures->process.push_back(wall);
    figures->extra.push_back(extra);
    figures->peakKilobytes = std::max(figures->peakKilobytes, peak);
    return true;
}

void report(const char* what, const PhaseFigures& figures, double wc) {
    double inside = median(figures.inside);
    double process = median(figures.process);
    std::printf("%-16s %8.2f ms (%5.1fx wc)   whole process %8.2f ms (%5.1fx wc)   peak %6.1f MB "
                "(target: <= 10x, < 64 MB)\n",
                what, inside * 1e3, inside / wc, process * 1e3, process / wc,
                static_cast<double>(figures.peakKilobytes) / 1024.0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--phase") == 0) {
        if (std::strncmp(argv[2], "refuse-", 7) == 0) {
            return refusePhase(argv[2], argv[3]);
        }
        return std::strcmp(argv[2], "write") == 0 ? writePhase(argv[3]) : readPhase(argv[3]);
    }
    const char* base = std::getenv("TMPDIR");
    std::string folder = std::string(base && *base ? base : "/tmp") + "/tavrel-bench-XXXXXX";
    if (!::mkdtemp(folder.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    std::string path = folder + "/registers.vg2";
    std::string self = "/proc/self/exe";
    char resolved[4096];
    ssize_t length = ::readlink(self.c_str(), resolved, sizeof resolved - 1);
    if (length > 0) {
        self.assign(resolved, static_cast<size_t>(length));
    }

    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const size_t oneLineMegabytes = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1024;
    std::string descending = folder + "/descending.vg2";
    std::string oneLine = folder + "/one-line.vg2";
    PhaseFigures writes, reads, descendingReads;
    std::vector<double> wc;
    bool ok = runPhase(self, "write", path, &writes) && // warms the cache; counted like the rest
              writeDescending(path, descending);
    for (int run = 0; ok && run < runs; ++run) {
        std::string output;
        double wcSeconds = runTimed({"wc", "-l", path}, &output);
        ok = wcSeconds >= 0 && runPhase(self, "read", path, &reads) &&
             runPhase(self, "read", descending, &descendingReads) &&
             runPhase(self, "write", path, &writes);
        wc.push_back(wcSeconds);
    }
    const std::pair<const char*, std::string> refusals[] = {{"refuse-vg2", oneLine},
                                                            {"refuse-vg2", "/dev/zero"},
                                                            {"refuse-vgs", oneLine},
                                                            {"refuse-vgs", "/dev/zero"}};
    std::vector<PhaseFigures> refused(std::size(refusals));
    ok = ok && writeOneLine(oneLine, oneLineMegabytes);
    for (size_t i = 0; ok && i < std::size(refusals); ++i) {
        ok = runPhase(self, refusals[i].first, refusals[i].second, &refused[i]);
    }
    if (ok) {
        std::ifstream file(path, std::ios::binary | std::ios::ate);
        double wcMedian = median(wc);
        std::printf("register file: 65536 registers, %.2f MB; medians of %d runs\n",
                    static_cast<double>(file.tellg()) / 1e6, runs);
        std::printf("wc -l %8.2f ms (spawn to exit)\n", wcMedian * 1e3);
        report("read", reads, wcMedian);
        report("read descending", descendingReads, wcMedian);
        report("write", writes, wcMedian);
        std::printf("write floor: one write(2) of the same bytes and fsync %.2f ms (%.1fx wc)\n",
                    median(writes.extra) * 1e3, median(writes.extra) / wcMedian);
        std::printf("descending read / ascending read: %.2fx (target: <= 2x)\n",
                    median(descendingReads.inside) / median(reads.inside));
        std::printf("refused inputs (target: peak < 64 MB):\n");
        for (size_t i = 0; i < std::size(refusals); ++i) {
            const auto& [phase, input] = refusals[i];
            std::string name = input == oneLine
                                   ? "one line of " + std::to_string(oneLineMegabytes) + " MiB"
                                   : input;
            std::printf("  %s %-22s %8.2f ms   peak %6.1f MB   %s\n", phase + 7, name.c_str(),
                        median(refused[i].inside) * 1e3,
                        static_cast<double>(refused[i].peakKilobytes) / 1024.0,
                        median(refused[i].extra) == 1 ? "refused" : "NOT REFUSED");
        }
    }
    std::remove(descending.c_str());
    std::remove(oneLine.c_str());
    std::remove(path.c_str());
    ::rmdir(folder.c_str());
    return ok ? 0 : 1;
}
