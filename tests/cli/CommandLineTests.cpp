// Usage errors, help and the port list.
#include "CliFixture.h"

#include <map>
#include <regex>
#include <unistd.h>

namespace {

using CommandLine = CliTest;

TEST_F(CommandLine, UsageErrorsExitWith2AndSendNothing) {
    const char* cases[] = {
        "", "bogus", "--bogus", "version", "version -p", "version -p PORT extra",
        "version -p PORT -p PORT", "version -p PORT -r all", "version --watch -p PORT",
        "version -p no-such-port-name", "download -p PORT", "download -o x.vg2", "upload -p PORT",
        "upload -p PORT a.vg2 b.vg2", "menu-download -p PORT", "menu-upload -p PORT", "show",
        "show -p PORT x.vg2", "ports extra", "ports --watch=1", "-p PORT", "-r all version -p PORT",
        "diff", "diff a.vg2", "diff a.vg2 b.vg2 c.vg2", "diff -p PORT", "diff -p PORT a.vg2 b.vg2",
        "diff -o x.vg2 a.vg2 b.vg2", "diff -r 9-1 a.vg2 b.vg2", "upload -p PORT a.vg2 --backup",
        "upload -p PORT --changed-only=1 a.vg2", "download -p PORT -o x.vg2 --changed-only",
        // Ranges.
        "download -p PORT -o x.vg2 -r 300-200", "download -p PORT -o x.vg2 -r 65536",
        "download -p PORT -o x.vg2 -r 1-", "download -p PORT -o x.vg2 -r +5",
        "download -p PORT -o x.vg2 -r ALL", "download -p PORT -o x.vg2 -r 1-2-3",
        "download -p PORT -o x.vg2 -r ''",
        // The offset command's action, register, machines and timecode.
        "offset -p PORT -n 1 00:00:00:00", "offset multiply -p PORT -n 1 00:00:00:00",
        "offset add -p PORT 00:00:00:00", "offset add -p PORT -n 65536 00:00:00:00",
        "offset add -p PORT -n x 00:00:00:00", "offset add -p PORT -n 1 -m ABCA 00:00:00:00",
        "offset add -p PORT -n 1 -m E 00:00:00:00", "offset add -p PORT -n 1 -m '' 00:00:00:00",
        "offset add -p PORT -n 1 00:00:00:40", "offset add -p PORT -n 1 1:00:00:00",
        "offset add -p PORT -n 1 01:00:00;00", "offset add -p PORT -n 1 **:**:**:**",
        "offset add -p PORT -n 1",
        // Frame rates.
        "show --frame-rate 29 x.vg2", "show --frame-rate 30DF x.vg2", "show x.vg2 --frame-rate",
        "diff --frame-rate 25 a.vg2 b.vg2"};
    for (const char* command : cases) {
        ToolResult result = run(command);
        EXPECT_EQ(result.status, 2) << command << ": " << result.err;
        EXPECT_EQ(result.out, "") << command;
        EXPECT_TRUE(result.err.rfind("tavrelctl: ", 0) == 0 || result.err.rfind("Usage:", 0) == 0)
            << command << ": " << result.err;
    }
    const std::pair<const char*, const char*> messages[] = {
        {"version -p no-such-port-name", "'no-such-port-name'"},
        {"ports --watch=1", "tavrelctl: option '--watch' takes no value\n"},
        {"-r all version -p PORT", "tavrelctl: the version command takes no option '--range'\n"},
        {"show --frame-rate 29 x.vg2", "tavrelctl: bad frame rate '29': use 24, 25, 30 or 30df\n"}};
    for (const auto& [command, message] : messages) {
        EXPECT_NE(run(command).err.find(message), std::string::npos) << command;
    }
    EXPECT_TRUE(frames().empty());
}

TEST(Help, SynopsisAndVersion) {
    ToolResult help = runTool({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("\n  tavrelctl offset add|subtract -p PORT -n REGISTER [-m MACHINES] "
                            "TIMECODE\n"),
              std::string::npos);
    EXPECT_EQ(runTool({"upload", "--help"}).out.rfind("Usage: tavrelctl upload -p PORT", 0), 0u);
    EXPECT_EQ(runTool({"--version"}).out.rfind("tavrelctl ", 0), 0u);
}

// The options a help lists, from its lines "  -p, --port PORT   ..." and "      --watch   ...",
// each with whether it takes a value.
std::map<std::string, bool> listedOptions(const std::string& help) {
    static const std::regex option(R"(^  (?:(-[a-zA-Z]), |    )(--[a-z-]+)( [A-Z])?)");
    std::map<std::string, bool> options;
    std::istringstream lines(help);
    for (std::string line; std::getline(lines, line);) {
        if (std::smatch names; std::regex_search(line, names, option)) {
            for (size_t name : {1, 2}) {
                if (names[name].matched) {
                    options[names[name]] = names[3].matched;
                }
            }
        }
    }
    return options;
}

// Each command's help lists exactly the options the command takes (it is the parser's own
// table), and no line of any help is wider than 80 columns.
TEST(Help, EachCommandListsTheOptionsItTakesWithinEightyColumns) {
    const std::string tool = runTool({"--help"}).out;
    std::map<std::string, std::string> helps; // command: its help
    std::istringstream lines(tool);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), 80u) << line;
        if (line.rfind("  tavrelctl ", 0) == 0 && line[12] != '-') {
            std::string command = line.substr(12, line.find(' ', 12) - 12);
            helps[command] = runTool({command, "--help"}).out;
        }
    }
    ASSERT_EQ(helps.size(), 11u);
    std::map<std::string, bool> options = listedOptions(tool);
    for (const auto& [command, help] : helps) {
        EXPECT_EQ(help.rfind("Usage: tavrelctl " + command + " ", 0), 0u) << help;
        options.merge(listedOptions(help));
    }
    for (const auto& [command, help] : helps) {
        std::istringstream helpLines(help);
        for (std::string line; std::getline(helpLines, line);) {
            EXPECT_LE(line.size(), 80u) << line;
        }
        const auto listed = listedOptions(help);
        for (const auto& [option, takesValue] : options) {
            std::vector<std::string> args = {command, "--help", option};
            if (takesValue) {
                args.push_back("x");
            }
            EXPECT_EQ(runTool(args).status == 0, listed.count(option) == 1)
                << command << " " << option;
        }
    }
}

// The machine's own ports are listed, never opened.
TEST(PortsCommand, ListsNameTabPathInNameOrderAndWatchEndsOnSignal) {
    ToolResult result = runTool({"ports"});
    ASSERT_EQ(result.status, 0) << result.err;
    std::string previous;
    for (size_t start = 0, end; start < result.out.size(); start = end + 1) {
        end = result.out.find('\n', start);
        ASSERT_NE(end, std::string::npos) << "the last line ends with a line end";
        std::string line = result.out.substr(start, end - start);
        size_t tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        EXPECT_EQ(line.substr(tab + 1).rfind("/dev/", 0), 0u) << line;
        EXPECT_LT(previous, line.substr(0, tab));
        previous = line.substr(0, tab);
    }
    for (int signal : {SIGINT, SIGTERM}) {
        ToolProcess watch({"ports", "--watch"});
        ASSERT_TRUE(eventually([&] { return catchesSignal(watch.pid(), signal); }));
        ::kill(watch.pid(), signal);
        EXPECT_EQ(watch.finish(), succeeded(result.out)) << signal;
    }
}

// A resource that runs out ends the command with status 1 (diff's trouble, 2) and a message: no
// crash, no watch that silently never reports.
TEST(ResourceShortage, IsAFailureWithAMessage) {
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer's runtime needs terabytes of address space and descriptors of its own.
    GTEST_SKIP() << "resource limits cannot be tried under AddressSanitizer";
#endif
    TempFolder folder;
    // Sparse, so it takes no disk; its size has the register file reader reserve room for every
    // register number.
    TempFolder::writeBytes(folder.path("huge.vg2"), "");
    ASSERT_EQ(::truncate(folder.path("huge.vg2").c_str(), 64 << 20), 0);
    const std::tuple<const char*, std::vector<std::string>, ToolResult> cases[] = {
        // Descriptors 0-2, the interruption pipe (3, 4), the watch's epoll set and timer (5, 6):
        // no room for the udev monitor's socket.
        {"--nofile=7",
         {"ports", "--watch"},
         failed("tavrelctl: Could not watch the serial ports\n")},
        // The interruption pipe takes the last two: the ports cannot be listed.
        {"--nofile=5",
         {"version", "-p", "ttyS0"},
         failed("tavrelctl: Could not list the serial ports to find 'ttyS0'\n"
                "Give the port as a device path, such as /dev/ttyS0.\n")},
        {"--as=12582912", {"show", folder.path("huge.vg2")}, failed("tavrelctl: out of memory\n")},
        {"--as=12582912",
         {"diff", folder.path("huge.vg2"), folder.path("huge.vg2")},
         {2, "", "tavrelctl: out of memory\n"}},
    };
    for (const auto& [limit, args, result] : cases) {
        EXPECT_EQ(runTool(args, {{"prlimit", limit, "--"}, ""}), result) << limit << " " << args[0];
    }
}

} // namespace
