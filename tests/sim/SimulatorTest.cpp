// The simulator's own answers and the state its loads and offsets leave behind, its sample
// registers, and what it does as a serial line: stalled frames, hang-ups, exclusive use, pacing.
#include "../files/TempFolder.h"
#include "../link/Eventually.h"
#include "Vrg500Simulator.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace tavrel::sim;

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

template <size_t N> std::array<uint8_t, N> wire(const Bytes& bytes) {
    std::array<uint8_t, N> array{};
    std::copy_n(bytes.begin(), std::min(N, bytes.size()), array.begin());
    return array;
}

// A plain client of the simulator's pty, raw like the device link.
class PtyClient {
  public:
    explicit PtyClient(const std::string& path) : fd(open(path.c_str(), O_RDWR | O_NOCTTY)) {
        termios attributes{};
        tcgetattr(fd, &attributes);
        cfmakeraw(&attributes);
        tcsetattr(fd, TCSANOW, &attributes);
    }
    ~PtyClient() { close(fd); }

    bool send(const Bytes& bytes) {
        return write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    // One reply frame: its header and the payload it announces, or less when the line stays quiet.
    Bytes readReply() {
        Bytes reply;
        pollfd readable{fd, POLLIN, 0};
        uint8_t buffer[512];
        while ((reply.size() < 2 || reply.size() < 2u + reply[1]) && poll(&readable, 1, 500) > 0) {
            const ssize_t count = read(fd, buffer, sizeof buffer);
            if (count <= 0) {
                break;
            }
            reply.insert(reply.end(), buffer, buffer + count);
        }
        return reply;
    }
    Bytes exchange(const Bytes& frame) { return send(frame) ? readReply() : Bytes{}; }
    const int fd;
};

const Bytes versionRequest = {0x11, 0x00}, versionReply = {0x11, 0x04, '2', '.', '1', '0'};
const Bytes ack = {0x10, 0x01, 0x06}, nak = {0x10, 0x01, 0x15};
const Bytes nullTime = {0x80, 0, 0, 0}, nullTimes = nullTime + nullTime + nullTime + nullTime;
const Bytes nullRegister = nullTimes + nullTimes + Bytes{0, 0};
const Bytes sampleRegister = {0x29, 0x59, 0x59, 0x23, 0,    0, 0, 0x01, 0x80, 0,   0, 0,
                              0x80, 0,    0,    0,    0x80, 0, 0, 0,    0x80, 0,   0, 0,
                              0x80, 0,    0,    0,    0x69, 1, 2, 3,    0xAB, 0xCD};
const Bytes names = text("CLIP    SHOT0042INTV_A01********");
const Bytes blankNames = text(std::string(32, ' '));
const Bytes menuPattern = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                           16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31};

// Register 7 before and after the offsets of 01:00:00:01 and 00:00:10:15 on machines A and C:
// A in wraps at midnight, A out keeps its drop-frame flag, C in is null, B and D are unchosen.
const Bytes fiveHours = {0, 0, 0, 0x05};
const Bytes unshifted = Bytes{0x29, 0x59, 0x59, 0x23, 0x50, 0, 0, 0} + fiveHours + fiveHours +
                        Bytes{0x85, 0x30, 0, 0x01, 0, 0, 0, 0} + fiveHours + fiveHours +
                        Bytes{1, 2};
const Bytes added = Bytes{0, 0, 0, 0x01, 0x51, 0, 0, 0x01} + fiveHours + fiveHours +
                    Bytes{0x85, 0x30, 0, 0x01, 0x01, 0, 0, 0x01} + fiveHours + fiveHours +
                    Bytes{1, 2};
const Bytes subtracted = Bytes{0x14, 0x49, 0x59, 0x23, 0x65, 0x49, 0x59, 0x23} + fiveHours +
                         fiveHours + Bytes{0x85, 0x30, 0, 0x01, 0x15, 0x49, 0x59, 0x23} +
                         fiveHours + fiveHours + Bytes{1, 2};

struct ReplyCase {
    const char* name;
    std::function<void(Vrg500Simulator&)> setup;
    Bytes request;
    Bytes reply;
    std::function<bool(const Vrg500Simulator&)> stored = nullptr; // what the command leaves behind
};

auto shiftable = [](Vrg500Simulator& s) { s.setRegisterWire(7, wire<34>(unshifted)); };
auto wrongRegister = [](Vrg500Simulator& s) {
    s.setRegisterWire(5, wire<34>(sampleRegister));
    s.injectFault(Vrg500Fault::WrongRegister);
};

// clang-format off
const ReplyCase replyCases[] = {
    {"Version", nullptr, versionRequest, versionReply},
    {"EmptyVersion", [](auto& s) { s.setVersion(""); }, versionRequest, {0x11, 0x00}},
    {"VideoStandard", [](auto& s) { s.setVideoStandard(true); }, {0x12, 0x00}, {0x12, 0x01, 0x01}},
    {"RegisterTimeDefaultIsNull", nullptr, {0x20, 0x02, 0x01, 0x02}, Bytes{0x20, 36, 0x01, 0x02} + nullRegister},
    {"RegisterTime", [](auto& s) { s.setRegisterWire(65535, wire<34>(sampleRegister)); },
     {0x20, 0x02, 0xFF, 0xFF}, Bytes{0x20, 36, 0xFF, 0xFF} + sampleRegister},
    {"CurrentRegister", [](auto& s) { s.setCurrentRegister(300); }, {0x21, 0x00}, {0x21, 0x02, 0x01, 0x2C}},
    {"NoClipNamesIsNak", nullptr, {0x25, 0x02, 0x00, 0x05}, nak},
    {"ClipNames", [](auto& s) { s.setClipNames(5, wire<32>(names)); },
     {0x25, 0x02, 0x00, 0x05}, Bytes{0x25, 34, 0x00, 0x05} + names},
    {"MenuData", nullptr, {0x26, 0x02, 0x00, 0x00}, Bytes{0x26, 32} + menuPattern},
    {"MenuDataAnsweredWithAck", [](auto& s) { s.setMenuAnsweredWithAck(true); }, {0x26, 0x02, 0x00, 0x00}, ack},
    {"RegisterTimeLoad", nullptr, Bytes{0x40, 36, 0x01, 0x02} + sampleRegister, ack,
     [](auto& s) { return s.registerWire(258) == wire<34>(sampleRegister); }},
    {"SetCurrentRegister", nullptr, {0x41, 0x02, 0x01, 0x2C}, ack, [](auto& s) { return s.currentRegister() == 300; }},
    {"OffsetAdd", shiftable, {0x42, 0x07, 0x00, 0x07, 0x05, 0x01, 0x00, 0x00, 0x01}, ack,
     [](auto& s) { return s.registerWire(7) == wire<34>(added); }},
    {"OffsetSubtract", shiftable, {0x43, 0x07, 0x00, 0x07, 0x05, 0x15, 0x10, 0x00, 0x00}, ack,
     [](auto& s) { return s.registerWire(7) == wire<34>(subtracted); }},
    {"ClipNameLoad", nullptr, Bytes{0x45, 34, 0x00, 0x09} + names, ack,
     [](auto& s) { return s.clipNames(9) == wire<32>(names); }},
    {"MenuLoad", nullptr, Bytes{0x46, 32} + names, ack, [](auto& s) { return s.menu() == wire<32>(names); }},
    {"UnknownFunctionIsNak", nullptr, {0x99, 0x00}, nak},
    {"VersionWithPayloadIsNak", nullptr, {0x11, 0x01, 0x00}, nak},
    {"ShortLoadIsNakAndStoresNothing", nullptr, {0x40, 0x02, 0x00, 0x01}, nak,
     [](auto& s) { return s.registerWire(1) == wire<34>(nullRegister); }},
    {"WrongRegisterTime", wrongRegister, {0x20, 0x02, 0x00, 0x04}, Bytes{0x20, 36, 0x00, 0x05} + sampleRegister},
    {"WrongRegisterBlankNames", wrongRegister, {0x25, 0x02, 0x00, 0x04}, Bytes{0x25, 34, 0x00, 0x05} + blankNames},
};
// clang-format on

void PrintTo(const ReplyCase& c, std::ostream* os) {
    *os << c.name;
}

class ReplyTest : public testing::TestWithParam<ReplyCase> {};

TEST_P(ReplyTest, AnswersAsTheDevice) {
    const ReplyCase& c = GetParam();
    Vrg500Simulator sim;
    ASSERT_TRUE(sim.start());
    if (c.setup) {
        c.setup(sim);
    }
    PtyClient client(sim.slavePath());
    EXPECT_EQ(client.exchange(c.request), c.reply);
    EXPECT_EQ(sim.receivedFrames(), std::vector<Bytes>{c.request});
    EXPECT_TRUE(!c.stored || c.stored(sim));
}

INSTANTIATE_TEST_SUITE_P(Commands, ReplyTest, testing::ValuesIn(replyCases),
                         [](const auto& instance) { return std::string(instance.param.name); });

TEST(SampleRegisters, AreAFunctionOfTheSeedAlone) {
    auto samples = [](uint32_t seed) {
        Vrg500SimulatorOptions options;
        options.sampleRegisters = true;
        options.seed = seed;
        return options;
    };
    const Vrg500Simulator first(samples(42)), second(samples(42)), other(samples(43));
    for (uint16_t n = 0; n < 300; ++n) {
        ASSERT_EQ(first.registerWire(n), second.registerWire(n));
        ASSERT_EQ(first.clipNames(n), second.clipNames(n));
    }
    EXPECT_NE(first.registerWire(1), other.registerWire(1));
    EXPECT_EQ(first.registerWire(300), wire<34>(nullRegister)); // beyond the sample count
    // Fixed for all compilers and libraries: demonstrations and saved files depend on it.
    const Vrg500Simulator one(samples(1));
    EXPECT_EQ(one.registerWire(1),
              wire<34>({0x08, 0x21, 0x53, 0x20, 0x12, 0x15, 0x58, 0x20, 0x01, 0x38, 0x55, 0x15,
                        0x23, 0x15, 0x05, 0x16, 0x80, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x00,
                        0x17, 0x12, 0x38, 0x11, 0x15, 0x33, 0x40, 0x11, 0x00, 0x00}));
    EXPECT_EQ(one.clipNames(1), wire<32>(text("REEL98  INTV_S19SHOT4203B-ROLL32")));
}

class LineTest : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(sim.start()); }
    Vrg500Simulator sim;
};

TEST_F(LineTest, DropsAStalledPartialFrame) {
    PtyClient client(sim.slavePath());
    ASSERT_TRUE(client.send({0x20, 0x02, 0x00}));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(client.exchange(versionRequest), versionReply);
    EXPECT_EQ(sim.receivedFrames(), std::vector<Bytes>{versionRequest});
}

TEST(HangUp, EndsTheLineAfterTheLastReplyAndReappearsAtTheLink) {
    TempFolder folder;
    Vrg500SimulatorOptions options;
    options.linkPath = folder.path("adapter");
    Vrg500Simulator sim(options);
    ASSERT_TRUE(sim.start());
    const std::string oldDevice = sim.devicePath();
    PtyClient client(options.linkPath);
    sim.hangUpAfterFrames(1, true);
    ASSERT_TRUE(client.send(versionRequest));
    std::this_thread::sleep_for(50ms); // a slow reader still gets the last reply
    EXPECT_EQ(client.readReply(), versionReply);
    ASSERT_TRUE(eventually([&] { return !std::filesystem::exists(oldDevice); }));
    EXPECT_NE(sim.devicePath(), oldDevice);
    EXPECT_EQ(std::filesystem::read_symlink(options.linkPath), sim.devicePath());
    EXPECT_EQ(PtyClient(options.linkPath).exchange(versionRequest), versionReply);
    sim.stop();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(options.linkPath)));
}

// The simulator's own descriptor keeps the slave open, so the kernel would keep a client's
// exclusive use after it has closed; the simulator ends it as a real port's last close does.
TEST_F(LineTest, ExclusiveUseEndsWhenTheClientCloses) {
    PtyClient client(sim.slavePath());
    auto exclusive = [&] {
        int flag = -1;
        ioctl(client.fd, TIOCGEXCL, &flag);
        return flag;
    };
    {
        PtyClient holder(sim.slavePath());
        ASSERT_EQ(ioctl(holder.fd, TIOCEXCL), 0);
        ASSERT_EQ(exclusive(), 1);
    }
    EXPECT_TRUE(eventually([&] { return exclusive() == 0; }));
}

// A lower bound only: a loaded machine may always be slower.
TEST(Paced, TakesAtLeastTheWireTime) {
    Vrg500SimulatorOptions options;
    options.paced = true;
    Vrg500Simulator sim(options);
    ASSERT_TRUE(sim.start());
    PtyClient client(sim.slavePath());
    const auto sent = std::chrono::steady_clock::now();
    EXPECT_EQ(client.exchange({0x20, 0x02, 0x00, 0x01}).size(), 38u);
    // 4 request and 38 reply bytes of 10 bits at 9600 baud.
    EXPECT_GE(std::chrono::steady_clock::now() - sent, 43750us);
}

} // namespace
