// The connection's life: sharing, exclusive use, timeouts, reassembly, stale bytes, hang-ups.
#include "SimulatedLine.h"
#include "TavrelLog.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

class CapturedLog {
  public:
    CapturedLog() {
        tavrelLogSetSink([this](const std::string& line) { lines.push_back(line); });
    }
    ~CapturedLog() { tavrelLogSetSink({}); }
    bool contains(const std::string& text) const {
        for (const auto& line : lines) {
            if (line == text) {
                return true;
            }
        }
        return false;
    }
    std::vector<std::string> lines;
};

// Runs the open probe in a child process that lacks CAP_SYS_ADMIN, which would otherwise let
// root open a port held exclusively. Returns the probe's exit status (0: opened, else errno).
int openFromAnotherProcess(const std::string& path) {
    std::string command = "setpriv --inh-caps=-sys_admin --bounding-set=-sys_admin " +
                          std::string(OPEN_PROBE_PATH) + " '" + path + "'";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

double secondsFor(const std::function<void()>& work) {
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

class Connection : public SimulatedLine {};

TEST_F(Connection, RegistrySharesOneConnectionPerPathAndForgetsIt) {
    auto again = TavrelSocket::socketForDeviceFilePath(sim.slavePath());
    EXPECT_EQ(again.get(), socket.get());

    // A connection of its own is never shared, and while the first holds the port exclusively
    // another process cannot open it.
    EXPECT_EQ(openFromAnotherProcess(sim.slavePath()), EBUSY);

    std::weak_ptr<TavrelSocket> watcher = socket;
    socket.reset();
    EXPECT_FALSE(watcher.expired()); // `again` still holds it
    again.reset();
    EXPECT_TRUE(watcher.expired());

    // Port closed: another process may open it, and the next request opens anew.
    EXPECT_EQ(openFromAnotherProcess(sim.slavePath()), 0);
    auto fresh = TavrelSocket::socketForDeviceFilePath(sim.slavePath());
    ASSERT_TRUE(fresh);
    std::string version;
    EXPECT_TRUE(fresh->deviceVersion(&version));
}

TEST_F(Connection, UnsharedConnectionStaysOutOfTheRegistry) {
    socket.reset();
    auto own = TavrelSocket::initWithDeviceFilePath(sim.slavePath());
    ASSERT_TRUE(own);
    // The registry has no entry, so it tries to open the port, which `own` holds exclusively.
    // Root bypasses TIOCEXCL, so only the registry identity is checked here.
    auto shared = TavrelSocket::socketForDeviceFilePath(sim.slavePath());
    EXPECT_NE(shared.get(), own.get());
}

TEST_F(Connection, FailedOpenIsLoggedAndRetriedLater) {
    CapturedLog log;
    int openErrno = 0;
    EXPECT_FALSE(TavrelSocket::socketForDeviceFilePath("/dev/nonexistent-tavrel", &openErrno));
    EXPECT_EQ(openErrno, ENOENT);
    EXPECT_TRUE(log.contains(
        "Error opening serial port /dev/nonexistent-tavrel - No such file or directory(2)"));
    log.lines.clear();
    EXPECT_FALSE(TavrelSocket::socketForDeviceFilePath("/dev/nonexistent-tavrel"));
    EXPECT_EQ(log.lines.size(), 1u); // tried again, not remembered

    // Not a terminal: opens, but the terminal requests fail and the descriptor is closed.
    EXPECT_FALSE(TavrelSocket::socketForDeviceFilePath("/dev/null", &openErrno));
    EXPECT_EQ(openErrno, ENOTTY);
    EXPECT_TRUE(log.contains("Error setting TIOCEXCL on /dev/null - Inappropriate ioctl for "
                             "device(25)"));
}

TEST_F(Connection, ConfiguresTheLineAndRestoresItOnClose) {
    int fd = ::open(sim.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0 && errno == EBUSY) {
        GTEST_SKIP() << "needs root to look at a port held exclusively";
    }
    ASSERT_GE(fd, 0);
    struct termios seen {};
    ASSERT_EQ(tcgetattr(fd, &seen), 0);
    EXPECT_EQ(seen.c_cflag & ~(CBAUD | CIBAUD), tcflag_t(CS8 | CREAD | HUPCL));
    EXPECT_EQ(cfgetospeed(&seen), speed_t(B9600));
    EXPECT_EQ(cfgetispeed(&seen), speed_t(B9600));
    EXPECT_EQ(seen.c_cc[VMIN], 0);
    EXPECT_EQ(seen.c_cc[VTIME], 2);
    EXPECT_EQ(seen.c_lflag & (ICANON | ECHO | ISIG), 0u);

    // Put a recognisable setting on the line, open and close a connection: it comes back.
    socket.reset();
    struct termios before = seen;
    cfsetspeed(&before, B4800);
    before.c_cflag |= CLOCAL;
    ASSERT_EQ(tcsetattr(fd, TCSANOW, &before), 0);
    {
        auto connection = TavrelSocket::socketForDeviceFilePath(sim.slavePath());
        ASSERT_TRUE(connection);
    }
    struct termios after {};
    ASSERT_EQ(tcgetattr(fd, &after), 0);
    EXPECT_EQ(cfgetospeed(&after), speed_t(B4800));
    EXPECT_TRUE(after.c_cflag & CLOCAL);
    ::close(fd);
}

TEST_F(Connection, NoReplyFailsAfterTheReadTimeout) {
    sim.injectFault(Vrg500Fault::NoReply);
    TavrelError error;
    std::string version;
    double seconds = secondsFor([&] { EXPECT_FALSE(socket->deviceVersion(&version, &error)); });
    EXPECT_GE(seconds, 0.15);
    EXPECT_EQ(error.description, "Error reading data from serial device");
    EXPECT_EQ(error.failureReason, "Error reading data from serial device " + sim.slavePath() +
                                       " - unexpected response termination");
    EXPECT_EQ(error.recoverySuggestion, TavrelDeviceRecoverySuggestion);
    // The connection stays usable.
    EXPECT_TRUE(socket->deviceVersion(&version));
}

TEST_F(Connection, ShortPayloadFailsAfterTheReadTimeout) {
    sim.injectFault(Vrg500Fault::TruncatedReply);
    TavrelError error;
    VRG500_register reg;
    EXPECT_FALSE(socket->registerData(&reg, 3, &error));
    EXPECT_EQ(error.description, "Error reading data from serial device");
    EXPECT_EQ(error.failureReason, "Error reading data from serial device " + sim.slavePath() +
                                       " - unexpected response termination");
}

TEST_F(Connection, ReassemblesAReplyThatArrivesInPieces) {
    std::string names = "SHOT0001SHOT0002SHOT0003SHOT0004";
    std::array<uint8_t, 32> wire{};
    std::copy(names.begin(), names.end(), wire.begin());
    sim.setClipNames(9, wire);
    sim.injectFault(Vrg500Fault::SplitReply);
    std::optional<std::string> a, b, c, d;
    TavrelError error;
    ASSERT_TRUE(socket->registerClipName(&a, &b, &c, &d, 9, &error)) << error.description;
    EXPECT_EQ(a, "SHOT0001");
    EXPECT_EQ(d, "SHOT0004");
}

TEST_F(Connection, DiscardsStaleBytesBeforeTheNextCommand) {
    // A reply followed by bytes that belong to no exchange: an ACK that would otherwise be taken
    // as the next command's reply.
    sim.queueRawReply(bytes({0x11, 4, '2', '.', '1', '0', 0x10, 0x01, 0x06}));
    std::string version;
    ASSERT_TRUE(socket->deviceVersion(&version));
    usleep(20000);
    uint16_t number = 0;
    sim.setCurrentRegister(42);
    TavrelError error;
    EXPECT_TRUE(socket->currentRegisterNumber(&number, &error)) << error.description;
    EXPECT_EQ(number, 42);
}

TEST_F(Connection, GarbageBeforeAReplyFailsTheCommandNotTheNext) {
    sim.injectFault(Vrg500Fault::GarbageBytes, 3);
    VRG500_register reg;
    reg.trailingByte1 = 9;
    TavrelError error;
    EXPECT_FALSE(socket->registerData(&reg, 4, &error));
    EXPECT_EQ(error.description, "Unexpected response to Register Time request");
    EXPECT_EQ(reg.trailingByte1, 9);
    usleep(20000);
    EXPECT_TRUE(socket->registerData(&reg, 4, &error)) << error.description;
}

TEST_F(Connection, HangUpGivesInputOutputErrorsAndANewConnectionOpensAgain) {
    auto link =
        std::filesystem::temp_directory_path() / ("tavrel-link-" + std::to_string(getpid()));
    std::filesystem::remove(link);
    Vrg500SimulatorOptions options;
    options.linkPath = link.string();
    Vrg500Simulator adapter(options);
    ASSERT_TRUE(adapter.start());
    auto connection = TavrelSocket::socketForDeviceFilePath(link.string());
    ASSERT_TRUE(connection);
    adapter.hangUpAfterFrames(1, true);
    std::string version;
    EXPECT_TRUE(connection->deviceVersion(&version));
    usleep(50000);

    TavrelError error;
    EXPECT_FALSE(connection->deviceVersion(&version, &error));
    EXPECT_TRUE(error.failureReason.has_value());
    EXPECT_NE(error.failureReason->find(link.string()), std::string::npos);
    EXPECT_EQ(error.recoverySuggestion, TavrelDeviceRecoverySuggestion);

    // Still the same (dead) connection while it is held; a new one after letting go works.
    EXPECT_EQ(TavrelSocket::socketForDeviceFilePath(link.string()).get(), connection.get());
    connection.reset();
    auto again = TavrelSocket::socketForDeviceFilePath(link.string());
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->deviceVersion(&version, &error)) << error.description;
    again.reset();
    adapter.stop();
    std::filesystem::remove(link);
}
