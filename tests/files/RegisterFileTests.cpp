#include "RegisterFile.h"
#include "RegisterFilePieces.h"
#include "TavrelSocket.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

using namespace std::string_literals;

namespace {

VRG500_registerTime time(uint8_t h, uint8_t m, uint8_t s, uint8_t f, bool drop = false) {
    VRG500_registerTime t;
    t.hours = h;
    t.minutes = m;
    t.seconds = s;
    t.frames = f;
    t.dropFrame = drop ? 1 : 0;
    return t;
}

VRG500_registerTime nullTime(bool drop = false) {
    VRG500_registerTime t;
    t.isNull = 1;
    t.dropFrame = drop ? 1 : 0;
    return t;
}

RegisterEntry entryWithNullTimes() {
    RegisterEntry entry;
    for (auto member : VRG500_registerTimes) {
        entry.reg.*member = nullTime();
    }
    return entry;
}

// Register 7 of the format's own example.
RegisterEntry register7() {
    RegisterEntry entry = entryWithNullTimes();
    entry.reg.inA = time(1, 0, 0, 0);
    entry.reg.outA = time(1, 0, 10, 0);
    entry.reg.trailingByte2 = 12;
    entry.clips[0] = "SHOT0001";
    return entry;
}

const std::string Register7Line = "007,01:00:00:00,01:00:10:00,**:**:**:**,**:**:**:**,**:**:**:**,"
                                  "**:**:**:**,**:**:**:**,**:**:**:**,000,012,SHOT0001,********,"
                                  "********,********\r\n";

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

// A collection that every test of a rejected file starts from, so that a change shows.
RegisterCollection sentinel() {
    RegisterCollection registers;
    registers.set(42, register7());
    return registers;
}

// ---- Writing ----

TEST(RegisterFileFormat, WritesTheDocumentedExampleLine) {
    RegisterCollection registers;
    registers.set(7, register7());
    EXPECT_EQ(formatted(registers), Register7Line);
}

TEST(RegisterFileFormat, EmptyCollectionIsAnEmptyText) {
    EXPECT_EQ(formatted(RegisterCollection{}), "");
}

TEST(RegisterFileFormat, NumbersTakeAtLeastThreeDigits) {
    struct Case {
        int32_t number;
        const char* field;
    } cases[] = {{0, "000"},
                 {5, "005"},
                 {99, "099"},
                 {999, "999"},
                 {1000, "1000"},
                 {1234, "1234"},
                 {65535, "65535"},
                 {-5, "-05"},
                 {-1234, "-1234"},
                 {INT32_MAX, "2147483647"},
                 {INT32_MIN, "-2147483648"}};
    for (const auto& c : cases) {
        RegisterCollection registers;
        registers.set(c.number, entryWithNullTimes());
        EXPECT_EQ(formatted(registers),
                  line(c.field, "000,000,********,********,********,********") + "\r\n")
            << c.number;
    }
}

TEST(RegisterFileFormat, LinesComeInAscendingOrderWithTrailingBytesAndDropFrame) {
    RegisterCollection registers;
    RegisterEntry late = entryWithNullTimes();
    late.reg.outD = time(23, 59, 59, 29, true);
    late.reg.inB = nullTime(true);
    late.reg.trailingByte1 = 255;
    late.reg.trailingByte2 = 7;
    late.clips = {"CLIP    ", "        ", "x", "dd,ee"};
    registers.set(300, late);
    registers.set(2, register7());
    EXPECT_EQ(formatted(registers),
              "002" + Register7Line.substr(3) +
                  "300,**:**:**:**,**:**:**:**,**:**:**;**,**:**:**:**,**:**:**:**,**:**:**:**,"
                  "**:**:**:**,23:59:59;29,255,007,CLIP    ,        ,x,dd,ee\r\n");
}

TEST(RegisterFileFormat, RefusesWhatCouldNotBeReadBack) {
    struct Case {
        const char* what;
        void (*spoil)(RegisterEntry*);
        const char* description;
        const char* suggestion;
    } cases[] = {
        {"hours above 99", [](RegisterEntry* e) { e->reg.outB = time(100, 0, 0, 0); },
         "Register 012 holds a time that cannot be written",
         "Its B OUT time has a number above 99, which a register file cannot hold."},
        {"frames above 99", [](RegisterEntry* e) { e->reg.inD = time(0, 0, 0, 165); },
         "Register 012 holds a time that cannot be written",
         "Its D IN time has a number above 99, which a register file cannot hold."},
        {"comma in clip A", [](RegisterEntry* e) { e->clips[0] = "AB,CDEFG"; },
         "Register 012 holds a clip name that cannot be written", "Clip name A contains a comma."},
        {"line end in clip D", [](RegisterEntry* e) { e->clips[3] = "ABC\r\nDEF"; },
         "Register 012 holds a clip name that cannot be written",
         "Clip name D contains a line break."},
        {"empty clip C", [](RegisterEntry* e) { e->clips[2].clear(); },
         "Register 012 holds a clip name that cannot be written", "Clip name C is empty."},
    };
    for (const auto& c : cases) {
        RegisterCollection registers;
        registers.set(3, register7());
        RegisterEntry spoilt = register7();
        c.spoil(&spoilt);
        registers.set(12, spoilt);
        std::string text = "untouched";
        TavrelError error;
        EXPECT_FALSE(formatRegisterFile(registers, &text, &error)) << c.what;
        EXPECT_EQ(text, "untouched") << c.what;
        EXPECT_EQ(error.domain, "Tavrel");
        EXPECT_EQ(error.description, c.description) << c.what;
        EXPECT_EQ(error.recoverySuggestion.value_or(""), c.suggestion) << c.what;
        EXPECT_FALSE(formatRegisterFile(registers, &text)) << c.what; // no error object needed
    }
}

TEST(RegisterFileFormat, TimesAreTheLinksTextForm) {
    for (int value = 0; value <= 99; ++value) {
        for (int flags = 0; flags < 4; ++flags) {
            auto v = static_cast<uint8_t>(value);
            VRG500_registerTime t = time(v, static_cast<uint8_t>(99 - value), v,
                                         static_cast<uint8_t>(value / 3), flags & 1);
            t.isNull = static_cast<int8_t>(flags & 2 ? -1 : 0);
            RegisterEntry entry = entryWithNullTimes();
            entry.reg.outC = t;
            RegisterCollection registers;
            registers.set(1, entry);
            EXPECT_EQ(formatted(registers).substr(4 + 5 * 12, 11),
                      TavrelSocket::stringForRegisterTime(t))
                << value << " " << flags;
        }
    }
}

TEST(RegisterFileFormat, NullTimesMayHoldAnyNumbers) {
    RegisterEntry entry = entryWithNullTimes();
    entry.reg.inA.hours = 200; // as a device may send; the text shows only asterisks
    RegisterCollection registers;
    registers.set(1, entry);
    EXPECT_EQ(formatted(registers),
              line("001", "000,000,********,********,********,********") + "\r\n");
}

// ---- Reading: accepted texts ----

struct Accepted {
    const char* name;
    std::string text;
    // Register number, clip A, clip D, trailing bytes of each register read, in order.
    std::vector<std::tuple<int32_t, std::string, std::string, int, int>> expected;
};

std::vector<Accepted> acceptedCases() {
    const std::string a = line("001", "000,000,AAAAAAAA,B,C,DDDDDDDD");
    const std::string b = line("002", "001,002,A2,B,C,D2");
    return {
        {"empty file", "", {}},
        {"CR LF",
         a + "\r\n" + b + "\r\n",
         {{1, "AAAAAAAA", "DDDDDDDD", 0, 0}, {2, "A2", "D2", 1, 2}}},
        {"LF only",
         a + "\n" + b + "\n",
         {{1, "AAAAAAAA", "DDDDDDDD", 0, 0}, {2, "A2", "D2", 1, 2}}},
        {"CR only",
         a + "\r" + b + "\r",
         {{1, "AAAAAAAA", "DDDDDDDD", 0, 0}, {2, "A2", "D2", 1, 2}}},
        {"no line end at the end",
         a + "\r\n" + b,
         {{1, "AAAAAAAA", "DDDDDDDD", 0, 0}, {2, "A2", "D2", 1, 2}}},
        {"blank lines between",
         a + "\r\n\r\n\n\r" + b + "\n\n\n",
         {{1, "AAAAAAAA", "DDDDDDDD", 0, 0}, {2, "A2", "D2", 1, 2}}},
        {"later line wins",
         b + "\r\n" + line("2", "009,009,late,B,C,later") + "\r\n",
         {{2, "late", "later", 9, 9}}},
        {"lines out of order",
         b + "\r\n" + a,
         {{1, "AAAAAAAA", "DDDDDDDD", 0, 0}, {2, "A2", "D2", 1, 2}}},
        {"signed and unpadded numbers",
         line("+5", "-56,300,A,B,C,D") + "\n" + line("-0") + "\n" + line("-12"),
         {{-12, "A", "D", 0, 0}, {0, "A", "D", 0, 0}, {5, "A", "D", 200, 44}}},
        {"clip D with commas and blanks",
         line("1234", "000,000, A ,B B,C,  D,,E  "),
         {{1234, " A ", "  D,,E  ", 0, 0}}},
        {"eight blanks mean no clip",
         line("003", "000,000,        ,B,C,        "),
         {{3, "********", "********", 0, 0}}},
        {"seven and nine blanks are names",
         line("003", "000,000,       ,B,C,         "),
         {{3, "       ", "         ", 0, 0}}},
        {"bytes above 0x7F and NUL in names",
         line("004", "000,000,\xe9t\xe9\0,B,C,\xff"s),
         {{4, std::string("\xe9t\xe9\x00", 4), "\xff", 0, 0}}},
        {"a comma in clip A shifts the names into clip D",
         line("001", "000,000,A,X,B,C,D"),
         {{1, "A", "C,D", 0, 0}}},
        {"largest numbers",
         line("2147483647", "2147483647,-2147483648,A,B,C,D"),
         {{INT32_MAX, "A", "D", 255, 0}}},
    };
}

TEST(RegisterFileParse, AcceptsWhatTheFormatAllows) {
    for (const auto& c : acceptedCases()) {
        RegisterCollection registers = sentinel();
        ASSERT_TRUE(parseRegisterFile(c.text, &registers)) << c.name;
        ASSERT_EQ(registers.size(), c.expected.size()) << c.name;
        for (size_t row = 0; row < c.expected.size(); ++row) {
            const auto& [number, clipA, clipD, byte1, byte2] = c.expected[row];
            EXPECT_EQ(registers.numberAt(row), number) << c.name;
            EXPECT_EQ(registers.entryAt(row).clips[0], clipA) << c.name;
            EXPECT_EQ(registers.entryAt(row).clips[3], clipD) << c.name;
            EXPECT_EQ(registers.entryAt(row).reg.trailingByte1, byte1) << c.name;
            EXPECT_EQ(registers.entryAt(row).reg.trailingByte2, byte2) << c.name;
        }
    }
}

TEST(RegisterFileParse, ReadsTheTimesInFileOrder) {
    std::string text = "009,00:00:00:01,00:00:00:02,00:00:00:03,00:00:00;04,**:**:**;**,"
                       "99:99:99:99,12:34:56:78,**:**:**:**,1,2,A,B,C,D";
    RegisterCollection registers;
    ASSERT_TRUE(parseRegisterFile(text, &registers));
    const VRG500_register& reg = registers.entryAt(0).reg;
    EXPECT_EQ(reg.inA.frames, 1);
    EXPECT_EQ(reg.outA.frames, 2);
    EXPECT_EQ(reg.inB.frames, 3);
    EXPECT_EQ(reg.outB.frames, 4);
    EXPECT_EQ(reg.outB.dropFrame, 1);
    EXPECT_EQ(reg.inC.isNull, 1);
    EXPECT_EQ(reg.inC.dropFrame, 1);
    EXPECT_EQ(reg.outC.hours, 99);
    EXPECT_EQ(reg.outC.frames, 99);
    EXPECT_EQ(reg.inD.hours, 12);
    EXPECT_EQ(reg.inD.minutes, 34);
    EXPECT_EQ(reg.inD.seconds, 56);
    EXPECT_EQ(reg.inD.frames, 78);
    EXPECT_EQ(reg.outD.isNull, 1);
    EXPECT_EQ(reg.outD.dropFrame, 0);
}

// ---- Reading: rejected texts change nothing ----

std::vector<std::string> rejectedTexts() {
    const std::string good = line("001");
    return {
        "\r\n" + good,                                 // blank line at the very start
        " " + good,                                    // blank at the very start
        "001 ," + NullTimes + ",000,000,A,B,C,D",      // blank after the number
        "001, " + NullTimes + ",000,000,A,B,C,D",      // blank before a time
        line("001", "000 ,000,A,B,C,D"),               // blank after a trailing byte
        line("001", " 000,000,A,B,C,D"),               // blank before a trailing byte
        line("001", "000,000,,B,C,D"),                 // empty clip A
        line("001", "000,000,A,B,C,"),                 // empty clip D
        line("001", "000,000,A,B,C"),                  // a field missing
        line("001", "000,000,A,B,C") + "\r\n",         // a field missing, then a line end
        line("001", "000,000,A,B,C,D") + "\r\n" + "x", // garbage line after a good one
        good + "\r\n" + line("002", "000,,A,B,C,D"),   // a bad line after a good one
        line("001", "000,000,A,B,C,D") + "\r\n \r\n",  // a blank in an otherwise blank line
        line("001", "1x,000,A,B,C,D"),                 // trailing byte not an integer
        line("001", "+,000,A,B,C,D"),                  // a sign without digits
        line("1.5"),                                   // not an integer
        line("x01"),                                   // not an integer
        line("2147483648"),                            // beyond 32 bits
        line("-2147483649"),                           // beyond 32 bits
        line("001", "99999999999,000,A,B,C,D"),        // beyond 32 bits
        "001,01:00:00:00 ," + NullTimes.substr(12) + ",000,000,A,B,C,D",   // blank after a time
        "001,1:00:00:00," + NullTimes.substr(12) + ",000,000,A,B,C,D",     // one digit
        "001,23;59:59:29," + NullTimes.substr(12) + ",000,000,A,B,C,D",    // semicolon misplaced
        "001,**:**:**:04," + NullTimes.substr(12) + ",000,000,A,B,C,D",    // null with digits
        "001,**:**:**:**\r\n" + NullTimes.substr(12) + ",000,000,A,B,C,D", // line break in a time
        "001," + NullTimes.substr(12) + ",000,000,A,B,C,D",                // seven times
        "001," + NullTimes + ",**:**:**:**,000,000,A,B,C,D",               // nine times
        "001,,," + NullTimes + ",000,000,A,B,C,D",                         // empty field
    };
}

TEST(RegisterFileParse, RejectsMalformedTextsAndKeepsTheCollection) {
    for (const auto& text : rejectedTexts()) {
        RegisterCollection registers = sentinel();
        EXPECT_FALSE(parseRegisterFile(text, &registers)) << text;
        EXPECT_TRUE(registers == sentinel()) << text;
    }
}

// ---- Reading a piece at a time ----

PieceParse parseInPieces(const std::string& text, size_t pieceSize, RegisterCollection* parsed) {
    size_t offset = 0;
    return parseRegisterFilePieces(
        [&](char* buffer, size_t capacity) {
            // At most a few bytes per read: the pieces fall everywhere within the lines.
            size_t count = std::min({capacity, text.size() - offset, size_t{5}});
            std::memcpy(buffer, text.data() + offset, count);
            offset += count;
            return static_cast<ssize_t>(count);
        },
        pieceSize, parsed);
}

TEST(RegisterFilePieces, SameResultAsTheWholeTextWhereverThePiecesFall) {
    std::vector<std::string> texts = rejectedTexts();
    for (const auto& c : acceptedCases()) {
        texts.push_back(c.text);
    }
    for (const auto& text : texts) {
        RegisterCollection whole;
        bool accepted = parseRegisterFile(text, &whole);
        for (size_t pieceSize : {1, 2, 3, 11, 64, 150, 4096}) {
            RegisterCollection pieces;
            PieceParse result = parseInPieces(text, pieceSize, &pieces);
            EXPECT_EQ(result, accepted ? PieceParse::Parsed : PieceParse::Malformed)
                << pieceSize << ": " << text;
            if (accepted) {
                EXPECT_TRUE(pieces == whole) << pieceSize << ": " << text;
            }
        }
    }
}

TEST(RegisterFilePieces, ReadFailureIsReported) {
    RegisterCollection parsed;
    int calls = 0;
    PieceParse result = parseRegisterFilePieces(
        [&](char* buffer, size_t) -> ssize_t {
            if (calls++ == 0) {
                std::memcpy(buffer, "001,", 4);
                return 4;
            }
            errno = EIO;
            return -1;
        },
        64, &parsed);
    EXPECT_EQ(result, PieceParse::ReadFailed);
}

// ---- Round trips ----

TEST(RegisterFileRoundTrip, CollectionComesBackButForNullNumbersAndBlankNames) {
    RegisterCollection original;
    for (int32_t number : {0, 1, 5, 99, 100, 299, 1234, 65535}) {
        RegisterEntry entry;
        int k = number % 7;
        for (size_t i = 0; i < 8; ++i) {
            auto& t = entry.reg.*VRG500_registerTimes[i];
            t = time(static_cast<uint8_t>((number + i) % 100), static_cast<uint8_t>(i * 7),
                     static_cast<uint8_t>(k * 9), static_cast<uint8_t>((i * 5) % 40),
                     (i + k) % 3 == 0);
            if ((i + k) % 4 == 0) {
                t.isNull = 1;
            }
        }
        entry.reg.trailingByte1 = static_cast<uint8_t>(number);
        entry.reg.trailingByte2 = static_cast<uint8_t>(255 - number);
        entry.clips = {"SHOT" + std::to_string(1000 + k), "        ", "********", "D,with,commas"};
        original.set(number, entry);
    }
    RegisterCollection expected = original;
    for (size_t row = 0; row < expected.size(); ++row) {
        RegisterEntry entry = expected.entryAt(row);
        for (auto member : VRG500_registerTimes) {
            auto& t = entry.reg.*member;
            if (t.isNull) {
                t = nullTime(t.dropFrame != 0);
            }
        }
        entry.clips[1] = NoClipName;
        expected.set(expected.numberAt(row), entry);
    }
    RegisterCollection read;
    ASSERT_TRUE(parseRegisterFile(formatted(original), &read));
    EXPECT_TRUE(read == expected);
    // What was read writes the same text again.
    EXPECT_EQ(formatted(read), formatted(expected));
}

// ---- Files ----

TEST(RegisterFileIO, WritesAndReadsAFile) {
    TempFolder folder;
    RegisterCollection registers;
    registers.set(7, register7());
    TavrelError error;
    ASSERT_TRUE(writeRegisterFile(folder.path("a.vg2"), registers, &error)) << error.description;
    EXPECT_EQ(TempFolder::readBytes(folder.path("a.vg2")), Register7Line);
    RegisterCollection read;
    ASSERT_TRUE(readRegisterFile(folder.path("a.vg2"), &read, &error));
    EXPECT_TRUE(read == registers);
}

TEST(RegisterFileIO, LargeFileIsExactlyTheFormattedText) {
    // Large enough to be written in several pieces, with one line longer than a piece.
    RegisterCollection registers;
    for (int32_t number = 0; number < 5000; ++number) {
        RegisterEntry entry = register7();
        entry.reg.trailingByte1 = static_cast<uint8_t>(number);
        registers.set(number, entry);
    }
    RegisterEntry huge = register7();
    huge.clips[3] = std::string(600 * 1024, 'D');
    registers.set(2500, huge);
    TempFolder folder;
    TavrelError error;
    ASSERT_TRUE(writeRegisterFile(folder.path("big.vg2"), registers, &error)) << error.description;
    std::string bytes = TempFolder::readBytes(folder.path("big.vg2"));
    EXPECT_TRUE(bytes == formatted(registers));
    RegisterCollection read;
    ASSERT_TRUE(readRegisterFile(folder.path("big.vg2"), &read, &error));
    EXPECT_TRUE(read == registers);
}

TEST(RegisterFileIO, MalformedFileNamesTheFileAndChangesNothing) {
    TempFolder folder;
    TempFolder::writeBytes(folder.path("bad file.vg2"), line("001", "000,000,A,B,C"));
    RegisterCollection registers = sentinel();
    TavrelError error;
    EXPECT_FALSE(readRegisterFile(folder.path("bad file.vg2"), &registers, &error));
    EXPECT_TRUE(registers == sentinel());
    EXPECT_EQ(error.domain, "Tavrel");
    EXPECT_EQ(error.description, "Error processing .vg2 file");
    EXPECT_EQ(error.recoverySuggestion.value_or(""),
              "The file bad file.vg2 is malformed and could not be processed.");
}

TEST(RegisterFileIO, MissingFileGivesTheSystemsError) {
    TempFolder folder;
    RegisterCollection registers = sentinel();
    TavrelError error;
    EXPECT_FALSE(readRegisterFile(folder.path("none.vg2"), &registers, &error));
    EXPECT_TRUE(registers == sentinel());
    EXPECT_EQ(error.domain, "POSIX");
    EXPECT_EQ(error.code, ENOENT);
    EXPECT_EQ(error.description, "The file \"none.vg2\" couldn't be opened.");
    EXPECT_EQ(error.failureReason.value_or(""), "No such file or directory");
}

TEST(RegisterFileIO, RefusedCollectionWritesNoFile) {
    TempFolder folder;
    TempFolder::writeBytes(folder.path("old.vg2"), "old contents");
    RegisterCollection registers;
    RegisterEntry entry = register7();
    entry.reg.inA.minutes = 150;
    registers.set(5, entry);
    EXPECT_FALSE(writeRegisterFile(folder.path("old.vg2"), registers));
    EXPECT_FALSE(writeRegisterFile(folder.path("new.vg2"), registers));
    EXPECT_EQ(TempFolder::readBytes(folder.path("old.vg2")), "old contents");
    EXPECT_EQ(folder.listing(), "old.vg2\n");
}

} // namespace
