// version, menu-download, menu-upload, offset and a port that cannot be opened.
#include "CliFixture.h"
#include "MenuSettingsFile.h"

#include <thread>
#include <unistd.h>

namespace {

VRG500_menuData sampleMenu() {
    VRG500_menuData block{};
    for (size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<uint8_t>(i * 37 + 3);
    }
    return block;
}

std::string menuFile(const std::string& version, const VRG500_menuData& block) {
    std::string text;
    EXPECT_TRUE(formatMenuSettingsFile(version, block, &text));
    return text;
}

using VersionCommand = CliTest;

TEST_F(VersionCommand, PrintsTheTrimmedVersion) {
    struct Case {
        std::string device;
        std::string printed;
    } cases[] = {{"2.10", "2.10\n"}, {" \t2.10 \t", "2.10\n"}, {"V 3 ", "V 3\n"}, {"", "\n"}};
    for (const auto& c : cases) {
        sim.setVersion(c.device);
        ToolResult result = runTool({"version", "-p", port});
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, c.printed);
    }
    EXPECT_EQ(frames(), std::vector<Frame>(4, VersionRequest));
}

TEST_F(VersionCommand, DeviceThatDoesNotAnswer) {
    sim.injectFault(Vrg500Fault::NoReply);
    ToolResult result = runTool({"version", "-p", port});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    // The device link's own texts, with its recovery suggestion.
    EXPECT_NE(result.err.find("\nCheck to make sure that the VRG-500 is on and the right serial "
                              "port is selected.\n"),
              std::string::npos)
        << result.err;
}

TEST_F(VersionCommand, PortThatCannotBeOpened) {
    TempFolder::writeBytes(folder.path("plain"), "");
    struct Case {
        std::string path;
        std::string cause;
    } cases[] = {
        {folder.path("missing"), "No such device: " + folder.path("missing")},
        {folder.path("plain"), folder.path("plain") + " is not a serial port"},
    };
    for (const auto& c : cases) {
        ToolResult result = runTool({"version", "-p", c.path});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "tavrelctl: Error communicating with VRG-500\n"
                              "Perhaps the device is off or the wrong port is selected.\n"
                              "  (" +
                                  c.cause + ")\n");
    }
}

TEST_F(VersionCommand, PortHeldByAnotherProgramIsBusy) {
    // The link opens ports for exclusive use: a second opener is refused (except root).
    if (::geteuid() == 0) {
        GTEST_SKIP() << "exclusive use does not bind root";
    }
    ToolProcess holder({"download", "-p", port, "-r", "0-65535", "-o", folder.path("x.vg2")});
    while (frames().size() < 3) {
        std::this_thread::yield();
    }
    ToolResult result = runTool({"version", "-p", port});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "tavrelctl: Error communicating with VRG-500\n"
                          "Perhaps the device is off or the wrong port is selected.\n"
                          "  (" +
                              port + " is busy: another program is using the port)\n");
}

using MenuDownload = CliTest;

TEST_F(MenuDownload, WritesTheDevicesVersionAndBlock) {
    sim.setMenu(sampleMenu());
    ToolResult result = runTool({"menu-download", "-p", port, "-o", folder.path("m.vgs")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(TempFolder::readBytes(folder.path("m.vgs")), menuFile("2.10", sampleMenu()));
    EXPECT_EQ(frames(), (std::vector<Frame>{VersionRequest, frame(0x26, {0, 0})}));
}

TEST_F(MenuDownload, FailuresLeaveTheFileAsItWas) {
    struct Case {
        const char* what;
        std::string version;
        std::vector<Frame> expectedFrames;
        const char* err;
    } cases[] = {
        {"short version",
         "2.1",
         {VersionRequest},
         "tavrelctl: The VRG-500 version string is not 4 chars long\n"},
        {"long version",
         "2.100",
         {VersionRequest},
         "tavrelctl: The VRG-500 version string is not 4 chars long\n"},
    };
    for (const auto& c : cases) {
        sim.clearReceivedFrames();
        sim.setVersion(c.version);
        TempFolder::writeBytes(folder.path("m.vgs"), "old");
        ToolResult result = runTool({"menu-download", "-p", port, "-o", folder.path("m.vgs")});
        EXPECT_EQ(result.status, 1) << c.what;
        EXPECT_EQ(result.err, c.err) << c.what;
        EXPECT_EQ(frames(), c.expectedFrames) << c.what;
        EXPECT_EQ(TempFolder::readBytes(folder.path("m.vgs")), "old");
        EXPECT_EQ(folder.listing(), "m.vgs\n");
    }
    sim.setVersion("2.10");
    sim.injectFault(Vrg500Fault::NoReply);
    EXPECT_EQ(runTool({"menu-download", "-p", port, "-o", folder.path("m.vgs")}).status, 1);
    EXPECT_EQ(TempFolder::readBytes(folder.path("m.vgs")), "old");
}

using MenuUpload = CliTest;

TEST_F(MenuUpload, SendsTheBlockWhenTheVersionsMatch) {
    TempFolder::writeBytes(folder.path("m.vgs"), menuFile("2.10", sampleMenu()));
    ToolResult result = runTool({"menu-upload", "-p", port, folder.path("m.vgs")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");
    const VRG500_menuData menu = sampleMenu();
    std::vector<uint8_t> payload(menu.begin(), menu.end());
    EXPECT_EQ(frames(), (std::vector<Frame>{VersionRequest, frame(0x46, payload)}));
    EXPECT_EQ(sim.menu(), sampleMenu());
}

TEST_F(MenuUpload, VersionMismatchSendsNothing) {
    struct Case {
        std::string fileVersion;
        std::string deviceVersion;
        std::string err;
    } cases[] = {
        {"2.11", "2.10", "\"2.11\" does not match device version \"2.10\"\n"},
        // Only blanks differ: compared as they stand, shown trimmed.
        {"2.10", "2.10 ", "\"2.10\" does not match device version \"2.10\"\n"},
        {" 2.1", "2.1 ", "\"2.1\" does not match device version \"2.1\"\n"},
        {"2.10", "2.1", "\"2.10\" does not match device version \"2.1\"\n"},
    };
    const VRG500_menuData before = sim.menu();
    for (const auto& c : cases) {
        sim.clearReceivedFrames();
        sim.setVersion(c.deviceVersion);
        TempFolder::writeBytes(folder.path("m.vgs"), menuFile(c.fileVersion, sampleMenu()));
        ToolResult result = runTool({"menu-upload", "-p", port, folder.path("m.vgs")});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "tavrelctl: Version Mismatch\n.vgs file version " + c.err);
        EXPECT_EQ(frames(), std::vector<Frame>{VersionRequest});
        EXPECT_EQ(sim.menu(), before);
    }
}

TEST_F(MenuUpload, InvalidFileEndsBeforeTheDeviceIsContacted) {
    struct Case {
        std::string file;
        std::string err;
    } cases[] = {
        {"2.10 \r\n" + std::string(" 0 \r\n").append(std::string(30 * 5, ' ')),
         "tavrelctl: Invalid .vgs file\nThe .vgs file had an unrecoverable corruption error.\n"},
        {"2.", "tavrelctl: Invalid .vgs file\nThe .vgs file had an unrecoverable corruption "
               "error.\n"},
    };
    for (const auto& c : cases) {
        TempFolder::writeBytes(folder.path("m.vgs"), c.file);
        ToolResult result = runTool({"menu-upload", "-p", port, folder.path("m.vgs")});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, c.err);
    }
    // Also when the port could not even be opened: the file is read first.
    ToolResult result =
        runTool({"menu-upload", "-p", folder.path("no-port"), folder.path("m.vgs")});
    EXPECT_EQ(result.err, cases[1].err);
    EXPECT_TRUE(frames().empty());
}

using OffsetCommand = CliTest;

TEST_F(OffsetCommand, SendsTheOffsetFrame) {
    struct Case {
        std::vector<std::string> args;
        Frame expected;
    } cases[] = {
        {{"add", "-n", "7", "-m", "ca", "01:00:00:00"},
         frame(0x42, {0x00, 0x07, 0x05, 0x00, 0x00, 0x00, 0x01})},
        {{"subtract", "--register", "300", "--machines", "D", "00:00:10:15"},
         frame(0x43, {0x01, 0x2C, 0x08, 0x15, 0x10, 0x00, 0x00})},
        {{"add", "-n", "65535", "99:99:99:39"},
         frame(0x42, {0xFF, 0xFF, 0x0F, 0x39, 0x99, 0x99, 0x99})},
        {{"subtract", "-n", "0", "-m", "BdAc", "00:00:00:00"},
         frame(0x43, {0x00, 0x00, 0x0F, 0x00, 0x00, 0x00, 0x00})},
    };
    for (const auto& c : cases) {
        sim.clearReceivedFrames();
        std::vector<std::string> args{"offset"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.insert(args.end(), {"-p", port});
        ToolResult result = runTool(args);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(frames(), std::vector<Frame>{c.expected});
    }
}

TEST_F(OffsetCommand, NegativeAcknowledgementFails) {
    sim.injectFault(Vrg500Fault::NakInstead);
    ToolResult result = runTool({"offset", "add", "-p", port, "-n", "1", "00:00:01:00"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err.substr(0, result.err.find('\n')),
              "tavrelctl: Unexpected response to Register Time Offset request");
}

} // namespace
