// The connection's life: sharing, exclusive use, timeouts, reassembly, stale bytes, hang-ups.
#include "../files/TempFolder.h"
#include "Eventually.h"
#include "OpenFailure.h"
#include "PseudoTerminal.h"
#include "SimulatedLine.h"
#include "TavrelLog.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <memory>
#include <string>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

class CapturedLog {
  public:
    CapturedLog() {
        tavrelLogSetSink(
            [this](TavrelLogLevel, const std::string& line) { lines.push_back(line); });
    }
    ~CapturedLog() { tavrelLogSetSink({}); }
    bool contains(const std::string& text) const {
        return std::find(lines.begin(), lines.end(), text) != lines.end();
    }
    std::vector<std::string> lines;
};

// Runs the open probe in a child process. Returns its exit status (0: opened, else errno).
int openFromAnotherProcess(const std::string& path) {
    std::string command = std::string(OPEN_PROBE_PATH) + " '" + path + "'";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The descriptors of this process on the device at `path`.
std::vector<int> descriptorsOn(const std::string& path) {
    std::vector<int> found;
    struct stat device {};
    if (::stat(path.c_str(), &device) != 0) {
        return found;
    }
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        struct stat target {};
        if (::stat(entry.path().c_str(), &target) == 0 && S_ISCHR(target.st_mode) &&
            target.st_rdev == device.st_rdev) {
            found.push_back(std::stoi(entry.path().filename().string()));
        }
    }
    return found;
}

// True when every descriptor of this process on the device at `path`, but `except`, is closed
// on exec; false as well when there is none.
bool descriptorsCloseOnExec(const std::string& path, int except) {
    int found = 0;
    for (const int fd : descriptorsOn(path)) {
        if (fd == except) {
            continue;
        }
        ++found;
        if ((::fcntl(fd, F_GETFD) & FD_CLOEXEC) == 0) {
            return false;
        }
    }
    return found > 0;
}

// Stands for tavrelctl's signal pipe: readable once "a signal has arrived", and never drained.
class InterruptionPipe {
  public:
    InterruptionPipe() {
        if (::pipe2(_fds, O_CLOEXEC | O_NONBLOCK) == 0) {
            TavrelSocket::setInterruptionDescriptor(_fds[0]);
        }
    }
    ~InterruptionPipe() {
        TavrelSocket::setInterruptionDescriptor(-1);
        ::close(_fds[0]);
        ::close(_fds[1]);
    }
    bool signal() {
        const char byte = 1;
        return ::write(_fds[1], &byte, 1) == 1;
    }
    int unread() const {
        int count = -1;
        ::ioctl(_fds[0], FIONREAD, &count);
        return count;
    }

  private:
    int _fds[2] = {-1, -1};
};

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
    EXPECT_TRUE(answers(*fresh));
}

TEST_F(Connection, UnsharedConnectionStaysOutOfTheRegistry) {
    socket.reset();
    auto own = TavrelSocket::initWithDeviceFilePath(sim.slavePath());
    ASSERT_TRUE(own);
    // The registry has no entry, so it tries to open the port, which `own` holds.
    EXPECT_FALSE(TavrelSocket::socketForDeviceFilePath(sim.slavePath()));
}

// While a connection, or another serial program's lock, holds the port, a second connection fails
// to open as busy, root or not, before anything is sent; once the holder lets go it opens.
TEST_F(Connection, PortHeldByAnotherIsBusyUntilLetGo) {
    const std::string path = sim.slavePath();
    for (const bool byOtherProgram : {false, true}) {
        SCOPED_TRACE(byOtherProgram ? "another program's lock" : "another connection");
        int otherProgram = -1;
        if (byOtherProgram) {
            otherProgram = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
            ASSERT_EQ(::flock(otherProgram, LOCK_EX), 0);
        }
        const size_t descriptors = descriptorsOn(path).size();
        CapturedLog log;
        int openErrno = 0;
        EXPECT_FALSE(TavrelSocket::initWithDeviceFilePath(path, &openErrno));
        EXPECT_EQ(explainOpenFailure(path, openErrno), explainOpenFailure(path, EBUSY));
        // Without root, exclusive use may refuse the open before the lock is tried.
        if (byOtherProgram || ::geteuid() == 0) {
            EXPECT_EQ(log.lines,
                      std::vector<std::string>{"Error locking serial port " + path +
                                               " - Resource temporarily unavailable(11)"});
        }
        EXPECT_EQ(descriptorsOn(path).size(), descriptors);
        EXPECT_TRUE(sim.receivedFrames().empty());

        socket.reset();
        if (byOtherProgram) {
            ::close(otherProgram);
        }
        auto second = TavrelSocket::initWithDeviceFilePath(path);
        ASSERT_TRUE(second);
        EXPECT_TRUE(answers(*second));
        EXPECT_EQ(sim.receivedFrames().size(), 1u);
        sim.clearReceivedFrames();
    }
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

// The settings another program may have left on the port (another speed each way, software flow
// control, modem lines ignored) are all replaced while a connection is open, and come back when it
// closes. A child process never inherits the claimed port.
TEST_F(Connection, ConfiguresTheLineExactlyAndRestoresItOnClose) {
    socket.reset();
    int fd = ::open(sim.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    struct termios left {};
    ASSERT_EQ(tcgetattr(fd, &left), 0);
    cfsetospeed(&left, B4800);
    // The input speed field: CIBAUD, the output speed's bits shifted up.
    const int inputSpeedShift = std::countr_zero(static_cast<unsigned>(CIBAUD));
    left.c_cflag = (left.c_cflag & ~CIBAUD) | (tcflag_t(B19200) << inputSpeedShift) | CLOCAL;
    left.c_iflag |= IXON | IXOFF | IXANY;
    ASSERT_EQ(tcsetattr(fd, TCSANOW, &left), 0);
    struct termios before {};
    ASSERT_EQ(tcgetattr(fd, &before), 0);
    ASSERT_NE(before.c_cflag & CIBAUD, 0u);

    auto connection = TavrelSocket::socketForDeviceFilePath(sim.slavePath());
    ASSERT_TRUE(connection);
    struct termios seen {};
    ASSERT_EQ(tcgetattr(fd, &seen), 0);
    // 9600 baud out, and in (no input speed of its own), 8N1, receiver on, hang-up on close.
    EXPECT_EQ(seen.c_cflag, tcflag_t(CS8 | CREAD | HUPCL | B9600));
    EXPECT_EQ(seen.c_iflag & (IXON | IXOFF | IXANY), 0u);
    EXPECT_EQ(seen.c_cc[VMIN], 0);
    EXPECT_EQ(seen.c_cc[VTIME], 2);
    EXPECT_EQ(seen.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_TRUE(descriptorsCloseOnExec(sim.slavePath(), fd));

    connection.reset();
    struct termios after {};
    ASSERT_EQ(tcgetattr(fd, &after), 0);
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    ::close(fd);
}

// A pty whose exclusive use nobody else ends: only the connection's own close can.
TEST(ConnectionClose, EndsExclusiveUseBeforeTheDescriptorCloses) {
    PseudoTerminal pty;
    std::string reason;
    ASSERT_TRUE(pty.open(&reason)) << reason;
    int fd = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    auto exclusive = [fd] {
        int flag = -1;
        ::ioctl(fd, TIOCGEXCL, &flag);
        return flag;
    };
    auto connection = TavrelSocket::initWithDeviceFilePath(pty.slavePath());
    ASSERT_TRUE(connection);
    EXPECT_EQ(exclusive(), 1);
    connection.reset();
    EXPECT_EQ(exclusive(), 0);
    ::close(fd);
}

// Each way a reply can stop short ends in the same failure, after the time the rule gives: 0.2 s
// without data, or 1 s for the whole reply. Afterwards the connection still works.
TEST_F(Connection, ReplyThatStopsShortFailsWithinItsTime) {
    struct StopCase {
        const char* name;
        std::function<void(Vrg500Simulator&)> fault;
        double atLeast, below; // seconds
    };
    const StopCase cases[] = {
        {"no reply", [](auto& s) { s.injectFault(Vrg500Fault::NoReply); }, 0.15, 1.0},
        {"payload one byte short", [](auto& s) { s.injectFault(Vrg500Fault::TruncatedReply); },
         0.15, 1.0},
        {"one header byte, then silence", [](auto& s) { s.queueRawReply(bytes({0x20})); }, 0.15,
         1.0},
        // One byte every 0.15 s never leaves a 0.2 s gap; the whole reply would take 5.6 s.
        {"trickling device", [](auto& s) { s.injectFault(Vrg500Fault::TrickledReply); }, 0.95, 1.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.fault(sim);
        TavrelError error;
        VRG500_register reg;
        const auto start = Clock::now();
        EXPECT_FALSE(socket->registerData(&reg, 3, &error));
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        EXPECT_GE(seconds, c.atLeast);
        EXPECT_LT(seconds, c.below);
        EXPECT_EQ(error.description, "Error reading data from serial device");
        EXPECT_EQ(error.failureReason, "Error reading data from serial device " + sim.slavePath() +
                                           " - unexpected response termination");
        EXPECT_EQ(error.recoverySuggestion, TavrelDeviceRecoverySuggestion);
        // The trickle still occupies the device; the others leave it ready for the next command.
        if (std::string(c.name) != "trickling device") {
            EXPECT_TRUE(socket->registerData(&reg, 3, &error)) << error.description;
        }
    }
}

// Another program may change the port's settings while Tavrel holds it (root is not kept out by
// exclusive use), and restore on its close the blocking defaults VMIN 1, VTIME 0. A read must not
// hang on them.
TEST_F(Connection, ReadsStayBoundedWhenAnotherProgramResetsTheLine) {
    ASSERT_TRUE(answers(*socket)); // a transfer under way
    int other = ::open(sim.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (other < 0 && errno == EBUSY) {
        GTEST_SKIP() << "only root can open a port held exclusively";
    }
    ASSERT_GE(other, 0);
    struct termios blocking {};
    ASSERT_EQ(tcgetattr(other, &blocking), 0);
    blocking.c_cc[VMIN] = 1;
    blocking.c_cc[VTIME] = 0;
    ASSERT_EQ(tcsetattr(other, TCSANOW, &blocking), 0);
    ::close(other);

    sim.injectFault(Vrg500Fault::NoReply);
    auto outcome = std::async(std::launch::async, [&] {
        std::string version;
        TavrelError error;
        return socket->deviceVersion(&version, &error) || error.failureReason.has_value();
    });
    const bool ended = outcome.wait_for(1s) == std::future_status::ready;
    if (!ended) {
        sim.stop(); // the line going away frees a read that would block for good
    }
    EXPECT_TRUE(outcome.get());
    ASSERT_TRUE(ended);
    EXPECT_TRUE(answers(*socket));
}

TEST_F(Connection, ReassemblesAReplyThatArrivesInPieces) {
    std::string names = "SHOT0001SHOT0002SHOT0003SHOT0004";
    std::array<uint8_t, 32> wire{};
    std::copy(names.begin(), names.end(), wire.begin());
    sim.setClipNames(9, wire);
    sim.injectFault(Vrg500Fault::SplitReply); // header whole, payload in pieces
    std::optional<std::string> a, b, c, d;
    TavrelError error;
    ASSERT_TRUE(socket->registerClipName(&a, &b, &c, &d, 9, &error)) << error.description;
    EXPECT_EQ(a, "SHOT0001");
    EXPECT_EQ(d, "SHOT0004");

    sim.injectFault(Vrg500Fault::SplitReply); // an ACK: one header byte, then the rest
    EXPECT_TRUE(socket->setCurrentRegisterNumber(5, &error)) << error.description;
}

TEST_F(Connection, DiscardsStaleBytesBeforeTheNextCommand) {
    // A reply followed by bytes that belong to no exchange: an ACK that would otherwise be taken
    // as the next command's reply.
    sim.queueRawReply(bytes({0x11, 4, '2', '.', '1', '0', 0x10, 0x01, 0x06}));
    ASSERT_TRUE(answers(*socket));
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
    TempFolder folder;
    const std::string link = folder.path("adapter");
    Vrg500SimulatorOptions options;
    options.linkPath = link;
    Vrg500Simulator adapter(options);
    ASSERT_TRUE(adapter.start());
    auto connection = TavrelSocket::socketForDeviceFilePath(link);
    ASSERT_TRUE(connection);
    adapter.hangUpAfterFrames(1, true);
    EXPECT_TRUE(answers(*connection));
    usleep(50000);

    std::string version;
    TavrelError error;
    EXPECT_FALSE(connection->deviceVersion(&version, &error));
    // The path as given, not the device it leads to; the rest of the texts: the test below.
    EXPECT_NE(error.failureReason.value_or("").find(link), std::string::npos);

    // Still the same (dead) connection while it is held; a new one after letting go works.
    EXPECT_EQ(TavrelSocket::socketForDeviceFilePath(link).get(), connection.get());
    connection.reset();
    auto again = TavrelSocket::socketForDeviceFilePath(link);
    ASSERT_TRUE(again);
    EXPECT_TRUE(answers(*again));
}

// The texts of each input/output failure, produced by the line going away at each step of an
// exchange: before it starts, after the request, and in the middle of the reply.
TEST_F(Connection, InputOutputFailuresNameThePathAndTheSystemError) {
    struct FailureCase {
        const char* name;
        std::function<void(Vrg500Simulator&)> prepare;
        const char* description;
        const char* reason; // after the path
    };
    const FailureCase cases[] = {
        {"write", [](auto& s) { s.hangUpAfterFrames(0, false); },
         "Error writing data to serial device", "Error writing data to serial device "},
        {"header read",
         [](auto& s) {
             s.injectFault(Vrg500Fault::NoReply);
             s.hangUpAfterFrames(1, false);
         },
         "Error reading data from serial device", "Error reading data from serial device "},
        {"payload read",
         [](auto& s) {
             s.injectFault(Vrg500Fault::TruncatedReply);
             s.hangUpAfterFrames(1, false);
         },
         " Error reading data from serial device", "Error reading data from serial device "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Vrg500Simulator device;
        ASSERT_TRUE(device.start());
        const std::string path = device.slavePath();
        // A hang-up reaches every descriptor of the line at once; this one shows when it has.
        const int witness = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        ASSERT_GE(witness, 0);
        auto connection = TavrelSocket::initWithDeviceFilePath(path);
        ASSERT_TRUE(connection);
        c.prepare(device);
        if (std::string(c.name) == "write") {
            int unread = 0;
            ASSERT_TRUE(eventually([&] { return ::ioctl(witness, FIONREAD, &unread) == -1; }));
        }
        ::close(witness);
        CapturedLog log;
        TavrelError error;
        VRG500_register reg;
        EXPECT_FALSE(connection->registerData(&reg, 3, &error));
        EXPECT_EQ(error.description, c.description);
        EXPECT_EQ(error.failureReason, c.reason + path + " - Input/output error(5)");
        EXPECT_EQ(error.recoverySuggestion, TavrelDeviceRecoverySuggestion);
        if (std::string(c.name) == "write") {
            EXPECT_EQ(log.lines,
                      std::vector<std::string>{"Error flushing data from serial device " + path +
                                               " - Input/output error(5)"});
        }
    }
}

// What tavrelctl's SIGINT or SIGTERM does: no frame is sent while the interruption descriptor is
// readable, and a reply being waited for is given up at once. The link never drains it.
TEST_F(Connection, InterruptionStopsTheExchangeAtOnce) {
    InterruptionPipe interruption;
    ASSERT_TRUE(interruption.signal());
    for (int attempt = 0; attempt < 2; ++attempt) {
        TavrelError error;
        std::string version;
        EXPECT_FALSE(socket->deviceVersion(&version, &error));
        EXPECT_EQ(error.description, "Error writing data to serial device");
        EXPECT_EQ(error.failureReason, "Error writing data to serial device " + sim.slavePath() +
                                           " - Interrupted system call(4)");
    }
    EXPECT_EQ(interruption.unread(), 1);
    TavrelSocket::setInterruptionDescriptor(-1);
    EXPECT_TRUE(answers(*socket));
    EXPECT_EQ(sim.receivedFrames().size(), 1u); // nothing was sent while interrupted
}

TEST_F(Connection, InterruptionEndsATricklingReplyPromptly) {
    InterruptionPipe interruption;
    sim.injectFault(Vrg500Fault::TrickledReply);
    TavrelError error;
    Clock::time_point ended;
    auto outcome = std::async(std::launch::async, [&] {
        VRG500_register reg;
        bool ok = socket->registerData(&reg, 3, &error);
        ended = Clock::now();
        return ok;
    });
    ASSERT_TRUE(eventually([&] { return sim.receivedFrames().size() == 1; }));
    const Clock::time_point signalled = Clock::now();
    ASSERT_TRUE(interruption.signal());
    EXPECT_FALSE(outcome.get());
    EXPECT_LT(std::chrono::duration<double>(ended - signalled).count(), 0.3);
    // The header or the payload was under way, with its own description.
    EXPECT_NE(error.description.find("Error reading data from serial device"), std::string::npos);
    EXPECT_EQ(error.failureReason, "Error reading data from serial device " + sim.slavePath() +
                                       " - Interrupted system call(4)");
}

// The device goes on sending a reply given up on; the next exchange lets it arrive and go rather
// than take it for its own, on the same connection or on the port's next one.
TEST_F(Connection, TheRestOfAnInterruptedReplyIsNotTakenForTheNext) {
    for (const bool reopened : {false, true}) {
        sim.clearReceivedFrames();
        auto interruption = std::make_unique<InterruptionPipe>();
        sim.injectFault(Vrg500Fault::SplitReply); // three pieces, 50 ms apart
        TavrelError error;
        auto outcome = std::async(std::launch::async, [&] {
            VRG500_register reg;
            return socket->registerData(&reg, 3, &error);
        });
        ASSERT_TRUE(eventually([&] { return sim.receivedFrames().size() == 1; }));
        ASSERT_TRUE(interruption->signal());
        EXPECT_FALSE(outcome.get());
        interruption.reset(); // Cancel is over; the rest of the reply is still on its way
        if (reopened) {
            socket.reset();
            socket = TavrelSocket::socketForDeviceFilePath(sim.slavePath());
            ASSERT_TRUE(socket);
        }
        for (int exchange = 0; exchange < 3; ++exchange) { // each gets its own reply
            std::string version;
            EXPECT_TRUE(socket->deviceVersion(&version, &error)) << reopened << exchange;
            EXPECT_EQ(version, "2.10") << reopened << exchange;
            EXPECT_EQ(sim.receivedFrames().size(), size_t(2 + exchange));
        }
    }
}
