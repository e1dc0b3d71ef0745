// download, upload and show against the simulator.
#include "CliFixture.h"

#include <cstring>
#include <map>
#include <unistd.h>

namespace {

const std::string NoClips = "********,********,********,********\r\n";
const std::string Line7 =
    "007,01:00:00:00,01:00:10:00," + Nulls.substr(24) + ",000,012,SHOT0001," + NoClips.substr(9);
const std::string Line9 = "009," + Nulls + ",000,000,AAAAAAAA,BBBBBBBB,CCCCCCCC,DDDDDDDD\r\n";

std::string label(uint32_t number) {
    std::string digits = std::to_string(number);
    return std::string(digits.size() < 3 ? 3 - digits.size() : 0, '0') + digits;
}

using RegisterDownload = CliTest;

TEST_F(RegisterDownload, ReadsTheRangeAndWritesTheFileByteForByte) {
    // Registers without clip names (the device answers NAK) are stored with "********".
    const std::string line1 = "001," + Nulls.substr(0, 84) + "23:59:59;29,200,000," + NoClips;
    const std::string line2 = "002," + Nulls +
                              ",000,000,CLIP    ,B-ROLL01,A\xe9"
                              "CDEFGH,ZZZZZZZZ\r\n";
    const std::map<uint32_t, std::string> lines = {{1, line1}, {2, line2}, {7, Line7}};
    sim.setRegisterWire(1, registerWire(entryOf(line1).reg));
    sim.setRegisterWire(7, registerWire(entryOf(Line7).reg));
    sim.setClipNames(7, clipWire("SHOT0001************************"));
    sim.setClipNames(2, clipWire("CLIP    B-ROLL01A\xe9"
                                 "CDEFGHZZZZZZZZ"));
    const std::tuple<const char*, uint32_t, uint32_t> cases[] = {{"7", 7, 7},
                                                                 {"0-3", 0, 3},
                                                                 {"first100", 0, 99},
                                                                 {nullptr, 0, 299},
                                                                 {"65530-65535", 65530, 65535}};
    for (const auto& [range, first, last] : cases) {
        sim.clearReceivedFrames();
        std::vector<std::string> args{"download", "--port", port, "--output", folder.path("r.vg2")};
        if (range) {
            args.insert(args.end(), {"--range", range});
        }
        ASSERT_EQ(runTool(args), succeeded()) << range;
        std::string expected;
        std::vector<Frame> expectedFrames{VersionRequest};
        for (uint32_t n = first; n <= last; ++n) {
            expected +=
                lines.count(n) ? lines.at(n) : label(n) + "," + Nulls + ",000,000," + NoClips;
            expectedFrames.push_back(registerRequest(0x20, n));
            expectedFrames.push_back(registerRequest(0x25, n));
        }
        EXPECT_TRUE(TempFolder::readBytes(folder.path("r.vg2")) == expected) << range;
        EXPECT_TRUE(frames() == expectedFrames) << range;
    }
}

// A register that the file could not hold ends the download when it arrives: the last frame
// sent is its clip name request.
TEST_F(RegisterDownload, FailureLeavesTheOutputAsItWas) {
    // How the device fails, whether the output file exists, the first line of the error, the
    // register at which the download stops (-1: not checked).
    const std::tuple<void (*)(Vrg500Simulator&), bool, const char*, int> cases[] = {
        {[](Vrg500Simulator& s) { s.injectFault(Vrg500Fault::NoReply); }, true, "tavrelctl: ", -1},
        {[](Vrg500Simulator& s) { s.injectFault(Vrg500Fault::NoReply); }, false, "tavrelctl: ", -1},
        {[](Vrg500Simulator& s) { s.hangUpAfterFrames(5, false); }, true, "tavrelctl: ", -1},
        {[](Vrg500Simulator& s) {
             auto wire = registerWire(entryOf("0," + Nulls + ",0,0,A,B,C,D").reg);
             wire[3 * 4 + 3] = 0xAA; // hours of B OUT: non-decimal digits, 110
             wire[3 * 4] = 0x00;     // not null
             s.setRegisterWire(2, wire);
         },
         false, "tavrelctl: Register 002 holds a time that cannot be written\n", 2},
        {[](Vrg500Simulator& s) { s.setClipNames(1, clipWire("AAAAAAAAB,BBBBBB")); }, true,
         "tavrelctl: Register 001 holds a clip name that cannot be written\n", 1},
        {[](Vrg500Simulator& s) {
             s.setClipNames(3, clipWire("AAAAAAAABBBBBBBBCCCCCCCCDDD\r\nDDD"));
         },
         false, "tavrelctl: Register 003 holds a clip name that cannot be written\n", 3},
    };
    for (const auto& [arrange, existing, firstErrorLine, stopsAt] : cases) {
        Vrg500Simulator local;
        ASSERT_TRUE(local.start());
        arrange(local);
        TempFolder scratch;
        if (existing) {
            TempFolder::writeBytes(scratch.path("out.vg2"), "old contents");
        }
        ToolResult result = runTool(
            {"download", "-p", local.slavePath(), "-r", "0-4", "-o", scratch.path("out.vg2")});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.rfind(firstErrorLine, 0), 0u) << result.err;
        EXPECT_EQ(scratch.listing(), existing ? "out.vg2\n" : "");
        EXPECT_EQ(TempFolder::readBytes(scratch.path("out.vg2")), existing ? "old contents" : "");
        if (stopsAt >= 0) {
            EXPECT_EQ(local.receivedFrames().back(), registerRequest(0x25, stopsAt)) << result.err;
        }
    }
}

// "-o -" writes to standard output, "-o /dev/stdout" into a standard output opened for appending
// (">>") keeps what was there; a file that cannot be replaced is written in place, and said.
TEST_F(RegisterDownload, OutputCanBeStandardOutputOrWrittenInPlace) {
    sim.setRegisterWire(7, registerWire(entryOf(Line7).reg));
    sim.setClipNames(7, clipWire("SHOT0001************************"));
    TempFolder::writeBytes(folder.path("log.txt"), "earlier\n");
    TempFolder::writeBytes(folder.path("linked.vg2"), "old contents");
    ASSERT_EQ(::link(folder.path("linked.vg2").c_str(), folder.path("link.vg2").c_str()), 0);
    // -o, standard output appended to (empty: a file of its own), the file to read (empty:
    // standard output), what it holds, standard error.
    const std::tuple<std::string, std::string, std::string, std::string, std::string> cases[] = {
        {"-", "", "", Line7, ""},
        {"/dev/stdout", folder.path("log.txt"), folder.path("log.txt"), "earlier\n" + Line7, ""},
        {folder.path("linked.vg2"), "", folder.path("link.vg2"), Line7,
         "tavrelctl: " + folder.path("linked.vg2") +
             " was written in place, as it could not be replaced by a new file\n"},
    };
    for (const auto& [output, appendTo, file, contents, err] : cases) {
        ToolResult result =
            runTool({"download", "-p", port, "-r", "7", "-o", output}, {{}, appendTo});
        EXPECT_EQ(result.status, 0) << output << ": " << result.err;
        EXPECT_EQ(result.err, err) << output;
        EXPECT_EQ(file.empty() ? result.out : TempFolder::readBytes(file), contents) << output;
    }
}

TEST_F(RegisterDownload, UnusableOutputIsFoundBeforeTheTransfer) {
    EXPECT_EQ(runTool({"download", "-p", port, "-o", folder.path("missing/r.vg2")}),
              failed("tavrelctl: The file \"" + folder.path("missing/r.vg2") +
                     "\" couldn't be saved.\n  (No such file or directory)\n"));
    EXPECT_TRUE(frames().empty());
}

using RegisterUpload = CliTest;

TEST_F(RegisterUpload, WritesTheRangesRegistersThatTheFileHolds) {
    // Register 400 lies outside the range; registers 5 to 300 other than 7 and 9 are not in the
    // file.
    TempFolder::writeBytes(folder.path("up.vg2"), Line9 + Line7.substr(0, Line7.find("********")) +
                                                      "********,CLIP    ,\xe9"
                                                      "ABCDEFG\r\n" +
                                                      "400" + Line9.substr(3));
    ASSERT_EQ(runTool({"upload", "-p", port, "-r", "5-300", folder.path("up.vg2")}), succeeded());

    auto wire7 = registerWire(entryOf(Line7).reg);
    auto wire9 = registerWire(entryOf(Line9).reg);
    EXPECT_EQ(frames(),
              (std::vector<Frame>{VersionRequest, load(0x40, 7, wire7),
                                  load(0x45, 7,
                                       std::string("SHOT0001********CLIP    \xe9"
                                                   "ABCDEFG")),
                                  load(0x40, 9, wire9),
                                  load(0x45, 9, std::string("AAAAAAAABBBBBBBBCCCCCCCCDDDDDDDD"))}));
}

// A file without a register in the range is no silent success; the device is asked for its
// version all the same, and nothing more.
TEST_F(RegisterUpload, NothingInTheRangeIsSaid) {
    const std::string file = folder.path("up.vg2");
    TempFolder::writeBytes(file, "400" + Line7.substr(3));
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"", "000-299", ""},
        {"-r 7 --changed-only", "007", "0 of 0 registers written\n"},
    };
    for (const auto& [options, range, out] : cases) {
        sim.clearReceivedFrames();
        EXPECT_EQ(run("upload -p PORT " + options + " " + file),
                  (ToolResult{0, out,
                              "tavrelctl: no register of " + file + " lies in " + range +
                                  "; nothing was uploaded\n"}))
            << options;
        EXPECT_EQ(frames(), std::vector<Frame>{VersionRequest}) << options;
    }
}

// An upload that stops while it writes says, after the failure, how many of the registers to
// write were written and which, the one that may be partly written, and where the VRG-500's
// earlier values are; stopped while it reads, it has written nothing and says nothing more.
TEST_F(RegisterUpload, StoppedUploadSaysHowFarItGot) {
    std::string text;
    for (uint32_t n : {3, 4, 5, 7, 9}) {
        text += label(n) + Line9.substr(3);
    }
    const std::string file = folder.path("up.vg2");
    const std::string backup = folder.path("backup.vg2");
    TempFolder::writeBytes(file, text);
    const std::string notKept =
        "tavrelctl: the VRG-500's earlier values were not kept (no --backup was given)\n";
    // Options, the frames answered before the device hangs up (the version request, two for
    // each register read, two for each written), the end of standard error.
    const std::tuple<std::string, int, std::string> cases[] = {
        {"", 9, "4 of 5 registers written: 003-005, 007; 009 may be partly written\n" + notKept},
        {"", 2, "0 of 5 registers written; 003 may be partly written\n" + notKept},
        {"--backup " + backup, 1 + 14 + 2,
         "1 of 5 registers written: 003; 004 may be partly written\n"
         "tavrelctl: the VRG-500's earlier values are in " +
             backup + "\n"},
        {"--changed-only", 3, ""},
    };
    for (const auto& [options, frames, account] : cases) {
        Vrg500Simulator device;
        ASSERT_TRUE(device.start());
        device.hangUpAfterFrames(frames, false);
        ToolResult result =
            runTool(split("upload -p PORT -r 3-9 " + options + " " + file, device.slavePath()));
        EXPECT_EQ(result.status, 1) << options;
        EXPECT_EQ(result.out, "") << options;
        if (account.empty()) {
            EXPECT_EQ(result.err.find("written"), std::string::npos) << result.err;
        } else {
            EXPECT_TRUE(result.err.ends_with("\ntavrelctl: " + account)) << result.err;
        }
    }
}

// Files are named by the whole path given, escaped as device text is (FOLDER stands for the
// folder's path).
TEST_F(RegisterUpload, RefusesBeforeSendingAnything) {
    const std::string good = "," + Nulls + ",000,000,";
    const std::string cannot = "cannot be uploaded\nIts ";
    const std::string missing = " couldn't be opened.\n  (No such file or directory)\n";
    // The file's name, its contents (empty: there is no such file), standard error. The refused
    // registers stand at the ends of the range (all: 000-299), which the check takes in.
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"up.vg2",
         "001" + good + "AAAAAAAA,BBBBBBBB,CCCCCCCC,DDDDDDDD\r\n" + "299" + good +
             "AAAAAAAA,BBBBBBB,CCCCCCCC,DDDDDDDD\r\n",
         "Register 299 " + cannot +
             "clip name for machine B is 7 characters long; the VRG-500 "
             "takes exactly 8.\n"},
        {"up.vg2",
         "000," + Nulls.substr(0, 36) + "01:00:00:45" + good.substr(48) +
             "AAAAAAAA,BBBBBBBB,CCCCCCCC,DDDDDDDD\r\n",
         "Register 000 " + cannot +
             "B OUT time 01:00:00:45 is beyond the VRG-500's limits (hours, "
             "minutes and seconds 00 to 99, frames 00 to 39).\n"},
        {"up.vg2", "001" + good + "AAAAAAAA,BBBBBBBB,CCCCCCCC\r\n",
         "Error processing .vg2 file\n"
         "The file FOLDER/up.vg2 is malformed and could not be processed.\n"
         "Line 1 has only 14 fields; a register's line has 15.\n"},
        {"none.vg2", "", "The file \"FOLDER/none.vg2\"" + missing},
        {"\x1b]0;x\x07\\\xe9.vg2", "", "The file \"FOLDER/\\x1B]0;x\\x07\\\\\\xE9.vg2\"" + missing},
    };
    for (const auto& [name, file, err] : cases) {
        if (!file.empty()) {
            TempFolder::writeBytes(folder.path(name), file);
        }
        std::string expected = "tavrelctl: " + err;
        if (size_t at = expected.find("FOLDER"); at != std::string::npos) {
            expected.replace(at, 6, folder.path());
        }
        EXPECT_EQ(runTool({"upload", "-p", port, folder.path(name)}), failed(expected)) << name;
    }
    EXPECT_TRUE(frames().empty());
}

// The device holds register 7 as Line7 with an unset B IN that carries 01:02:03:04; the file
// holds 7 as Line7 and 9 with clip names; the device's 9 has none.
class SafeUpload : public CliTest {
  protected:
    void SetUp() override {
        CliTest::SetUp();
        RegisterEntry seven = entryOf(Line7);
        seven.reg.inB = {1, 2, 3, 4, 0, 1};
        sim.setRegisterWire(7, registerWire(seven.reg));
        sim.setClipNames(7, clipWire("SHOT0001************************"));
        TempFolder::writeBytes(file, Line7 + Line9);
    }

    const std::string file = folder.path("up.vg2");
};

// Status 0 identical, 1 different, 2 on trouble; FILE and OTHER stand for the files' paths, PORT
// for the port's, which names the device's side.
TEST_F(SafeUpload, DiffPrintsEachDifferenceAndExitsAsDiffDoes) {
    const std::string other = folder.path("other.vg2");
    const size_t trailing = Line7.find(",012,");
    TempFolder::writeBytes(other, Line7.substr(0, trailing) + ",013," + Line7.substr(trailing + 5) +
                                      "008" + Line7.substr(3));
    std::string clips9;
    for (const char* machine : {"A AAAAAAAA", "B BBBBBBBB", "C CCCCCCCC", "D DDDDDDDD"}) {
        clips9 +=
            "009 CLIP " + std::string(machine, 2) + "\"" + (machine + 2) + "\" \"********\"\n";
    }
    const std::pair<std::string, ToolResult> cases[] = {
        {"diff FILE FILE", succeeded()},
        {"diff FILE OTHER",
         {1, "007 TRAILING 2 012 013\n008 only in OTHER\n009 only in FILE\n", ""}},
        {"diff -r 7-8 FILE OTHER", {1, "007 TRAILING 2 012 013\n008 only in OTHER\n", ""}},
        {"diff FILE " + folder.path("none.vg2"),
         {2, "",
          "tavrelctl: The file \"" + folder.path("none.vg2") +
              "\" couldn't be opened.\n  (No such file or directory)\n"}},
        {"diff FILE",
         {2, "",
          "tavrelctl: the diff command needs two register files (A.vg2 B.vg2)\n"
          "Try 'tavrelctl --help' for more information.\n"}},
        // 7's unset B IN hides other numbers on the device: the same register all the same.
        {"diff -p PORT -r 7 FILE", succeeded()},
        {"diff -p PORT -r 5-9 FILE",
         {1, "005 only in PORT\n006 only in PORT\n008 only in PORT\n" + clips9, ""}},
    };
    auto named = [&](std::string text) {
        for (const auto& [name, path] :
             {std::pair{"FILE", file}, std::pair{"OTHER", other}, std::pair{"PORT", port}}) {
            for (size_t at; (at = text.find(name)) != std::string::npos;) {
                text.replace(at, std::strlen(name), path);
            }
        }
        return text;
    };
    for (const auto& [command, result] : cases) {
        EXPECT_EQ(run(named(command)), (ToolResult{result.status, named(result.out), result.err}))
            << command;
    }
    std::vector<Frame> expected = reads({7});
    for (const Frame& sent : reads({5, 6, 7, 8, 9})) {
        expected.push_back(sent);
    }
    EXPECT_EQ(frames(), expected);
    sim.injectFault(Vrg500Fault::NoReply);
    ToolResult failure = run("diff -p PORT " + file);
    EXPECT_EQ(failure.status, 2);
    EXPECT_EQ(failure.err.rfind("tavrelctl: Error reading data from serial device\n", 0), 0u)
        << failure.err;
}

// With 7 as the file has it, only register 9 differs from the device; the backup holds the range as
// a download gets it.
TEST_F(SafeUpload, ChangedOnlyWritesTheDifferingRegistersAfterTheBackup) {
    sim.setRegisterWire(7, registerWire(entryOf(Line7).reg));
    ASSERT_EQ(run("download -p PORT -r 5-9 -o " + folder.path("held.vg2")), succeeded());
    const std::vector<Frame> write9 = {
        load(0x40, 9, registerWire(entryOf(Line9).reg)),
        load(0x45, 9, std::string("AAAAAAAABBBBBBBBCCCCCCCCDDDDDDDD"))};
    const std::string written = "1 of 2 registers written; the others already matched\n";
    // Options, the registers read first, the standard output.
    const std::tuple<std::string, std::vector<uint32_t>, std::string> cases[] = {
        {"-r 5-9 --changed-only", {7, 9}, written},
        {"-r 9 --changed-only", {9}, "1 of 1 registers written\n"},
        {"-r 5-9 --backup BACKUP", {5, 6, 7, 8, 9}, ""},
        {"-r 5-9 --changed-only --backup BACKUP", {5, 6, 7, 8, 9}, written},
    };
    for (const auto& [options, read, out] : cases) {
        Vrg500Simulator device;
        ASSERT_TRUE(device.start());
        for (uint16_t n : {uint16_t{7}, uint16_t{9}}) {
            device.setRegisterWire(n, sim.registerWire(n));
            device.setClipNames(n, sim.clipNames(n));
        }
        std::string command = "upload -p PORT " + options + " " + file;
        if (command.find("BACKUP") != std::string::npos) {
            command.replace(command.find("BACKUP"), 6, folder.path("backup.vg2"));
        }
        ::unlink(folder.path("backup.vg2").c_str());
        EXPECT_EQ(runTool(split(command, device.slavePath())), succeeded(out)) << options;
        std::vector<Frame> expected = reads(read);
        const bool all = options.find("changed") == std::string::npos;
        if (all) {
            expected.insert(expected.end(), {load(0x40, 7, registerWire(entryOf(Line7).reg)),
                                             load(0x45, 7, "SHOT0001" + std::string(24, '*'))});
        }
        expected.insert(expected.end(), write9.begin(), write9.end());
        EXPECT_EQ(device.receivedFrames(), expected) << options;
        // The backup reads as the download, and knows the registers without clip names.
        RegisterCollection backup;
        std::string text;
        if (read.size() == 5) {
            ASSERT_TRUE(readRegisterFile(folder.path("backup.vg2"), &backup));
            ASSERT_TRUE(formatRegisterFile(backup, &text));
            EXPECT_TRUE(holdsNoClipNames(*backup.find(5)));
        }
        EXPECT_EQ(text, read.size() == 5 ? TempFolder::readBytes(folder.path("held.vg2")) : "")
            << options;
    }
    // A backup that cannot be saved: nothing is sent.
    sim.clearReceivedFrames();
    EXPECT_EQ(run("upload -p PORT --backup " + folder.path("missing/b.vg2") + " " + file),
              failed("tavrelctl: The file \"" + folder.path("missing/b.vg2") +
                     "\" couldn't be saved.\n  (No such file or directory)\n"));
    EXPECT_TRUE(frames().empty());
}

// A backup saved over the file being uploaded, by any of its names, would lose it: refused before
// anything is sent.
TEST_F(SafeUpload, BackupThatIsTheUploadedFileIsRefused) {
    ASSERT_EQ(::link(file.c_str(), folder.path("hard.vg2").c_str()), 0);
    ASSERT_EQ(::symlink(file.c_str(), folder.path("soft.vg2").c_str()), 0);
    for (const std::string& backup :
         {file, folder.path("./up.vg2"), folder.path("hard.vg2"), folder.path("soft.vg2")}) {
        EXPECT_EQ(run("upload -p PORT --changed-only --backup " + backup + " " + file),
                  (ToolResult{2, "",
                              "tavrelctl: bad backup '" + backup +
                                  "': it is the register file being uploaded, which the backup "
                                  "would replace\nTry 'tavrelctl --help' for more information.\n"}))
            << backup;
    }
    EXPECT_EQ(TempFolder::readBytes(file), Line7 + Line9);
    EXPECT_TRUE(frames().empty());
}

// Clip names are shown escaped.
TEST_F(CliTest, ShowPrintsOneLinePerRegister) {
    TempFolder::writeBytes(
        folder.path("s.vg2"),
        Line7 + "1234,**:**:**;**,01:02:03;04," + Nulls.substr(0, 59) +
            ",99:99:99:99,300,-1,        ,b b b b ,\x1b[2Jx\\,d,with,commas\xe9\n" + "002" +
            Line7.substr(3));
    const std::string times7 = "01:00:00:00 01:00:10:00 **:**:**:** **:**:**:** **:**:**:** "
                               "**:**:**:** **:**:**:** **:**:**:**";
    EXPECT_EQ(runTool({"show", folder.path("s.vg2")}),
              succeeded("002 " + times7 + " 000 012 SHOT0001 ******** ******** ********\n" +
                        "007 " + times7 + " 000 012 SHOT0001 ******** ******** ********\n" +
                        "1234 **:**:**;** 01:02:03;04 **:**:**:** **:**:**:** **:**:**:** "
                        "**:**:**:** **:**:**:** 99:99:99:99 044 255 ******** b b b b  "
                        "\\x1B[2Jx\\\\ d,with,commas\\xE9\n"));
}

// With a frame rate each line, as it is without one, ends with the four machines' durations.
TEST_F(CliTest, ShowWithAFrameRateEndsEachLineWithTheDurations) {
    TempFolder::writeBytes(folder.path("d.vg2"),
                           "001,01:00:00:00,01:00:10:00,00:00:59;28,00:01:00;02,00:00:10:00,"
                           "00:00:08:00,00:00:00:29,00:00:01:00,000,000," +
                               NoClips + "002," + Nulls + ",000,000," + NoClips);
    const std::string plain = runTool({"show", folder.path("d.vg2")}).out;
    const size_t end = plain.find('\n');
    ASSERT_NE(end, std::string::npos);
    const std::pair<const char*, const char*> rates[] = {
        {"24", " A 00:00:10:00 B - C -00:00:02:00 D -"},
        {"25", " A 00:00:10:00 B - C -00:00:02:00 D -"},
        {"30", " A 00:00:10:00 B 00:00:00;02 C -00:00:02:00 D 00:00:00:01"},
        {"30df", " A 00:00:10;00 B 00:00:00;02 C -00:00:02;00 D 00:00:00;01"},
    };
    for (const auto& [rate, durations] : rates) {
        EXPECT_EQ(runTool({"show", "--frame-rate", rate, folder.path("d.vg2")}),
                  succeeded(plain.substr(0, end) + durations + "\n" +
                            plain.substr(end + 1, plain.size() - end - 2) + " A - B - C - D -\n"))
            << rate;
    }
}

} // namespace
