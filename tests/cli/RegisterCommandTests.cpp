// download, upload and show against the simulator.
#include "CliFixture.h"
#include "RegisterFile.h"

#include <csignal>
#include <thread>

namespace {

const std::string Line7 = "007,01:00:00:00,01:00:10:00,**:**:**:**,**:**:**:**,**:**:**:**,"
                          "**:**:**:**,**:**:**:**,**:**:**:**,000,012,SHOT0001,********,"
                          "********,********\r\n";

VRG500_register register7() {
    VRG500_register reg = nullRegister();
    reg.inA = makeTime(1, 0, 0, 0);
    reg.outA = makeTime(1, 0, 10, 0);
    reg.trailingByte2 = 12;
    return reg;
}

std::string formatted(const RegisterCollection& registers) {
    std::string text;
    EXPECT_TRUE(formatRegisterFile(registers, &text));
    return text;
}

using RegisterDownload = CliTest;

TEST_F(RegisterDownload, ReadsTheRangeAndWritesTheFileByteForByte) {
    sim.setRegisterWire(7, registerWire(register7()));
    sim.setClipNames(7, clipWire("SHOT0001********************************"));
    ToolResult result = runTool({"download", "-p", port, "-r", "7", "-o", folder.path("r.vg2")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(TempFolder::readBytes(folder.path("r.vg2")), Line7);
    EXPECT_EQ(frames(), (std::vector<Frame>{VersionRequest, registerRequest(0x20, 7),
                                            registerRequest(0x25, 7)}));
}

TEST_F(RegisterDownload, RangesAndAbsentClipNames) {
    // Registers without clip names (the device answers NAK) are stored with "********".
    VRG500_register reg = nullRegister();
    reg.outD = makeTime(23, 59, 59, 29, true);
    reg.trailingByte1 = 200;
    sim.setRegisterWire(1, registerWire(reg));
    sim.setClipNames(2, clipWire("CLIP    B-ROLL01A\xe9"
                                 "CDEFGHZZZZZZZZ"));
    struct Case {
        const char* range;
        uint16_t first, last;
    } cases[] = {{"0-3", 0, 3},
                 {"first100", 0, 99},
                 {"all", 0, 299},
                 {"65535", 65535, 65535},
                 {"65530-65535", 65530, 65535}};
    for (const auto& c : cases) {
        sim.clearReceivedFrames();
        ToolResult result = runTool(
            {"download", "--port", port, "--range", c.range, "--output", folder.path("r.vg2")});
        ASSERT_EQ(result.status, 0) << c.range << result.err;
        RegisterCollection expected;
        std::vector<Frame> expectedFrames{VersionRequest};
        for (uint32_t n = c.first; n <= c.last; ++n) {
            RegisterEntry entry;
            entry.reg = n == 1 ? reg : nullRegister();
            if (n == 2) {
                entry.clips = {"CLIP    ", "B-ROLL01",
                               "A\xe9"
                               "CDEFGH",
                               "ZZZZZZZZ"};
            }
            expected.set(static_cast<int32_t>(n), entry);
            expectedFrames.push_back(registerRequest(0x20, static_cast<uint16_t>(n)));
            expectedFrames.push_back(registerRequest(0x25, static_cast<uint16_t>(n)));
        }
        EXPECT_TRUE(TempFolder::readBytes(folder.path("r.vg2")) == formatted(expected)) << c.range;
        EXPECT_TRUE(frames() == expectedFrames) << c.range;
    }
}

TEST_F(RegisterDownload, DefaultRangeIsAll) {
    ASSERT_EQ(runTool({"download", "-p", port, "-o", folder.path("r.vg2")}).status, 0);
    EXPECT_EQ(frames().size(), 1u + 2 * 300);
    EXPECT_EQ(frames().back(), registerRequest(0x25, 299));
}

TEST_F(RegisterDownload, FailureLeavesTheOutputAsItWas) {
    struct Case {
        const char* what;
        void (*arrange)(Vrg500Simulator&);
        const char* firstErrorLine;
    } cases[] = {
        {"no reply to the version request",
         [](Vrg500Simulator& s) { s.injectFault(Vrg500Fault::NoReply); }, nullptr},
        {"device gone after the second register",
         [](Vrg500Simulator& s) { s.hangUpAfterFrames(5, false); }, nullptr},
        {"a time that a file cannot hold",
         [](Vrg500Simulator& s) {
             auto wire = registerWire(nullRegister());
             wire[3 * 4 + 3] = 0xAA; // hours of B OUT: non-decimal digits, 110
             wire[3 * 4] = 0x00;     // not null
             s.setRegisterWire(2, wire);
         },
         "tavrelctl: Register 002 holds a time that cannot be written\n"},
    };
    for (const auto& c : cases) {
        for (bool existing : {true, false}) {
            Vrg500Simulator local;
            ASSERT_TRUE(local.start());
            c.arrange(local);
            TempFolder scratch;
            if (existing) {
                TempFolder::writeBytes(scratch.path("out.vg2"), "old contents");
            }
            ToolResult result = runTool(
                {"download", "-p", local.slavePath(), "-r", "0-4", "-o", scratch.path("out.vg2")});
            EXPECT_EQ(result.status, 1) << c.what;
            EXPECT_EQ(result.out, "") << c.what;
            EXPECT_EQ(result.err.rfind("tavrelctl: ", 0), 0u) << c.what << result.err;
            if (c.firstErrorLine) {
                EXPECT_EQ(result.err.substr(0, result.err.find('\n') + 1), c.firstErrorLine);
            }
            if (existing) {
                EXPECT_EQ(TempFolder::readBytes(scratch.path("out.vg2")), "old contents");
                EXPECT_EQ(scratch.listing(), "out.vg2\n") << c.what;
            } else {
                EXPECT_EQ(scratch.listing(), "") << c.what;
            }
        }
    }
}

TEST_F(RegisterDownload, UnusableOutputIsFoundBeforeTheTransfer) {
    ToolResult result = runTool({"download", "-p", port, "-o", folder.path("missing/r.vg2")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "tavrelctl: The file \"r.vg2\" couldn't be saved.\n"
                          "  (No such file or directory)\n");
    result = runTool({"menu-download", "-p", port, "-o", folder.path()});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err.substr(result.err.find('(')), "(Is a directory)\n");
    EXPECT_TRUE(frames().empty());
}

TEST_F(RegisterDownload, InterruptionStopsBetweenRegistersAndWritesNothing) {
    Vrg500SimulatorOptions options;
    options.replyLatency = std::chrono::milliseconds(5);
    Vrg500Simulator slow(options);
    ASSERT_TRUE(slow.start());
    TempFolder::writeBytes(folder.path("old.vg2"), "old contents");
    ToolProcess tool(
        {"download", "-p", slow.slavePath(), "-r", "0-65535", "-o", folder.path("old.vg2")});
    while (slow.receivedFrames().size() < 6) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_TRUE(tool.catches(SIGINT));
    ::kill(tool.pid(), SIGINT);
    ToolResult result = tool.finish();
    EXPECT_EQ(result.status, 130);
    EXPECT_EQ(result.err, "tavrelctl: interrupted\n");
    EXPECT_EQ(TempFolder::readBytes(folder.path("old.vg2")), "old contents");
    EXPECT_EQ(folder.listing(), "old.vg2\n");
}

using RegisterUpload = CliTest;

// A register file written by the files library, as the application would save it.
void writeFile(const std::string& path, const RegisterCollection& registers) {
    ASSERT_TRUE(writeRegisterFile(path, registers));
}

TEST_F(RegisterUpload, WritesTheRangesRegistersThatTheFileHolds) {
    RegisterCollection registers;
    RegisterEntry seven;
    seven.reg = register7();
    seven.clips = {"SHOT0001", "********", "CLIP    ",
                   "\xe9"
                   "ABCDEFG"};
    registers.set(7, seven);
    registers.set(9,
                  RegisterEntry{nullRegister(), {"AAAAAAAA", "BBBBBBBB", "CCCCCCCC", "DDDDDDDD"}});
    registers.set(400, RegisterEntry{nullRegister(), {"outside", "of", "the", "range"}});
    writeFile(folder.path("up.vg2"), registers);

    ToolResult result = runTool({"upload", "-p", port, "-r", "5-300", folder.path("up.vg2")});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");

    auto wire = registerWire(register7());
    Frame times7 = {0x40, 36, 0x00, 0x07};
    times7.insert(times7.end(), wire.begin(), wire.end());
    Frame clips7 = {0x45, 34, 0x00, 0x07};
    std::string names = "SHOT0001********CLIP    \xe9"
                        "ABCDEFG";
    clips7.insert(clips7.end(), names.begin(), names.end());
    auto frameList = frames();
    ASSERT_EQ(frameList.size(), 5u);
    EXPECT_EQ(frameList[0], VersionRequest);
    EXPECT_EQ(frameList[1], times7);
    EXPECT_EQ(frameList[2], clips7);
    EXPECT_EQ(frameList[3][0], 0x40);
    EXPECT_EQ(frameList[3][3], 9);
    EXPECT_EQ(frameList[4][0], 0x45);
    EXPECT_EQ(sim.registerWire(7), wire);
    EXPECT_EQ(sim.clipNames(9), clipWire("AAAAAAAABBBBBBBBCCCCCCCCDDDDDDDD"));
}

TEST_F(RegisterUpload, RangeWithoutRegistersSendsOnlyTheVersionRequest) {
    RegisterCollection registers;
    registers.set(5,
                  RegisterEntry{nullRegister(), {"AAAAAAAA", "BBBBBBBB", "CCCCCCCC", "DDDDDDDD"}});
    writeFile(folder.path("up.vg2"), registers);
    ToolResult result = runTool({"upload", "-p", port, "-r", "6-10", folder.path("up.vg2")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(frames(), std::vector<Frame>{VersionRequest});
}

TEST_F(RegisterUpload, RefusesBeforeSendingAnything) {
    const std::string good = ",**:**:**:**,**:**:**:**,**:**:**:**,**:**:**:**,**:**:**:**,"
                             "**:**:**:**,**:**:**:**,**:**:**:**,000,000,";
    struct Case {
        const char* what;
        std::string file;
        std::string err;
    } cases[] = {
        {"a short clip name",
         "001" + good + "AAAAAAAA,BBBBBBBB,CCCCCCCC,DDDDDDDD\r\n" + "002" + good +
             "AAAAAAAA,BBBBBBB,CCCCCCCC,DDDDDDDD\r\n",
         "tavrelctl: Register 002 cannot be uploaded\nIts clip name for machine B is 7 "
         "characters long; the VRG-500 takes exactly 8.\n"},
        {"a long clip name", "003" + good + "AAAAAAAA,BBBBBBBB,CCCCCCCC,DDDDDDDDD\r\n",
         "tavrelctl: Register 003 cannot be uploaded\nIts clip name for machine D is 9 "
         "characters long; the VRG-500 takes exactly 8.\n"},
        {"frames beyond 39",
         "004,**:**:**:**,**:**:**:**,**:**:**:**,01:00:00:45" + good.substr(48) +
             "AAAAAAAA,BBBBBBBB,CCCCCCCC,DDDDDDDD\r\n",
         "tavrelctl: Register 004 cannot be uploaded\nIts B OUT time 01:00:00:45 is beyond the "
         "VRG-500's limits (hours, minutes and seconds 00 to 99, frames 00 to 39).\n"},
        {"a malformed file", "001" + good + "AAAAAAAA,BBBBBBBB,CCCCCCCC\r\n",
         "tavrelctl: Error processing .vg2 file\nThe file up.vg2 is malformed and could not be "
         "processed.\n"},
    };
    for (const auto& c : cases) {
        sim.clearReceivedFrames();
        TempFolder::writeBytes(folder.path("up.vg2"), c.file);
        ToolResult result = runTool({"upload", "-p", port, folder.path("up.vg2")});
        EXPECT_EQ(result.status, 1) << c.what;
        EXPECT_EQ(result.err, c.err) << c.what;
        EXPECT_TRUE(frames().empty()) << c.what;
    }
}

TEST_F(RegisterUpload, MissingFileIsTheSystemsError) {
    ToolResult result = runTool({"upload", "-p", port, folder.path("none.vg2")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "tavrelctl: The file \"none.vg2\" couldn't be opened.\n"
                          "  (No such file or directory)\n");
    EXPECT_TRUE(frames().empty());
}

TEST_F(RegisterUpload, DownloadedFileUploadsBackUnchanged) {
    Vrg500SimulatorOptions options;
    options.sampleRegisters = true;
    Vrg500Simulator source(options);
    ASSERT_TRUE(source.start());
    ASSERT_EQ(runTool({"download", "-p", source.slavePath(), "-r", "first100", "-o",
                       folder.path("copy.vg2")})
                  .status,
              0);
    ToolResult result = runTool({"upload", "-p", port, "-r", "first100", folder.path("copy.vg2")});
    ASSERT_EQ(result.status, 0) << result.err;
    for (uint16_t n = 0; n < 100; ++n) {
        // Null times lose their numbers in the text form; everything else survives.
        auto expected = source.registerWire(n);
        auto actual = sim.registerWire(n);
        for (size_t i = 0; i < 8; ++i) {
            if (expected[i * 4] & 0x80) {
                expected[i * 4] &= 0xC0;
                std::fill_n(&expected[i * 4 + 1], 3, 0);
            }
        }
        EXPECT_EQ(actual, expected) << n;
        auto clips = source.clipNames(n);
        EXPECT_EQ(sim.clipNames(n), clips ? *clips : clipWire(std::string(32, '*'))) << n;
    }
}

using ShowCommand = CliTest;

TEST_F(ShowCommand, PrintsOneLinePerRegister) {
    TempFolder::writeBytes(folder.path("s.vg2"),
                           Line7 +
                               "1234,**:**:**;**,01:02:03;04,**:**:**:**,**:**:**:**,"
                               "**:**:**:**,**:**:**:**,**:**:**:**,99:99:99:99,300,-1,"
                               "        ,b b b b ,x,d,with,commas\n" +
                               "002" + Line7.substr(3));
    ToolResult result = runTool({"show", folder.path("s.vg2")});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out,
              "002 01:00:00:00 01:00:10:00 **:**:**:** **:**:**:** **:**:**:** **:**:**:** "
              "**:**:**:** **:**:**:** 000 012 SHOT0001 ******** ******** ********\n"
              "007 01:00:00:00 01:00:10:00 **:**:**:** **:**:**:** **:**:**:** **:**:**:** "
              "**:**:**:** **:**:**:** 000 012 SHOT0001 ******** ******** ********\n"
              "1234 **:**:**;** 01:02:03;04 **:**:**:** **:**:**:** **:**:**:** **:**:**:** "
              "**:**:**:** 99:99:99:99 044 255 ******** b b b b  x d,with,commas\n");
}

TEST_F(ShowCommand, MalformedAndMissingFiles) {
    TempFolder::writeBytes(folder.path("bad.vg2"), " " + Line7);
    ToolResult result = runTool({"show", folder.path("bad.vg2")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "tavrelctl: Error processing .vg2 file\n"
                          "The file bad.vg2 is malformed and could not be processed.\n");
    result = runTool({"show", folder.path()});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err.rfind("tavrelctl: The file \"", 0), 0u) << result.err;
}

} // namespace
