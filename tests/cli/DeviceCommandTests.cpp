// version, menu-download, menu-upload, offset and a port that cannot be opened.
#include "CliFixture.h"
#include "MenuSettingsFile.h"

#include <thread>
#include <unistd.h>

namespace {

const std::string CannotOpen = "tavrelctl: Error communicating with VRG-500\n"
                               "Perhaps the device is off or the wrong port is selected.\n  (";

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

TEST_F(DeviceCommand, VersionIsPrintedTrimmedWithAnyFormOfThePortOption) {
    const std::pair<const char*, const char*> cases[] = {{"2.10", "-p PORT"},
                                                         {" \t2.10 \t", "-pPORT"},
                                                         {"2.10 ", "--port PORT"},
                                                         {"\t2.10", "--port=PORT"}};
    for (const auto& [device, option] : cases) {
        sim.setVersion(device);
        ToolResult result = runTool(split(std::string("version ") + option, port));
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, "2.10\n");
    }
    EXPECT_EQ(frames(), std::vector<Frame>(4, VersionRequest));
}

TEST_F(DeviceCommand, PortThatCannotBeOpenedIsExplained) {
    TempFolder::writeBytes(folder.path("plain"), "");
    EXPECT_EQ(runTool({"version", "-p", folder.path("missing")}).err,
              CannotOpen + "No such device: " + folder.path("missing") + ")\n");
    ToolResult result = runTool({"version", "-p", folder.path("plain")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, CannotOpen + folder.path("plain") + " is not a serial port)\n");
}

TEST_F(DeviceCommand, PortInUseIsBusy) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "exclusive use of a port does not bind root";
    }
    ToolProcess holder({"download", "-p", port, "-r", "0-65535", "-o", folder.path("x.vg2")});
    while (frames().size() < 3) {
        std::this_thread::yield();
    }
    EXPECT_EQ(runTool({"version", "-p", port}).err,
              CannotOpen + port + " is busy: another program is using the port)\n");
}

TEST_F(DeviceCommand, MenuDownloadWritesTheFileOrLeavesItAsItWas) {
    sim.setMenu(sampleMenu());
    ToolResult result = runTool({"menu-download", "-p", port, "-o", folder.path("m.vgs")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(TempFolder::readBytes(folder.path("m.vgs")), menuFile("2.10"));
    EXPECT_EQ(frames(), (std::vector<Frame>{VersionRequest, frame(0x26, {0, 0})}));

    // A version that a file cannot hold is refused before the menu block is asked for; null: the
    // device does not answer.
    for (const char* version : {"2.1", "2.100", static_cast<const char*>(nullptr)}) {
        sim.clearReceivedFrames();
        version ? sim.setVersion(version) : sim.injectFault(Vrg500Fault::NoReply);
        TempFolder::writeBytes(folder.path("m.vgs"), "old");
        result = runTool({"menu-download", "-p", port, "-o", folder.path("m.vgs")});
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
    ToolResult result = runTool({"menu-upload", "-p", port, folder.path("m.vgs")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(frames(),
              (std::vector<Frame>{VersionRequest, frame(0x46, {menu.begin(), menu.end()})}));
    EXPECT_EQ(sim.menu(), menu);

    sim.setMenu({});
    // Compared as they stand, shown trimmed.
    const std::tuple<std::string, std::string, std::string> mismatches[] = {
        {"2.11", "2.10", "\"2.11\" does not match device version \"2.10\"\n"},
        {"2.10", "2.10 ", "\"2.10\" does not match device version \"2.10\"\n"},
        {" 2.1", "2.1 ", "\"2.1\" does not match device version \"2.1\"\n"},
    };
    for (const auto& [fileVersion, deviceVersion, err] : mismatches) {
        sim.clearReceivedFrames();
        sim.setVersion(deviceVersion);
        TempFolder::writeBytes(folder.path("m.vgs"), menuFile(fileVersion));
        result = runTool({"menu-upload", "-p", port, folder.path("m.vgs")});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.err, "tavrelctl: Version Mismatch\n.vgs file version " + err);
        EXPECT_EQ(frames(), std::vector<Frame>{VersionRequest});
        EXPECT_EQ(sim.menu(), VRG500_menuData{});
    }
}

TEST_F(DeviceCommand, InvalidMenuFileEndsBeforeThePortIsOpened) {
    TempFolder::writeBytes(folder.path("m.vgs"), "2.10 \r\n 0 \r\n");
    ToolResult result =
        runTool({"menu-upload", "-p", folder.path("no-port"), folder.path("m.vgs")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(
        result.err,
        "tavrelctl: Invalid .vgs file\nThe .vgs file had an unrecoverable corruption error.\n");
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
        ToolResult result = runTool(split(std::string("offset ") + args + " -p PORT", port));
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(frames(), std::vector<Frame>{expected});
    }
}

} // namespace
