// version, menu-download, menu-upload, offset, a port that cannot be opened, and a signal that
// ends any device command.
#include "CliFixture.h"
#include "MenuSettingsFile.h"
#include "OpenFailure.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <termios.h>
#include <unistd.h>

using namespace tavrel::link;

namespace {

using namespace std::chrono_literals;

// What tavrelctl says when the port at `path` would not open for `cause`.
ToolResult cannotOpen(const std::string& path, int cause) {
    return failed("tavrelctl: Error communicating with VRG-500\n"
                  "Perhaps the device is off or the wrong port is selected.\n  (" +
                  explainOpenFailure(path, cause) + ")\n");
}

VRG500_menuData sampleMenu() {
    VRG500_menuData block{};
    for (size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<uint8_t>(i * 37 + 3);
    }
    return block;
}

std::string menuFile(const std::string& version) {
    std::string text;
    EXPECT_TRUE(formatMenuSettingsFile(version, sampleMenu(), &text));
    return text;
}

using DeviceCommand = CliTest;

// The device's text reaches the terminal escaped: no escape sequence of its own gets through.
TEST_F(DeviceCommand, VersionIsPrintedTrimmedAndEscapedWithAnyFormOfThePortOption) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"2.10", "version -p PORT", "2.10\n"},
        {" \t2.10 \t", "version -pPORT", "2.10\n"},
        {"2.10 ", "version --port PORT", "2.10\n"},
        {"\t2.10", "version --port=PORT", "2.10\n"},
        {"2.10", "-p PORT version", "2.10\n"},
        {"2.10", "--port=PORT version", "2.10\n"},
        {"\x1b]0;owned\x07\x1b[2J2.10\\\xe9", "version -p PORT",
         "\\x1B]0;owned\\x07\\x1B[2J2.10\\\\\\xE9\n"},
    };
    for (const auto& [device, command, out] : cases) {
        sim.setVersion(device);
        EXPECT_EQ(run(command), succeeded(out)) << command;
    }
    EXPECT_EQ(frames(), std::vector<Frame>(std::size(cases), VersionRequest));
}

// The cause is told in the link's one explanation of a failed open.
TEST_F(DeviceCommand, PortThatCannotBeOpenedIsExplained) {
    TempFolder::writeBytes(folder.path("plain"), "");
    for (const auto& [name, cause] : {std::pair{"missing", ENOENT}, std::pair{"plain", ENOTTY}}) {
        EXPECT_EQ(runTool({"version", "-p", folder.path(name)}),
                  cannotOpen(folder.path(name), cause));
    }
}

// Held by another program's lock on the port (as other serial tools take) or by another
// tavrelctl; root is kept out as well, and the refused tool sends nothing.
TEST_F(DeviceCommand, PortInUseIsBusy) {
    const int lock = ::open(port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    EXPECT_EQ(run("version -p PORT"), cannotOpen(port, EBUSY));
    ::close(lock);
    EXPECT_EQ(frames(), std::vector<Frame>{});
    EXPECT_EQ(run("version -p PORT"), succeeded("2.10\n"));

    ToolProcess holder({"download", "-p", port, "-r", "0-65535", "-o", folder.path("x.vg2")});
    ASSERT_TRUE(eventually([&] { return frames().size() >= 3; }));
    EXPECT_EQ(run("version -p PORT"), cannotOpen(port, EBUSY));
}

TEST_F(DeviceCommand, MenuDownloadWritesTheFileOrLeavesItAsItWas) {
    sim.setMenu(sampleMenu());
    EXPECT_EQ(runTool({"menu-download", "-p", port, "-o", folder.path("m.vgs")}), succeeded());
    EXPECT_EQ(TempFolder::readBytes(folder.path("m.vgs")), menuFile("2.10"));
    EXPECT_EQ(frames(), (std::vector<Frame>{VersionRequest, frame(0x26, {0, 0})}));
    EXPECT_EQ(run("menu-download -p PORT -o -"), succeeded(menuFile("2.10")));

    // A version that a file cannot hold is refused before the menu block is asked for; null: the
    // device does not answer.
    for (const char* version : {"2.1", "2.100", static_cast<const char*>(nullptr)}) {
        sim.clearReceivedFrames();
        version ? sim.setVersion(version) : sim.injectFault(Vrg500Fault::NoReply);
        TempFolder::writeBytes(folder.path("m.vgs"), "old");
        ToolResult result = runTool({"menu-download", "-p", port, "-o", folder.path("m.vgs")});
        EXPECT_EQ(result.status, 1);
        if (version) {
            EXPECT_EQ(result.err, "tavrelctl: The VRG-500 version string is not 4 chars long\n");
        }
        EXPECT_EQ(frames(), std::vector<Frame>{VersionRequest});
        EXPECT_EQ(TempFolder::readBytes(folder.path("m.vgs")), "old");
        EXPECT_EQ(folder.listing(), "m.vgs\n");
    }
}

TEST_F(DeviceCommand, MenuUploadSendsTheBlockOnlyWhenTheVersionsMatch) {
    const VRG500_menuData menu = sampleMenu();
    TempFolder::writeBytes(folder.path("m.vgs"), menuFile("2.10"));
    EXPECT_EQ(runTool({"menu-upload", "-p", port, folder.path("m.vgs")}), succeeded());
    EXPECT_EQ(frames(),
              (std::vector<Frame>{VersionRequest, frame(0x46, {menu.begin(), menu.end()})}));
    EXPECT_EQ(sim.menu(), menu);

    sim.setMenu({});
    // Compared as they stand, shown trimmed.
    const std::tuple<std::string, std::string, std::string> mismatches[] = {
        {"2.11", "2.10", "\"2.11\" does not match device version \"2.10\"\n"},
        {"2.10", "2.10 ", "\"2.10\" does not match device version \"2.10\"\n"},
        {" 2.1", "2.1 ", "\"2.1\" does not match device version \"2.1\"\n"},
        {"\x1b[2J", "2.10", "\"\\x1B[2J\" does not match device version \"2.10\"\n"},
    };
    for (const auto& [fileVersion, deviceVersion, err] : mismatches) {
        sim.clearReceivedFrames();
        sim.setVersion(deviceVersion);
        TempFolder::writeBytes(folder.path("m.vgs"), menuFile(fileVersion));
        EXPECT_EQ(runTool({"menu-upload", "-p", port, folder.path("m.vgs")}),
                  failed("tavrelctl: Version Mismatch\n.vgs file version " + err));
        EXPECT_EQ(frames(), std::vector<Frame>{VersionRequest});
        EXPECT_EQ(sim.menu(), VRG500_menuData{});
    }
}

TEST_F(DeviceCommand, InvalidMenuFileEndsBeforeThePortIsOpened) {
    TempFolder::writeBytes(folder.path("m.vgs"), "2.10 \r\n 0 \r\n");
    EXPECT_EQ(runTool({"menu-upload", "-p", folder.path("no-port"), folder.path("m.vgs")}),
              failed("tavrelctl: Invalid .vgs file\n"
                     "The .vgs file had an unrecoverable corruption error.\n"));
}

TEST_F(DeviceCommand, OffsetSendsItsFrame) {
    const std::pair<const char*, Frame> cases[] = {
        {"add -n 7 -m ca 01:00:00:00", frame(0x42, {0x00, 0x07, 0x05, 0x00, 0x00, 0x00, 0x01})},
        {"subtract --register 300 --machines D 00:00:10:15",
         frame(0x43, {0x01, 0x2C, 0x08, 0x15, 0x10, 0x00, 0x00})},
        {"add -n 65535 99:99:99:39", frame(0x42, {0xFF, 0xFF, 0x0F, 0x39, 0x99, 0x99, 0x99})},
        {"subtract -n 0 -m BdAc 00:00:00:00",
         frame(0x43, {0x00, 0x00, 0x0F, 0x00, 0x00, 0x00, 0x00})},
    };
    for (const auto& [args, expected] : cases) {
        sim.clearReceivedFrames();
        EXPECT_EQ(run(std::string("offset ") + args + " -p PORT"), succeeded());
        EXPECT_EQ(frames(), std::vector<Frame>{expected});
    }
}

bool waitsInOpen(pid_t pid) {
    std::ifstream syscall("/proc/" + std::to_string(pid) + "/syscall");
    long number = -1;
    return (syscall >> number) && number == SYS_openat;
}

// A signal while a command waits ends it at once with "interrupted" and status 130: nothing is
// sent after it and no output file is made. An upload stopped while it writes then says how far
// it got; one stopped while it reads what the device holds has written nothing, and says nothing
// more.
TEST(Interruption, EndsEveryDeviceCommandAndNothingMoreIsSent) {
    Vrg500SimulatorOptions options;
    options.replyLatency = std::chrono::milliseconds(100); // within the 0.2 s reply timeout
    TempFolder folder;
    std::string registers;
    for (int n = 0; n < 10; ++n) {
        registers += "00" + std::to_string(n) + "," + Nulls +
                     ",000,000,A0000000,B0000000,C0000000,D0000000\r\n";
    }
    TempFolder::writeBytes(folder.path("up.vg2"), registers);
    ASSERT_EQ(::mkfifo(folder.path("fifo").c_str(), 0600), 0); // nobody reads it
    const std::string files = folder.listing();

    // The command, the frames received when the signal is sent, the signal, whether the
    // signal waits until the output is being opened, what is said after "interrupted".
    const std::tuple<std::string, size_t, int, bool, std::string> cases[] = {
        {"menu-download -o " + folder.path("fifo"), 2, SIGINT, true, ""},
        {"download -r 0-65535 -o " + folder.path("new.vg2"), 6, SIGINT, false, ""},
        // Register 002's clip names were sent: the signal cut short the wait for their answer.
        {"upload " + folder.path("up.vg2"), 7, SIGTERM, false,
         "tavrelctl: 2 of 10 registers written: 000-001; 002 may be partly written\n"
         "tavrelctl: the VRG-500's earlier values were not kept (no --backup was given)\n"},
        {"upload --backup " + folder.path("b.vg2") + " " + folder.path("up.vg2"), 3, SIGINT, false,
         ""},
    };
    for (const auto& [command, frames, signal, inOpen, account] : cases) {
        // A device of its own: the reply that the signal cut short must not reach the next case.
        Vrg500Simulator slow(options);
        ASSERT_TRUE(slow.start());
        ToolProcess tool(split(command + " -p PORT", slow.slavePath()));
        const auto waiting = [&, sentFrames = frames, waitInOpen = inOpen] {
            return slow.receivedFrames().size() >= sentFrames &&
                   (!waitInOpen || waitsInOpen(tool.pid()));
        };
        ASSERT_TRUE(eventually([&] { return waiting() || !tool.running(); }, 20s)) << command;
        ASSERT_TRUE(tool.running()) << command;
        auto sent = std::chrono::steady_clock::now();
        ::kill(tool.pid(), signal);
        EXPECT_EQ(tool.finish(), (ToolResult{130, "", "tavrelctl: interrupted\n" + account}))
            << command;
        EXPECT_LT(std::chrono::steady_clock::now() - sent, 2s) << command;
        EXPECT_EQ(slow.receivedFrames().size(), frames) << command;
        EXPECT_EQ(folder.listing(), files) << command;
    }
}

// Everything written to the terminal whose other side is `master`, until the last descriptor of
// that side is closed (the tool has ended).
std::string readUntilClosed(int master) {
    std::string shown;
    char buffer[4096];
    for (;;) {
        pollfd ready{master, POLLIN, 0};
        if (::poll(&ready, 1, 20000) != 1) {
            ADD_FAILURE() << "the tool neither wrote nor ended";
            return shown;
        }
        ssize_t got = ::read(master, buffer, sizeof buffer);
        if (got <= 0) {
            return shown; // EIO: the tool's end closed the terminal
        }
        shown.append(buffer, static_cast<size_t>(got));
    }
}

// The progress line on a terminal of each width is redrawn in place, never into the last column,
// so that no redraw wraps; on a dumb terminal it is plain lines. The terminal's own width counts,
// not COLUMNS.
TEST(Progress, FitsTheTerminalAndIsPlainLinesOnADumbOne) {
    Vrg500SimulatorOptions options;
    options.replyLatency = 15ms; // several redraws, 0.1 s apart
    // Columns, TERM, whether the line has room for the rate.
    const std::tuple<unsigned short, std::string, bool> cases[] = {
        {60, "xterm", false}, {80, "xterm", true}, {200, "xterm", true}, {60, "dumb", false}};
    for (const auto& [columns, term, rate] : cases) {
        Vrg500Simulator device(options);
        ASSERT_TRUE(device.start());
        int master = -1;
        int slave = -1;
        winsize size{24, columns, 0, 0};
        ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, &size), 0);
        termios modes{};
        ::tcgetattr(slave, &modes);
        modes.c_oflag &= ~tcflag_t{OPOST}; // the bytes as written: no CR added before an LF
        ::tcsetattr(slave, TCSANOW, &modes);
        TempFolder folder;
        ToolTerminal terminal;
        terminal.descriptor = slave;
        terminal.environment = {"TERM=" + term, "COLUMNS=1000"};
        ToolProcess tool(
            split("download -r 0-19 -p PORT -o " + folder.path("d.vg2"), device.slavePath()), {},
            terminal);
        ::close(slave);
        const std::string shown = readUntilClosed(master);
        ::close(master);
        EXPECT_EQ(tool.finish(), succeeded()) << columns << " " << term;

        const bool dumb = term == "dumb";
        std::vector<std::string> lines;
        std::istringstream pieces(shown);
        for (std::string line; std::getline(pieces, line, dumb ? '\n' : '\r');) {
            if (size_t erase = line.find("\033[K"); erase != std::string::npos) {
                line.erase(erase, 3);
            }
            if (!line.empty()) {
                lines.push_back(line);
            }
        }
        ASSERT_GE(lines.size(), 2u) << shown; // the first and the complete
        EXPECT_EQ(shown.find(dumb ? "\r" : "\n"), std::string::npos) << shown;
        EXPECT_EQ(dumb, shown.find('\033') == std::string::npos) << shown;
        for (const std::string& line : lines) {
            EXPECT_LT(line.size(), columns) << line;
            EXPECT_EQ(line.rfind("Downloading register 0", 0), 0u) << line;
        }
        EXPECT_NE(lines.back().find(" 20/20"), std::string::npos) << lines.back();
        EXPECT_EQ(lines.back().find(" reg/s ") != std::string::npos, rate) << lines.back();
    }
}

} // namespace
