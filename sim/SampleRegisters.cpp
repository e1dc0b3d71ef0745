#include "SampleRegisters.h"

#include "RegisterTimeWire.h"

#include <algorithm>
#include <cstdio>

namespace tavrel::sim {

using records::VRG500_registerTime;

namespace {

// SplitMix64: small, fast, and fully specified, unlike the standard distributions.
class SampleRandom {
  public:
    explicit SampleRandom(uint64_t seed) : _state(seed) {}
    uint64_t next() {
        uint64_t z = (_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    unsigned below(unsigned limit) { return static_cast<unsigned>(next() % limit); }
    bool oneIn(unsigned n) { return below(n) == 0; }

  private:
    uint64_t _state;
};

VRG500_registerTime randomTime(SampleRandom& random, bool dropFrame) {
    VRG500_registerTime time;
    time.hours = static_cast<uint8_t>(random.below(24));
    time.minutes = static_cast<uint8_t>(random.below(60));
    time.seconds = static_cast<uint8_t>(random.below(60));
    time.frames = static_cast<uint8_t>(random.below(30));
    time.dropFrame = dropFrame ? 1 : 0;
    return time;
}

// The OUT time: a few seconds to ten minutes after the IN time, within the same day.
VRG500_registerTime laterTime(SampleRandom& random, VRG500_registerTime in) {
    unsigned total = ((in.hours * 60u + in.minutes) * 60u + in.seconds) * 30u + in.frames;
    total = std::min(total + 60 + random.below(10 * 60 * 30), 24u * 60 * 60 * 30 - 1);
    in.frames = static_cast<uint8_t>(total % 30);
    in.seconds = static_cast<uint8_t>(total / 30 % 60);
    in.minutes = static_cast<uint8_t>(total / 30 / 60 % 60);
    in.hours = static_cast<uint8_t>(total / 30 / 3600);
    return in;
}

void fillMachineTimes(SampleRandom& random, bool dropFrame, uint8_t* wire) {
    VRG500_registerTime in;
    VRG500_registerTime out;
    if (random.oneIn(6)) {
        in.isNull = out.isNull = 1;
    } else {
        in = randomTime(random, dropFrame);
        out = laterTime(random, in);
    }
    records::vrg500wire::packRegisterTime(in, wire);
    records::vrg500wire::packRegisterTime(out, wire + 4);
}

// Eight printable characters, some of them ending in blanks.
void fillClipName(SampleRandom& random, uint8_t* name) {
    char text[32];
    switch (random.below(5)) {
    case 0:
        std::snprintf(text, sizeof text, "SHOT%04u", random.below(10000));
        break;
    case 1: {
        // Drawn one after the other: the order of evaluating call arguments varies by compiler.
        const char letter = static_cast<char>('A' + random.below(26));
        std::snprintf(text, sizeof text, "INTV_%c%02u", letter, random.below(100));
        break;
    }
    case 2:
        std::snprintf(text, sizeof text, "REEL%02u  ", random.below(100));
        break;
    case 3:
        std::snprintf(text, sizeof text, "B-ROLL%02u", random.below(100));
        break;
    default:
        std::snprintf(text, sizeof text, "CLIP    ");
        break;
    }
    std::copy(text, text + 8, name);
}

void fillRegister(SampleRandom& random, DeviceState& state, size_t number) {
    const bool dropFrame = random.oneIn(5);
    RegisterWire& wire = state.registers[number];
    for (int machine = 0; machine < 4; ++machine) {
        fillMachineTimes(random, dropFrame, &wire[machine * 8]);
    }
    const uint64_t trailing = random.next();
    wire[32] = random.oneIn(3) ? static_cast<uint8_t>(trailing) : 0;
    wire[33] = random.oneIn(3) ? static_cast<uint8_t>(trailing >> 8) : 0;

    if (random.oneIn(5)) {
        state.clipNames[number].reset();
        return;
    }
    ClipNamesWire names;
    for (int machine = 0; machine < 4; ++machine) {
        fillClipName(random, &names[machine * 8]);
    }
    state.clipNames[number] = names;
}

} // namespace

void fillSampleRegisters(DeviceState& state, uint32_t seed, int count) {
    SampleRandom random(seed);
    const size_t last = std::min<size_t>(std::max(count, 0), DeviceState::registerCount);
    for (size_t number = 0; number < last; ++number) {
        fillRegister(random, state, number);
    }
}

} // namespace tavrel::sim
