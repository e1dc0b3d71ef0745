// The simulator as a serial line: frames in pieces, stalled frames, faults, hang-ups, exclusive
// use, the link path and the wire speed.
#include "PtyClient.h"
#include "Vrg500Simulator.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const Bytes versionRequest = {0x11, 0x00};
const Bytes versionReply = {0x11, 0x04, '2', '.', '1', '0'};
const Bytes ack = {0x10, 0x01, 0x06};
const Bytes nak = {0x10, 0x01, 0x15};

// Waits for a condition that the simulator's thread brings about; false after two seconds.
template <class Condition> bool eventually(Condition condition) {
    const auto giveUp = Clock::now() + 2s;
    while (!condition()) {
        if (Clock::now() > giveUp) {
            return false;
        }
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

class TemporaryFolder {
  public:
    TemporaryFolder() {
        char pattern[] = "/tmp/vrg500-sim-test-XXXXXX";
        _path = mkdtemp(pattern);
    }
    ~TemporaryFolder() { std::filesystem::remove_all(_path); }
    std::string file(const char* name) const { return (_path / name).string(); }

  private:
    std::filesystem::path _path;
};

class LineTest : public testing::Test {
  protected:
    void start(Vrg500SimulatorOptions options = {}) {
        sim = std::make_unique<Vrg500Simulator>(options);
        std::string error;
        ASSERT_TRUE(sim->start(&error)) << error;
        client = std::make_unique<PtyClient>(sim->slavePath());
        ASSERT_TRUE(client->isOpen());
    }
    void SetUp() override { start(); }

    std::unique_ptr<Vrg500Simulator> sim;
    std::unique_ptr<PtyClient> client;
};

// --- Framing -------------------------------------------------------------------------------------

TEST_F(LineTest, ReassemblesAFrameSentInPieces) {
    for (uint8_t byte : {0x20, 0x02, 0x00, 0x05}) {
        ASSERT_TRUE(client->send({byte}));
        std::this_thread::sleep_for(20ms);
    }
    const Bytes reply = client->readReply();
    ASSERT_EQ(reply.size(), 38u);
    EXPECT_EQ(Bytes(reply.begin(), reply.begin() + 4), (Bytes{0x20, 36, 0x00, 0x05}));
    EXPECT_EQ(sim->receivedFrames(), (std::vector<Bytes>{{0x20, 0x02, 0x00, 0x05}}));
}

TEST_F(LineTest, AnswersEachFrameOfOneWrite) {
    ASSERT_TRUE(client->send({0x11, 0x00, 0x41, 0x02, 0x00, 0x07, 0x21, 0x00}));
    EXPECT_EQ(client->readAll(),
              (Bytes{0x11, 0x04, '2', '.', '1', '0', 0x10, 0x01, 0x06, 0x21, 0x02, 0x00, 0x07}));
    EXPECT_EQ(sim->receivedFrames().size(), 3u);
}

TEST_F(LineTest, DropsAStalledPartialFrame) {
    ASSERT_TRUE(client->send({0x20, 0x02, 0x00}));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(client->exchange(versionRequest), versionReply);
    EXPECT_EQ(sim->receivedFrames(), std::vector<Bytes>{versionRequest});
}

// --- Faults --------------------------------------------------------------------------------------

struct FaultCase {
    const char* name;
    Vrg500Fault fault;
    int count;
    Bytes request;
    Bytes received;
};

const Bytes register5 =
    join({{0x29, 0x59, 0x59, 0x23}, repeat({0x80, 0x00, 0x00, 0x00}, 7), {0x00, 0x00}});

// clang-format off
const FaultCase faultCases[] = {
    {"NoReply",                Vrg500Fault::NoReply,        5, versionRequest, {}},
    {"TruncatedReply",         Vrg500Fault::TruncatedReply, 5, versionRequest, {0x11, 0x04, '2', '.', '1'}},
    {"SplitReply",             Vrg500Fault::SplitReply,     5, versionRequest, versionReply},
    {"GarbageBytes",           Vrg500Fault::GarbageBytes,   3, {0x12, 0x00}, {0x00, 0x00, 0x00, 0x12, 0x01, 0x00}},
    {"WrongRegisterTime",      Vrg500Fault::WrongRegister,  5, {0x20, 0x02, 0x00, 0x04}, join({{0x20, 36, 0x00, 0x05}, register5})},
    {"WrongRegisterClipNames", Vrg500Fault::WrongRegister,  5, {0x25, 0x02, 0x00, 0x04}, join({{0x25, 34, 0x00, 0x05}, repeat({' '}, 32)})},
    {"WrongCurrentRegister",   Vrg500Fault::WrongRegister,  5, {0x21, 0x00}, {0x21, 0x02, 0x00, 0x01}},
    {"NakInstead",             Vrg500Fault::NakInstead,     5, versionRequest, nak},
    {"AckInstead",             Vrg500Fault::AckInstead,     5, versionRequest, ack},
    {"BooleanInstead",         Vrg500Fault::BooleanInstead, 5, versionRequest, {0x12, 0x01, 0x01}},
};
// clang-format on

class FaultTest : public LineTest, public testing::WithParamInterface<FaultCase> {};

TEST_P(FaultTest, ChangesTheNextReplyOnly) {
    std::array<uint8_t, 34> wire;
    std::copy(register5.begin(), register5.end(), wire.begin());
    sim->setRegisterWire(5, wire);
    sim->injectFault(GetParam().fault, GetParam().count);
    const auto sent = Clock::now();
    ASSERT_TRUE(client->send(GetParam().request));
    EXPECT_EQ(client->readAll(), GetParam().received);
    if (GetParam().fault == Vrg500Fault::SplitReply) {
        EXPECT_GE(Clock::now() - sent, 100ms); // two pauses between three pieces
    }
    EXPECT_EQ(client->exchange(versionRequest), versionReply);
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultTest, testing::ValuesIn(faultCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LineTest, QueuedFaultsAndRepliesApplyInOrder) {
    const Bytes raw = {0x10, 0x02, 0x06, 0x06};
    sim->injectFault(Vrg500Fault::NakInstead);
    sim->queueRawReply(raw);
    sim->injectFault(Vrg500Fault::AckInstead);
    EXPECT_EQ(client->exchange(versionRequest), nak);
    EXPECT_EQ(client->exchange(versionRequest), raw);
    EXPECT_EQ(client->exchange(versionRequest), ack);
    EXPECT_EQ(client->exchange(versionRequest), versionReply);
}

TEST_F(LineTest, CommandIsCarriedOutWhenItsReplyIsLost) {
    sim->injectFault(Vrg500Fault::NoReply);
    ASSERT_TRUE(client->send({0x41, 0x02, 0x01, 0x2C}));
    EXPECT_EQ(client->readAll(), Bytes{});
    EXPECT_EQ(sim->currentRegister(), 300);
}

// --- Hang-up and the link path -------------------------------------------------------------------

struct HangUpCase {
    const char* name;
    bool withLink;
    bool reappear;
    int frames;
};

const HangUpCase hangUpCases[] = {
    {"ReappearsAtLink", true, true, 2},
    {"ReappearsAtNewDevice", false, true, 1},
    {"GoneWithLink", true, false, 1},
    {"AtOnce", true, true, 0},
};

class HangUpTest : public LineTest, public testing::WithParamInterface<HangUpCase> {
  protected:
    void SetUp() override {
        Vrg500SimulatorOptions options;
        if (GetParam().withLink) {
            options.linkPath = folder.file("vrg500");
        }
        start(options);
    }
    TemporaryFolder folder;
};

TEST_P(HangUpTest, EndsTheLineAfterTheLastReply) {
    const HangUpCase& c = GetParam();
    const std::string oldDevice = sim->devicePath();
    sim->hangUpAfterFrames(c.frames, c.reappear);
    for (int frame = 0; frame < c.frames; ++frame) {
        ASSERT_TRUE(client->send(versionRequest));
        std::this_thread::sleep_for(50ms); // a slow reader still gets the last reply
        EXPECT_EQ(client->readReply(), versionReply);
    }
    ASSERT_TRUE(eventually([&] { return !std::filesystem::exists(oldDevice); }));
    errno = 0;
    EXPECT_FALSE(client->send(versionRequest));
    EXPECT_EQ(errno, EIO);

    if (!c.reappear) {
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(sim->slavePath())));
        return;
    }
    EXPECT_NE(sim->devicePath(), oldDevice);
    if (c.withLink) {
        EXPECT_EQ(std::filesystem::read_symlink(sim->slavePath()), sim->devicePath());
    }
    PtyClient again(sim->slavePath());
    ASSERT_TRUE(again.isOpen());
    EXPECT_EQ(again.exchange(versionRequest), versionReply);
}

INSTANTIATE_TEST_SUITE_P(HangUp, HangUpTest, testing::ValuesIn(hangUpCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LineTest, SurvivesClientsComingAndGoing) {
    for (int round = 0; round < 3; ++round) {
        client = std::make_unique<PtyClient>(sim->slavePath());
        ASSERT_TRUE(client->isOpen());
        EXPECT_EQ(client->exchange(versionRequest), versionReply);
    }
}

// The simulator's own descriptor keeps the slave open, so the kernel would keep a client's
// exclusive use after it has closed; the simulator ends it as a real port's last close does.
TEST_F(LineTest, ExclusiveUseEndsWhenTheClientCloses) {
    auto exclusive = [&] {
        int flag = -1;
        ioctl(client->fd(), TIOCGEXCL, &flag);
        return flag;
    };
    {
        PtyClient holder(sim->slavePath());
        ASSERT_EQ(ioctl(holder.fd(), TIOCEXCL), 0);
        ASSERT_EQ(exclusive(), 1);
    }
    EXPECT_TRUE(eventually([&] { return exclusive() == 0; }));
}

TEST(LinkPath, IsRemovedAtStopAndNeverReplacesAFile) {
    TemporaryFolder folder;
    Vrg500SimulatorOptions options;
    options.linkPath = folder.file("vrg500");
    {
        Vrg500Simulator sim(options);
        ASSERT_TRUE(sim.start());
        EXPECT_EQ(std::filesystem::read_symlink(options.linkPath), sim.devicePath());
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(options.linkPath)));

    std::ofstream(options.linkPath) << "keep me";
    Vrg500Simulator sim(options);
    std::string error;
    EXPECT_FALSE(sim.start(&error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(std::filesystem::is_regular_file(options.linkPath));
}

// --- Timing: lower bounds only, a loaded machine may always be slower ----------------------------

struct TimingCase {
    const char* name;
    bool paced;
    std::chrono::milliseconds latency;
    Bytes request;
    std::chrono::microseconds atLeast;
};

const TimingCase timingCases[] = {
    // 4 request and 38 reply bytes of 10 bits at 9600 baud.
    {"PacedRegisterTime", true, 0ms, {0x20, 0x02, 0x00, 0x01}, 43750us},
    {"PacedAck", true, 0ms, {0x41, 0x02, 0x00, 0x01}, 7292us},
    {"Latency", false, 40ms, versionRequest, 40000us},
};

class TimingTest : public LineTest, public testing::WithParamInterface<TimingCase> {
  protected:
    void SetUp() override {
        Vrg500SimulatorOptions options;
        options.paced = GetParam().paced;
        options.replyLatency = GetParam().latency;
        start(options);
    }
};

TEST_P(TimingTest, TakesAtLeastTheWireTime) {
    const auto sent = Clock::now();
    const Bytes reply = client->exchange(GetParam().request);
    const auto elapsed = Clock::now() - sent;
    ASSERT_FALSE(reply.empty());
    EXPECT_EQ(reply.size(), 2u + reply[1]);
    EXPECT_GE(elapsed, GetParam().atLeast);
}

INSTANTIATE_TEST_SUITE_P(Timing, TimingTest, testing::ValuesIn(timingCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
