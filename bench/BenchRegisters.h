// Register tables for the benchmarks: plausible random registers, whole tables of them and a
// table with one register in a hundred changed. A table's seed goes into its clip names, so the
// registers of two tables always differ.
#pragma once

#include "RegisterCollection.h"
#include "RegisterEntry.h"

#include <cstdint>
#include <cstdio>
#include <random>

namespace benchregisters {

using tavrel::files::RegisterCollection;
using tavrel::records::NoClipName;
using tavrel::records::RegisterEntry;
using tavrel::records::VRG500_registerTime;
using tavrel::records::VRG500_registerTimes;

inline RegisterEntry randomEntry(std::mt19937& random, unsigned table, int32_t number) {
    auto pick = [&random](unsigned limit) { return static_cast<uint8_t>(random() % limit); };
    RegisterEntry entry;
    for (auto member : VRG500_registerTimes) {
        VRG500_registerTime& time = entry.reg.*member;
        time = {pick(24),
                pick(60),
                pick(60),
                pick(30),
                static_cast<int8_t>(pick(2)),
                static_cast<int8_t>(pick(5) == 0)};
    }
    entry.reg.trailingByte2 = pick(100);
    char name[16];
    std::snprintf(name, sizeof name, "T%03u%04X", table % 1000,
                  static_cast<unsigned>(number) & 0xFFFFU);
    entry.clips = {name, NoClipName, name, pick(2) ? name : NoClipName};
    return entry;
}

// `count` registers numbered `first`, `first + spacing`, ...
inline RegisterCollection table(unsigned seed, int32_t count, int32_t first = 0,
                                int32_t spacing = 1) {
    std::mt19937 random(seed);
    RegisterCollection registers;
    registers.reserve(static_cast<size_t>(count));
    for (int32_t row = 0; row < count; ++row) {
        const int32_t number = first + row * spacing;
        registers.set(number, randomEntry(random, seed, number));
    }
    return registers;
}

// `from` with one register in a hundred given a new entry.
inline RegisterCollection withOnePercentChanged(const RegisterCollection& from, unsigned seed) {
    std::mt19937 random(seed);
    RegisterCollection registers = from;
    for (size_t changed = 0; changed < from.size() / 100; ++changed) {
        const int32_t number = registers.numberAt(random() % registers.size());
        registers.set(number, randomEntry(random, seed, number));
    }
    return registers;
}

} // namespace benchregisters
