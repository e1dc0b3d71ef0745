// The simulator's answer to every command, the state the loads and offsets leave behind, and
// its sample registers.
#include "PtyClient.h"
#include "Vrg500Simulator.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

template <size_t N> std::array<uint8_t, N> toArray(const Bytes& bytes) {
    std::array<uint8_t, N> array{};
    std::copy_n(bytes.begin(), N, array.begin());
    return array;
}

Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

const Bytes nullTime = {0x80, 0x00, 0x00, 0x00};
const Bytes nullRegister = join({repeat(nullTime, 8), {0x00, 0x00}});
const Bytes sampleRegister = join({{0x29, 0x59, 0x59, 0x23, 0x00, 0x00, 0x00, 0x01},
                                   repeat(nullTime, 5),
                                   {0x69, 0x01, 0x02, 0x03, 0xAB, 0xCD}});
const Bytes names = text("CLIP    SHOT0042INTV_A01********");
const Bytes ack = {0x10, 0x01, 0x06};
const Bytes nak = {0x10, 0x01, 0x15};

Bytes menuPattern() {
    Bytes menu;
    for (uint8_t i = 0; i < 32; ++i) {
        menu.push_back(i);
    }
    return menu;
}

using Setup = std::function<void(Vrg500Simulator&)>;

class SimulatorTest : public testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(sim.start(&error)) << error;
        client = std::make_unique<PtyClient>(sim.slavePath());
        ASSERT_TRUE(client->isOpen());
    }
    Vrg500Simulator sim;
    std::unique_ptr<PtyClient> client;
};

// --- Replies -------------------------------------------------------------------------------------

struct ReplyCase {
    const char* name;
    Setup setup;
    Bytes request;
    Bytes reply;
    std::function<bool(const Vrg500Simulator&)> stored = nullptr; // what a load leaves behind
};

// clang-format off
const ReplyCase replyCases[] = {
    {"Version", nullptr, {0x11, 0x00}, join({{0x11, 0x04}, text("2.10")})},
    {"EmptyVersion", [](auto& s) { s.setVersion(""); }, {0x11, 0x00}, {0x11, 0x00}},
    {"VideoStandardFalse", nullptr, {0x12, 0x00}, {0x12, 0x01, 0x00}},
    {"VideoStandardTrue", [](auto& s) { s.setVideoStandard(true); }, {0x12, 0x00}, {0x12, 0x01, 0x01}},
    {"RegisterTimeDefaultIsNull", nullptr, {0x20, 0x02, 0x01, 0x02}, join({{0x20, 36, 0x01, 0x02}, nullRegister})},
    {"RegisterTime", [](auto& s) { s.setRegisterWire(65535, toArray<34>(sampleRegister)); },
     {0x20, 0x02, 0xFF, 0xFF}, join({{0x20, 36, 0xFF, 0xFF}, sampleRegister})},
    {"CurrentRegisterDefault", nullptr, {0x21, 0x00}, {0x21, 0x02, 0x00, 0x00}},
    {"CurrentRegister", [](auto& s) { s.setCurrentRegister(300); }, {0x21, 0x00}, {0x21, 0x02, 0x01, 0x2C}},
    {"NoClipNamesIsNak", nullptr, {0x25, 0x02, 0x00, 0x05}, nak},
    {"ClipNames", [](auto& s) { s.setClipNames(5, toArray<32>(names)); },
     {0x25, 0x02, 0x00, 0x05}, join({{0x25, 34, 0x00, 0x05}, names})},
    {"MenuData", nullptr, {0x26, 0x02, 0x00, 0x00}, join({{0x26, 32}, menuPattern()})},
    {"MenuDataAnsweredWithAck", [](auto& s) { s.setMenuAnsweredWithAck(true); }, {0x26, 0x02, 0x00, 0x00}, ack},
    {"RegisterTimeLoad", nullptr, join({{0x40, 36, 0x01, 0x02}, sampleRegister}), ack,
     [](auto& s) { return s.registerWire(258) == toArray<34>(sampleRegister); }},
    {"SetCurrentRegister", nullptr, {0x41, 0x02, 0x01, 0x2C}, ack, [](auto& s) { return s.currentRegister() == 300; }},
    {"OffsetAdd", nullptr, {0x42, 0x07, 0x00, 0x07, 0x05, 0x00, 0x00, 0x00, 0x01}, ack},
    {"OffsetSubtract", nullptr, {0x43, 0x07, 0x01, 0x2C, 0x08, 0x15, 0x10, 0x00, 0x00}, ack},
    {"ClipNameLoad", nullptr, join({{0x45, 34, 0x00, 0x09}, names}), ack,
     [](auto& s) { return s.clipNames(9) == toArray<32>(names); }},
    {"MenuLoad", nullptr, join({{0x46, 32}, repeat({0xA5}, 32)}), ack,
     [](auto& s) { return s.menu() == toArray<32>(repeat({0xA5}, 32)); }},
    {"UnknownFunctionIsNak", nullptr, {0x99, 0x00}, nak},
    {"VersionWithPayloadIsNak", nullptr, {0x11, 0x01, 0x00}, nak},
    {"ShortRegisterRequestIsNak", nullptr, {0x20, 0x01, 0x00}, nak},
    {"ShortLoadIsNakAndStoresNothing", nullptr, {0x40, 0x02, 0x00, 0x01}, nak,
     [](auto& s) { return s.registerWire(1) == toArray<34>(nullRegister); }},
    {"MenuRequestWithoutPayloadIsNak", nullptr, {0x26, 0x00}, nak},
};
// clang-format on

class ReplyTest : public SimulatorTest, public testing::WithParamInterface<ReplyCase> {};

TEST_P(ReplyTest, AnswersAsTheDevice) {
    const ReplyCase& c = GetParam();
    if (c.setup) {
        c.setup(sim);
    }
    EXPECT_EQ(client->exchange(c.request), c.reply);
    EXPECT_EQ(sim.receivedFrames(), std::vector<Bytes>{c.request});
    if (c.stored) {
        EXPECT_TRUE(c.stored(sim));
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, ReplyTest, testing::ValuesIn(replyCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Offsets -------------------------------------------------------------------------------------

struct OffsetCase {
    const char* name;
    Bytes time;
    uint8_t function;
    Bytes offset;
    Bytes expected;
};

// clang-format off
const OffsetCase offsetCases[] = {
    {"AddHour",                 {0x00, 0x00, 0x00, 0x10}, 0x42, {0x00, 0x00, 0x00, 0x01}, {0x00, 0x00, 0x00, 0x11}},
    {"AddCarriesFrames",        {0x29, 0x59, 0x00, 0x00}, 0x42, {0x01, 0x00, 0x00, 0x00}, {0x00, 0x00, 0x01, 0x00}},
    {"AddWrapsAtMidnight",      {0x29, 0x59, 0x59, 0x23}, 0x42, {0x01, 0x00, 0x00, 0x00}, {0x00, 0x00, 0x00, 0x00}},
    {"Subtract",                {0x00, 0x00, 0x00, 0x01}, 0x43, {0x15, 0x10, 0x00, 0x00}, {0x15, 0x49, 0x59, 0x00}},
    {"SubtractWrapsAtMidnight", {0x00, 0x00, 0x00, 0x00}, 0x43, {0x01, 0x00, 0x00, 0x00}, {0x29, 0x59, 0x59, 0x23}},
    {"KeepsDropFrame",          {0x50, 0x00, 0x00, 0x00}, 0x42, {0x05, 0x00, 0x00, 0x00}, {0x55, 0x00, 0x00, 0x00}},
    {"LeavesNullTimes",         {0x85, 0x30, 0x00, 0x01}, 0x42, {0x00, 0x00, 0x00, 0x01}, {0x85, 0x30, 0x00, 0x01}},
};
// clang-format on

class OffsetTest : public SimulatorTest, public testing::WithParamInterface<OffsetCase> {};

TEST_P(OffsetTest, ShiftsTheChosenMachines) {
    const OffsetCase& c = GetParam();
    const Bytes untouched = {0x00, 0x00, 0x00, 0x05}; // 05:00:00:00
    // Machines A and C carry the time, B and D the untouched one; all four are chosen.
    sim.setRegisterWire(7, toArray<34>(join({repeat(c.time, 2),
                                             repeat(untouched, 2),
                                             repeat(c.time, 2),
                                             repeat(untouched, 2),
                                             {0x00, 0x00}})));
    ASSERT_EQ(client->exchange(join({{c.function, 0x07, 0x00, 0x07, 0x05}, c.offset})), ack);
    EXPECT_EQ(sim.registerWire(7), toArray<34>(join({repeat(c.expected, 2),
                                                     repeat(untouched, 2),
                                                     repeat(c.expected, 2),
                                                     repeat(untouched, 2),
                                                     {0x00, 0x00}})));
}

INSTANTIATE_TEST_SUITE_P(Commands, OffsetTest, testing::ValuesIn(offsetCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Sample registers ----------------------------------------------------------------------------

Vrg500SimulatorOptions samples(uint32_t seed) {
    Vrg500SimulatorOptions options;
    options.sampleRegisters = true;
    options.seed = seed;
    return options;
}

bool sameRegisters(const Vrg500Simulator& a, const Vrg500Simulator& b, int count) {
    for (int n = 0; n < count; ++n) {
        const auto number = static_cast<uint16_t>(n);
        if (a.registerWire(number) != b.registerWire(number) ||
            a.clipNames(number) != b.clipNames(number)) {
            return false;
        }
    }
    return true;
}

TEST(SampleRegisters, AreAFunctionOfTheSeedAlone) {
    Vrg500Simulator first(samples(42)), second(samples(42)), other(samples(43));
    EXPECT_TRUE(sameRegisters(first, second, 300));
    EXPECT_FALSE(sameRegisters(first, other, 300));
    // Fixed for all compilers and libraries: demonstrations and saved files depend on it.
    const Vrg500Simulator one(samples(1));
    EXPECT_EQ(one.registerWire(1),
              toArray<34>({0x08, 0x21, 0x53, 0x20, 0x12, 0x15, 0x58, 0x20, 0x01, 0x38, 0x55, 0x15,
                           0x23, 0x15, 0x05, 0x16, 0x80, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x00,
                           0x17, 0x12, 0x38, 0x11, 0x15, 0x33, 0x40, 0x11, 0x00, 0x00}));
    EXPECT_EQ(one.clipNames(1), toArray<32>(text("REEL98  INTV_S19SHOT4203B-ROLL32")));
}

bool validTime(const uint8_t* t) {
    auto digitsBelow = [](uint8_t byte, int limit) {
        return (byte & 0x0F) <= 9 && (byte >> 4) * 10 + (byte & 0x0F) < limit;
    };
    if (t[0] & 0x80) {
        return t[0] == 0x80 && t[1] == 0 && t[2] == 0 && t[3] == 0;
    }
    return digitsBelow(t[0] & 0x3F, 30) && digitsBelow(t[1], 60) && digitsBelow(t[2], 60) &&
           digitsBelow(t[3], 24);
}

TEST(SampleRegisters, ArePlausibleAndVaried) {
    const Vrg500Simulator sim(samples(7));
    int nullTimes = 0, dropFrames = 0, withoutNames = 0, blankEnds = 0, trailing = 0;
    for (uint16_t number = 0; number < 300; ++number) {
        const auto wire = sim.registerWire(number);
        for (int time = 0; time < 8; ++time) {
            ASSERT_TRUE(validTime(&wire[time * 4])) << "register " << number << " time " << time;
            nullTimes += wire[time * 4] >> 7;
            dropFrames += (wire[time * 4] >> 6) & 1;
        }
        trailing += wire[32] != 0 || wire[33] != 0;
        const auto clips = sim.clipNames(number);
        withoutNames += !clips;
        for (size_t i = 0; clips && i < clips->size(); ++i) {
            ASSERT_TRUE((*clips)[i] >= 0x20 && (*clips)[i] < 0x7F) << "register " << number;
            blankEnds += i % 8 == 7 && (*clips)[i] == ' ';
        }
    }
    EXPECT_GT(nullTimes, 0);
    EXPECT_GT(dropFrames, 0);
    EXPECT_GT(withoutNames, 0);
    EXPECT_GT(blankEnds, 0);
    EXPECT_GT(trailing, 0);
    EXPECT_EQ(sim.registerWire(300), toArray<34>(nullRegister)); // beyond the sample count
    EXPECT_FALSE(sim.clipNames(300));
}

} // namespace
