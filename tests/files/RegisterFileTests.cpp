#include "MalformedFile.h"
#include "RegisterFile.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <map>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <vector>

using namespace tavrel::files;
using namespace tavrel::records;

using namespace std::string_literals;

namespace {

constexpr VRG500_registerTime NullTime{0, 0, 0, 0, 0, 1};

RegisterEntry entryWithNullTimes() {
    RegisterEntry entry;
    for (auto member : VRG500_registerTimes) {
        entry.reg.*member = NullTime;
    }
    return entry;
}

// Register 7 of the format's own example.
RegisterEntry register7() {
    RegisterEntry entry = entryWithNullTimes();
    entry.reg.inA = {1, 0, 0, 0};
    entry.reg.outA = {1, 0, 10, 0};
    entry.reg.trailingByte2 = 12;
    entry.clips[0] = "SHOT0001";
    return entry;
}

const std::string NullTimes = "**:**:**:**,**:**:**:**,**:**:**:**,**:**:**:**,**:**:**:**,"
                              "**:**:**:**,**:**:**:**,**:**:**:**";

std::string line(const std::string& number, const std::string& rest = "000,000,A,B,C,D") {
    return number + "," + NullTimes + "," + rest;
}

std::string formatted(const RegisterCollection& registers) {
    std::string text;
    EXPECT_TRUE(formatRegisterFile(registers, &text));
    return text;
}

// What every test of a rejected text starts from, so that a change shows.
RegisterCollection sentinel() {
    RegisterCollection registers;
    registers.set(42, register7());
    return registers;
}

TEST(RegisterFile, WritesTheExactText) {
    RegisterEntry all = entryWithNullTimes();
    for (uint8_t i = 0; i < 8; ++i) {
        all.reg.*VRG500_registerTimes[i] = {i, uint8_t(10 + i), uint8_t(20 + i), uint8_t(30 + i),
                                            int8_t(i == 3 || i == 7)};
    }
    all.reg.outC = {200, 0, 0, 0, 1, 1}; // a null time shows no numbers
    all.reg.trailingByte1 = 255;
    all.reg.trailingByte2 = 7;
    all.clips = {"CLIP    ", "        ", "x", "dd,ee"};
    RegisterCollection registers;
    registers.set(1234, all);
    registers.set(7, register7());
    EXPECT_EQ(formatted(registers),
              "007,01:00:00:00,01:00:10:00,**:**:**:**,**:**:**:**,**:**:**:**,"
              "**:**:**:**,**:**:**:**,**:**:**:**,000,012,SHOT0001,********,********,********\r\n"
              "1234,00:10:20:30,01:11:21:31,02:12:22:32,03:13:23;33,04:14:24:34,"
              "**:**:**;**,06:16:26:36,07:17:27;37,255,007,CLIP    ,        ,x,dd,ee\r\n");
    EXPECT_EQ(formatted(RegisterCollection{}), "");
}

TEST(RegisterFile, RefusesWhatCouldNotBeReadBackAndWritesNothing) {
    RegisterEntry time = register7(), comma = time, lineBreak = time, empty = time;
    RegisterEntry breakA = time, breakB = time, tooLong = time;
    time.reg.outB = {100, 0, 0, 0};
    comma.clips[0] = "AB,CDEFG";
    lineBreak.clips[3] = "ABC\r\nDEF";
    empty.clips[2].clear();
    breakA.clips[0] = "ABC\nDEFG";
    breakB.clips[1] = "ABC\rDEFG";
    tooLong.clips[2] = std::string(RegisterFileLineLimit, 'C');
    const std::string clip = "Register 012 holds a clip name that cannot be written\n";
    const std::pair<RegisterEntry, std::string> cases[] = {
        {time, "Register 012 holds a time that cannot be written\n"
               "Its B OUT time has a number above 99, which a register file cannot hold."},
        {comma, clip + "Clip name A contains a comma."},
        {lineBreak, clip + "Clip name D contains a line break."},
        {empty, clip + "Clip name C is empty."},
        {breakA, clip + "Clip name A contains a line break."},
        {breakB, clip + "Clip name B contains a line break."},
        {tooLong, clip + "Clip name C is too long."},
    };
    TempFolder folder;
    TempFolder::writeBytes(folder.path("old.vg2"), "old contents");
    for (const auto& [spoilt, text] : cases) {
        RegisterCollection registers = sentinel();
        registers.set(12, spoilt);
        TavrelError error;
        EXPECT_FALSE(writeRegisterFile(folder.path("old.vg2"), registers, &error));
        EXPECT_EQ(error.description + "\n" + error.recoverySuggestion.value_or(""), text);
        EXPECT_FALSE(writeRegisterFile(folder.path("new.vg2"), registers));
        EXPECT_FALSE(checkRegisterWritable(12, spoilt));
    }
    EXPECT_EQ(TempFolder::readBytes(folder.path("old.vg2")), "old contents");
    EXPECT_EQ(folder.listing(), "old.vg2\n");
}

TEST(RegisterFile, AcceptsWhatTheFormatAllows) {
    const std::string a = line("005", "000,000,AAAAAAAA,B,C,DDDDDDDD");
    const std::string b = line("1234", "001,002,A2,B,C,D2");
    // Register number, clip A, clip D and trailing bytes of each register read, in order.
    using Read = std::vector<std::tuple<int32_t, std::string, std::string, int, int>>;
    const Read ab = {{5, "AAAAAAAA", "DDDDDDDD", 0, 0}, {1234, "A2", "D2", 1, 2}};
    std::string longest = line("001", "000,000,A,B,C,");
    longest.resize(RegisterFileLineLimit, 'D');
    const std::vector<std::pair<std::string, Read>> cases = {
        {"", {}},
        {a + "\r\n" + b + "\r\n", ab},
        {a + "\n" + b + "\n", ab},
        {a + "\r" + b + "\r", ab},
        {b + "\r\n" + a, ab}, // out of order, no line end at the end
        {a + "\r\n\r\n\n\r" + b + "\n\n\n", ab},
        {b + "\r\n" + line("1234", "009,009,late,B,C,later"), {{1234, "late", "later", 9, 9}}},
        {b + "\n" + a + "\n" + line("1234", "0,0,late,B,C,D") + "\n" +
             line("005", "0,0,A,B,C,late"),
         {{5, "A", "late", 0, 0}, {1234, "late", "D", 0, 0}}},
        {line("+5", "-56,300,A,B,C,D") + "\n" + line("-0") + "\n" + line("-12"),
         {{-12, "A", "D", 0, 0}, {0, "A", "D", 0, 0}, {5, "A", "D", 200, 44}}},
        {line("1", "000,000, A ,B B,C,  D,,E  "), {{1, " A ", "  D,,E  ", 0, 0}}},
        {line("1", "000,000,A,X,B,C,D"), {{1, "A", "C,D", 0, 0}}}, // a comma in A-C shifts
        {longest + "\n", {{1, "A", longest.substr(line("001", "000,000,A,B,C,").size()), 0, 0}}},
        {line("3", "000,000,        ,B,C,       "), {{3, "********", "       ", 0, 0}}},
        {line("4", "000,000,\xe9t\xe9\0,B,C,\xff"s), {{4, "\xe9t\xe9\0"s, "\xff", 0, 0}}},
        {line("2147483647", "2147483647,-2147483648,A,B,C,D"), {{INT32_MAX, "A", "D", 255, 0}}},
    };
    for (const auto& [text, expected] : cases) {
        RegisterCollection registers = sentinel();
        ASSERT_TRUE(parseRegisterFile(text, &registers)) << text;
        Read read;
        for (const auto& [number, entry] : registers) {
            read.emplace_back(number, entry.clips[0], entry.clips[3], entry.reg.trailingByte1,
                              entry.reg.trailingByte2);
        }
        EXPECT_EQ(read, expected) << text;
    }
}

// Each text with what the reader says of it: the line (counted by CR LF, LF or a lone CR) and the
// field at fault.
TEST(RegisterFile, RejectsMalformedTextsNamingTheLineAndField) {
    const std::string times = NullTimes.substr(12);
    std::string longest = line("1", "0,0,A,B,C,"); // "1" and "0" are written "001" and "000"
    longest.resize(RegisterFileLineLimit, 'D');
    const std::string field1 = "Line 1, field 1 (register number): ";
    const std::string notTime = "\" is not a time (HH:MM:SS:FF or **:**:**:**).";
    const std::string fields = " fields; a register's line has 15.";
    const std::pair<std::string, std::string> rejected[] = {
        {"\r\n" + line("001"), "Line 1 is empty."}, // blank line at the very start
        {"001 ," + NullTimes + ",000,000,A,B,C,D", field1 + "\"001 \" is not a whole number."},
        {"001,01:00:00:00 ," + times + ",000,000,A,B,C,D",
         "Line 1, field 2 (A IN): \"01:00:00:00 " + notTime},
        {line("001", " 000,000,A,B,C,D"),
         "Line 1, field 10 (TRAILING 1): \" 000\" is not a whole number."},
        {line("001", "000,000,A,B,C,"), "Line 1, field 15 (CLIP D) is empty."},
        {"001,,," + NullTimes + ",000,000,A,B,C,D", "Line 1, field 2 (A IN) is empty."},
        {line("001", "000,000,A,B,C") + "\r\n", "Line 1 has only 14" + fields},
        {line("001") + "\r\n" + line("002", "000,,A,B,C,D"),
         "Line 2, field 11 (TRAILING 2) is empty."},
        {line("001") + "\r\n \r\n", // a blank in an otherwise blank line
         "Line 2, field 1 (register number): \" \" is not a whole number."},
        {line("001", "+,000,A,B,C,D"), // a sign without digits
         "Line 1, field 10 (TRAILING 1): \"+\" is not a whole number."},
        {line("1.5"), field1 + "\"1.5\" is not a whole number."},
        {line("001", "99999999999,000,A,B,C,D"), // beyond 32 bits
         "Line 1, field 10 (TRAILING 1): \"99999999999\" is out of range (-2147483648 to "
         "2147483647)."},
        {"001,1:00:00:00," + times + ",000,000,A,B,C,D",
         "Line 1, field 2 (A IN): \"1:00:00:00" + notTime},
        {"001,**:**:**:04," + times + ",000,000,A,B,C,D",
         "Line 1, field 2 (A IN): \"**:**:**:04" + notTime},
        {"001,**:**:**:**\r\n" + times + ",000,000,A,B,C,D", "Line 1 has only 2" + fields},
        {"001," + times + ",000,000,A,B,C,D", "Line 1, field 9 (D OUT): \"000" + notTime},
        {line("001", "000,000,A,B,C") + "\r\n" + line("002"), "Line 1 has only 14" + fields},
        {line("001", "000,000,A\n,B,C,D"), "Line 1 has only 12" + fields},
        {line("001", "000,000,A,B\r,C,D"), "Line 1 has only 13" + fields},
        {line("001", "0,0,A,B,C,") + std::string(RegisterFileLineLimit, 'D'),
         "Line 1 is longer than 65536 bytes."},
        {longest.substr(0, RegisterFileLineLimit - 2), // within the limit, but not once written
         "Line 1 would be longer than 65536 bytes once saved."},
        // Blank lines count; the last line may have no line end; an old Mac's lone CR ends one.
        {line("1") + "\r\n\r\n" + line("2") + "\r\n" + line("3", "0,0,A,B,C"),
         "Line 4 has only 14" + fields},
        {line("1") + "\n" + line("2") + "\n\n" + "x" + std::string(40, 'y'),
         "Line 4, field 1 (register number): \"x" + std::string(28, 'y') +
             "...\" is not a whole number."}, // cut short
        {line("1") + "\r" + line("2") + "\r" + line("1x"),
         "Line 3, field 1 (register number): \"1x\" is not a whole number."},
    };
    for (const auto& [text, fault] : rejected) {
        RegisterCollection registers = sentinel();
        EXPECT_FALSE(parseRegisterFile(text, &registers)) << text;
        EXPECT_TRUE(registers == sentinel()) << text;
        EXPECT_EQ(faultIn(text), fault);
    }
}

TEST(RegisterFile, CollectionComesBackButForNullNumbersAndBlankNames) {
    // Large enough to be written and read in several pieces, with lines up to the limit.
    RegisterCollection original;
    RegisterCollection expected;
    for (int number = 0; number < 5000; ++number) {
        RegisterEntry entry;
        int k = number % 7;
        for (int i = 0; i < 8; ++i) {
            entry.reg.*VRG500_registerTimes[i] = {
                uint8_t((number + i) % 100), uint8_t(i * 7),           uint8_t(k * 9),
                uint8_t(i * 5 % 40),         int8_t((i + k) % 3 == 0), int8_t((i + k) % 4 == 0)};
        }
        entry.reg.trailingByte1 = uint8_t(number);
        entry.reg.trailingByte2 = uint8_t(255 - number);
        entry.clips = {"SHOT" + std::to_string(1000 + k), "        ", NoClipName,
                       number % 1000 == 1 ? std::string(60 * 1024, 'D') : "D,with,commas"};
        original.set(number, entry);
        for (auto member : VRG500_registerTimes) {
            auto& t = entry.reg.*member;
            t = t.isNull ? VRG500_registerTime{0, 0, 0, 0, t.dropFrame, 1} : t;
        }
        entry.clips[1] = NoClipName;
        expected.set(number, entry);
    }
    TempFolder folder;
    TavrelError error;
    ASSERT_TRUE(writeRegisterFile(folder.path("a.vg2"), original, &error)) << error.description;
    EXPECT_TRUE(TempFolder::readBytes(folder.path("a.vg2")) == formatted(original));
    RegisterCollection read;
    ASSERT_TRUE(readRegisterFile(folder.path("a.vg2"), &read, &error)) << error.description;
    EXPECT_TRUE(read == expected);
    EXPECT_FALSE(read == original); // the comparison sees null numbers and clip names
}

TEST(RegisterFile, LaterLineWinsInAnyOrder) {
    // Long enough that the reader orders its entries more than once on the way.
    std::vector<int32_t> descending, mixed;
    for (int32_t i = 0; i < 20000; ++i) {
        descending.push_back(i < 15000 ? 15000 - i : 20000 - i);
        mixed.push_back((i * 7919) % 3001 - 1500);
    }
    for (const auto& numbers : {descending, mixed}) {
        std::string text;
        std::map<int32_t, std::string> expected;
        for (size_t i = 0; i < numbers.size(); ++i) {
            text += line(std::to_string(numbers[i]), "0,0," + std::to_string(i) + ",B,C,D") + "\n";
            expected[numbers[i]] = std::to_string(i);
        }
        RegisterCollection registers;
        ASSERT_TRUE(parseRegisterFile(text, &registers));
        std::map<int32_t, std::string> read;
        for (const auto& [number, entry] : registers) {
            read[number] = entry.clips[0];
        }
        EXPECT_EQ(read, expected);
        EXPECT_EQ(registers.size(), expected.size()); // and in ascending order, as a map is
    }
}

TEST(RegisterFile, LinesOverTheLimitAreMalformedFromFilesAndPipes) {
    // Read no further than the limit, so an endless or huge input is refused, never held.
    std::signal(SIGPIPE, SIG_IGN); // the feeding thread's reader gives up early
    TempFolder folder;
    const std::string overLong = line("001", "0,0,A,B,C,") + std::string(1 << 20, 'D');
    TempFolder::writeBytes(folder.path("long.vg2"), overLong);
    ASSERT_EQ(::mkfifo(folder.path("pipe.vg2").c_str(), 0600), 0);
    std::thread feeder = TempFolder::feedFifo(folder.path("pipe.vg2"), overLong);
    for (const char* name : {"long.vg2", "pipe.vg2"}) {
        RegisterCollection registers = sentinel();
        TavrelError error;
        EXPECT_FALSE(readRegisterFile(folder.path(name), &registers, &error)) << name;
        EXPECT_EQ(error.description + "\n" + error.recoverySuggestion.value_or(""),
                  "Error processing .vg2 file\nThe file "s + name +
                      " is malformed and could not be processed.");
        EXPECT_TRUE(registers == sentinel()) << name;
    }
    feeder.join();
}

TEST(RegisterFile, LargeFileStillReads) {
    std::string text;
    for (int32_t number = 0; number < 200000; ++number) {
        text += line(std::to_string(number)) + "\r\n";
    }
    TempFolder folder;
    TempFolder::writeBytes(folder.path("large.vg2"), text);
    RegisterCollection registers;
    ASSERT_TRUE(readRegisterFile(folder.path("large.vg2"), &registers));
    EXPECT_EQ(registers.size(), 200000u);
    EXPECT_EQ(registers.numberAt(199999), 199999);
}

TEST(RegisterFile, ReadFailuresChangeNothing) {
    // The texts of these errors are checked end to end through tavrelctl.
    TempFolder folder;
    TempFolder::writeBytes(folder.path("bad.vg2"), line("001", "000,000,A,B,C"));
    const std::pair<std::string, int> cases[] = {
        {folder.path("bad.vg2"), 0}, {folder.path("none.vg2"), ENOENT}, {"/proc/self/mem", EIO}};
    for (const auto& [path, code] : cases) {
        RegisterCollection registers = sentinel();
        TavrelError error;
        EXPECT_FALSE(readRegisterFile(path, &registers, &error)) << path;
        EXPECT_TRUE(registers == sentinel()) << path;
        EXPECT_EQ(error.code, code) << path; // /proc/self/mem: a read that fails part way
    }
}

} // namespace
