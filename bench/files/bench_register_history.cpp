// What the undo history of the register table costs at 65,536 registers. First the time of one
// small change (an edited cell, an inserted and a deleted register) done and undone through
// RegisterCollection::apply and through erase/set. Then the memory of 100 undo steps of
// whole-table replacements (a download or an opened file each) in four scenarios, each in a
// fresh process: resident memory from /proc/self/statm after malloc_trim(0), and the sum of the
// steps' heldBytes. Prints figures; never fails on them.
#include "RegisterChanges.h"

#include "BenchMemory.h"
#include "BenchRegisters.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <malloc.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace tavrel::files;
using namespace tavrel::records;

using benchmemory::residentMegabytes;

using benchregisters::randomEntry;
using benchregisters::withOnePercentChanged;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int32_t Registers = 65536;
constexpr int Steps = 100;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

using NextTable = std::function<RegisterCollection(unsigned step, const RegisterCollection&)>;

void historyScenario(const char* label, const NextTable& next) {
    RegisterCollection current = next(0, {});
    double before = residentMegabytes();
    std::vector<RegisterChanges> history;
    double building = 0;
    size_t touched = 0;
    for (unsigned step = 1; step <= Steps; ++step) {
        RegisterCollection replacement = next(step, current);
        auto start = Clock::now();
        history.push_back(RegisterChanges::between(current, replacement));
        building += secondsSince(start);
        touched += history.back().count();
        current = std::move(replacement);
    }
    double after = residentMegabytes();
    size_t held = 0;
    for (const RegisterChanges& change : history) {
        held += change.heldBytes();
    }
    // Undone and redone a few times: the first round alone would mostly measure page faults.
    constexpr int Rounds = 10;
    auto start = Clock::now();
    for (int round = 0; round < Rounds; ++round) {
        RegisterChangeSide back = history.back().backward();
        current.apply(back.removed, back.stored);
        RegisterChangeSide again = history.back().forward();
        current.apply(again.removed, again.stored);
    }
    double undo = secondsSince(start) / (2 * Rounds);
    std::printf("%s\n", label);
    std::printf("  registers touched per step   %10.0f\n", static_cast<double>(touched) / Steps);
    std::printf("  history, resident growth     %10.1f MB (whole process %.1f MB, the current "
                "table included)\n",
                after - before, after);
    std::printf("  history, sum of heldBytes    %10.1f MB\n", static_cast<double>(held) / 1e6);
    std::printf("  building one step            %10.2f ms\n", building / Steps * 1e3);
    std::printf(
        "  undoing or redoing the last   %10.2f ms (backward() or forward(), and apply)\n\n",
        undo * 1e3);
}

void inChild(const std::function<void()>& run) {
    std::fflush(stdout);
    pid_t pid = fork();
    if (pid == 0) {
        run();
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
}

using Path = void (*)(RegisterCollection&, const RegisterChangeSide&);

void byApply(RegisterCollection& registers, const RegisterChangeSide& side) {
    registers.apply(side.removed, side.stored);
}

void byEraseAndSet(RegisterCollection& registers, const RegisterChangeSide& side) {
    for (int32_t number : side.removed) {
        registers.erase(number);
    }
    for (const auto& [number, entry] : side.stored) {
        registers.set(number, entry);
    }
}

// Microseconds per way (forward() or backward() and applying it), alternating both ways.
double microsecondsPerWay(RegisterCollection& registers, const RegisterChanges& change, Path path) {
    constexpr int Rounds = 500;
    auto start = Clock::now();
    for (int round = 0; round < Rounds; ++round) {
        path(registers, change.forward());
        path(registers, change.backward());
    }
    return secondsSince(start) / (2 * Rounds) * 1e6;
}

void smallChanges() {
    RegisterCollection registers = benchregisters::table(1, Registers);
    std::mt19937 random(7);
    RegisterEntry edited = *registers.find(Registers / 2);
    edited.reg.inB.frames = static_cast<uint8_t>((edited.reg.inB.frames + 1) % 30);
    struct Small {
        const char* name;
        RegisterChanges change;
    };
    constexpr int Edits = 1000;
    auto start = Clock::now();
    for (int round = 0; round < Edits; ++round) {
        edited.reg.outD.frames = static_cast<uint8_t>(round % 30);
        RegisterChanges::storing(registers, {{Registers / 2, edited}});
    }
    double making = secondsSince(start) / Edits;
    RegisterChanges edit = RegisterChanges::storing(registers, {{Registers / 2, edited}});
    const Small smalls[] = {
        {"edit of register 32768 (replaced in place)", edit},
        {"insert of register -1 (before row 0)",
         RegisterChanges::storing(registers, {{-1, randomEntry(random, 2, -1)}})},
        {"delete of register 0 (row 0)", RegisterChanges::removing(registers, {0})},
    };
    std::printf("One-register changes at %d registers, per way (forward or backward, applied)\n",
                Registers);
    std::printf("  making the edit's step (storing)                     %8.2f us\n", making * 1e6);
    for (const Small& small : smalls) {
        double applied = microsecondsPerWay(registers, small.change, byApply);
        double erased = microsecondsPerWay(registers, small.change, byEraseAndSet);
        std::printf("  %-44s apply %8.2f us   erase/set %8.2f us\n", small.name, applied, erased);
    }
    std::printf("\n");
}

} // namespace

int main() {
    inChild([] {
        double empty = residentMegabytes();
        RegisterCollection registers = benchregisters::table(1, Registers);
        std::printf("One table of %d registers as a RegisterCollection: %.1f MB resident\n\n",
                    Registers, residentMegabytes() - empty);
    });
    inChild(smallChanges);
    std::printf("%d undo steps of whole-table replacements at %d registers\n\n", Steps, Registers);
    inChild([] {
        historyScenario("(a) each table the one before with 1% of its registers changed",
                        [](unsigned step, const RegisterCollection& previous) {
                            return step == 0 ? benchregisters::table(1, Registers)
                                             : withOnePercentChanged(previous, step);
                        });
    });
    inChild([] {
        RegisterCollection base = benchregisters::table(1, Registers);
        historyScenario("(a') each table one base table with its own random 1% changed",
                        [&base](unsigned step, const RegisterCollection&) {
                            return withOnePercentChanged(base, step + 1000);
                        });
    });
    inChild([] {
        historyScenario("(b) two entirely different tables A and B in turn (open A, B, A, ...)",
                        [](unsigned step, const RegisterCollection&) {
                            return benchregisters::table(1 + step % 2, Registers);
                        });
    });
    inChild([] {
        historyScenario("(c) 100 entirely different tables: no lossless history fits 80 MB",
                        [](unsigned step, const RegisterCollection&) {
                            return benchregisters::table(1 + step, Registers);
                        });
    });
    return 0;
}
