// Usage errors, help, the port list, and the progress bar on a terminal.
#include "CliFixture.h"

#include <csignal>
#include <fcntl.h>
#include <pty.h>
#include <thread>
#include <unistd.h>

namespace {

using CommandLineUsage = CliTest;

TEST_F(CommandLineUsage, UsageErrorsExitWith2AndSendNothing) {
    const std::string p = port;
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"bogus"},
        {"--bogus"},
        {"version"},
        {"version", "-p"},
        {"version", "-p", p, "extra"},
        {"version", "-p", p, "-p", p},
        {"version", "-p", p, "-r", "all"},
        {"version", "-p", "no-such-port-name"},
        {"download", "-p", p},
        {"download", "-p", p, "-o", "x.vg2", "-r", "300-200"},
        {"download", "-p", p, "-o", "x.vg2", "-r", "65536"},
        {"download", "-p", p, "-o", "x.vg2", "-r", "1-"},
        {"download", "-p", p, "-o", "x.vg2", "-r", "-5"},
        {"download", "-p", p, "-o", "x.vg2", "-r", "+5"},
        {"download", "-p", p, "-o", "x.vg2", "-r", "5 "},
        {"download", "-p", p, "-o", "x.vg2", "-r", "ALL"},
        {"download", "-p", p, "-o", "x.vg2", "-r", "1-2-3"},
        {"download", "-p", p, "-o", "x.vg2", "-r", ""},
        {"download", "-o", "x.vg2"},
        {"upload", "-p", p},
        {"upload", "-p", p, "-o", "x.vg2", "x.vg2"},
        {"upload", "-p", p, "a.vg2", "b.vg2"},
        {"menu-download", "-p", p},
        {"menu-upload", "-p", p},
        {"show"},
        {"show", "-p", p, "x.vg2"},
        {"ports", "-p", p},
        {"ports", "extra"},
        {"version", "--watch", "-p", p},
        {"offset", "-p", p, "-n", "1", "00:00:00:00"},
        {"offset", "multiply", "-p", p, "-n", "1", "00:00:00:00"},
        {"offset", "add", "-p", p, "00:00:00:00"},
        {"offset", "add", "-p", p, "-n", "65536", "00:00:00:00"},
        {"offset", "add", "-p", p, "-n", "x", "00:00:00:00"},
        {"offset", "add", "-p", p, "-n", "1", "-m", "ABCA", "00:00:00:00"},
        {"offset", "add", "-p", p, "-n", "1", "-m", "E", "00:00:00:00"},
        {"offset", "add", "-p", p, "-n", "1", "-m", "", "00:00:00:00"},
        {"offset", "add", "-p", p, "-n", "1", "00:00:00:40"},
        {"offset", "add", "-p", p, "-n", "1", "1:00:00:00"},
        {"offset", "add", "-p", p, "-n", "1", "01:00:00;00"},
        {"offset", "add", "-p", p, "-n", "1", "01:00:00:00 "},
        {"offset", "add", "-p", p, "-n", "1", "**:**:**:**"},
        {"offset", "add", "-p", p, "-n", "1"},
    };
    for (const auto& args : cases) {
        std::string shown;
        for (const auto& arg : args) {
            shown += "'" + arg + "' ";
        }
        ToolResult result = runTool(args);
        EXPECT_EQ(result.status, 2) << shown << result.err;
        EXPECT_EQ(result.out, "") << shown;
        EXPECT_EQ(result.err.rfind("tavrelctl: ", 0) == 0 || result.err.rfind("Usage:", 0) == 0,
                  true)
            << shown << result.err;
    }
    EXPECT_TRUE(frames().empty());
}

TEST_F(CommandLineUsage, UnknownPortNameIsNamed) {
    ToolResult result = runTool({"version", "-p", "no-such-port-name"});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("'no-such-port-name'"), std::string::npos) << result.err;
}

TEST_F(CommandLineUsage, OptionFormsAreEquivalent) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"version", "-p", port},
             {"version", "-p" + port},
             {"version", "--port", port},
             {"version", "--port=" + port},
         }) {
        ToolResult result = runTool(args);
        EXPECT_EQ(result.status, 0) << args[1] << result.err;
        EXPECT_EQ(result.out, "2.10\n");
    }
}

TEST_F(CommandLineUsage, HelpAndVersion) {
    ToolResult help = runTool({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("tavrelctl offset add|subtract -p PORT -n REGISTER [-m MACHINES] "
                            "TIMECODE"),
              std::string::npos);
    EXPECT_EQ(runTool({"-h"}).out, help.out);
    for (const char* command : {"ports", "version", "download", "upload", "menu-download",
                                "menu-upload", "offset", "show"}) {
        ToolResult result = runTool({command, "--help"});
        EXPECT_EQ(result.status, 0) << command;
        EXPECT_EQ(result.out.rfind(std::string("Usage: tavrelctl ") + command, 0), 0u)
            << result.out;
    }
    ToolResult version = runTool({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("tavrelctl ", 0), 0u);
    EXPECT_TRUE(frames().empty());
}

// The machine's own ports are listed, never opened.
TEST(PortsCommand, ListsNameTabPathInNameOrder) {
    ToolResult result = runTool({"ports"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    std::string previous;
    size_t start = 0;
    while (start < result.out.size()) {
        size_t end = result.out.find('\n', start);
        ASSERT_NE(end, std::string::npos);
        std::string line = result.out.substr(start, end - start);
        size_t tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        EXPECT_GT(tab, 0u);
        EXPECT_EQ(line.substr(tab + 1).rfind("/dev/", 0), 0u) << line;
        EXPECT_LT(previous, line.substr(0, tab));
        previous = line.substr(0, tab);
        start = end + 1;
    }
}

TEST(PortsCommand, WatchEndsCleanlyOnSignal) {
    for (int signal : {SIGINT, SIGTERM}) {
        ToolProcess watch({"ports", "--watch"});
        while (!watch.catches(signal)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        ::kill(watch.pid(), signal);
        ToolResult result = watch.finish();
        EXPECT_EQ(result.status, 0) << signal << result.err;
        EXPECT_EQ(result.out, runTool({"ports"}).out);
    }
}

TEST_F(CommandLineUsage, ProgressBarOnlyOnATerminal) {
    int master = -1;
    int slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    ToolProcess tool({"download", "-p", port, "-r", "0-20", "-o", folder.path("r.vg2")}, slave);
    ::close(slave);
    std::string shown;
    char buffer[4096];
    ssize_t got = 0;
    // The terminal reports EIO once the tool, its last user, has gone.
    while ((got = ::read(master, buffer, sizeof buffer)) > 0) {
        shown.append(buffer, static_cast<size_t>(got));
    }
    ::close(master);
    ToolResult result = tool.finish();
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(shown.find("Downloading register 020"), std::string::npos) << shown;
    EXPECT_NE(shown.find("21/21"), std::string::npos) << shown;
    // The bar clears its line at the end.
    EXPECT_EQ(shown.substr(shown.size() - 4), "\r\033[K");
}

} // namespace
