#include "MalformedFile.h"
#include "RegisterDetailLine.h"
#include "RegisterFile.h"
#include "RegisterFilePieces.h"
#include "RegisterWire.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace tavrel::files;
using namespace tavrel::records;

namespace {

// A register as a device can hold it: decoded from its wire bytes, with or without clip names.
RegisterEntry fromDevice(const RegisterWire& wire, bool noClipNames = false) {
    RegisterEntry entry;
    decodeRegisterWire(wire, &entry);
    entry.noClipNames = noClipNames;
    return entry;
}

RegisterWire unsetWire() {
    RegisterWire wire{};
    for (size_t i = 0; i < 8; ++i) {
        wire[4 * i] = 0x80;
    }
    return wire;
}

RegisterWire withTime(RegisterWire wire, size_t index, RegisterTimeBytes bytes) {
    std::memcpy(wire.data() + 4 * index, bytes.data(), 4);
    return wire;
}

const std::string Unset = "**:**:**:**";
const std::string UnsetLine = "," + Unset + "," + Unset + "," + Unset + "," + Unset + "," + Unset +
                              "," + Unset + "," + Unset + "," + Unset + ",000,000,";

} // namespace

// Every kind of register a plain file cannot hold comes back byte for byte, read whole or a few
// bytes at a time, and goes back to the device as it came.
TEST(ExactRegisterFile, GivesEveryByteBack) {
    RegisterCollection device;
    for (int32_t number = 0; number < 300; ++number) {
        RegisterWire wire = unsetWire();
        switch (number % 6) {
        case 0: // unset times hiding numbers, in both notations
            wire =
                withTime(withTime(wire, 0, {0xFF, 0xFF, 0xFF, 0xFF}), 3, {0xC5, 0x34, 0x12, 0x99});
            break;
        case 1: // bytes that are not decimal, set and unset
            wire =
                withTime(withTime(wire, 2, {0x1A, 0x00, 0x00, 0xAA}), 7, {0x3F, 0xA0, 0xB1, 0x01});
            break;
        case 2: // a plain time and trailing bytes
            wire = withTime(wire, 1, {0x29, 0x59, 0x59, 0x23});
            wire[33] = static_cast<uint8_t>(number);
            break;
        default:
            break;
        }
        RegisterEntry entry = fromDevice(wire, number % 6 == 3);
        if (number % 6 == 4) {
            entry.clips = {"        ", "SHOT0001", "A\"B\\C  ", "        "};
        }
        device.set(number, entry);
    }
    std::string text;
    ASSERT_TRUE(formatExactRegisterFile(device, &text));
    EXPECT_EQ(text.rfind("#vg2-exact 1\r\n#=000,FFFFFFFF,80000000,80000000,C5341299,", 0), 0u);
    EXPECT_NE(text.find("\r\n#=003,none\r\n003" + UnsetLine + "********,"), std::string::npos);
    EXPECT_NE(text.find("\r\n004" + UnsetLine + "        ,SHOT0001,"), std::string::npos);
    EXPECT_EQ(text.find("#=002"), std::string::npos); // its line says it all

    for (size_t piece : {size_t{7}, size_t{1} << 20}) {
        size_t at = 0;
        RegisterCollection read;
        ASSERT_EQ(parseRegisterFilePieces(
                      [&](char* buffer, size_t capacity) {
                          const size_t n = std::min(capacity, text.size() - at);
                          std::memcpy(buffer, text.data() + at, n);
                          at += n;
                          return static_cast<ssize_t>(n);
                      },
                      piece, &read),
                  PieceParse::Parsed);
        EXPECT_TRUE(read == device) << piece;
        for (const auto& [number, entry] : device) {
            RegisterWire sent;
            RegisterWire held;
            ASSERT_TRUE(encodeRegisterWire(*read.find(number), &sent)) << number;
            ASSERT_TRUE(encodeRegisterWire(entry, &held));
            EXPECT_EQ(sent, held) << number;
            EXPECT_EQ(holdsNoClipNames(*read.find(number)), number % 6 == 3);
        }
    }
    TempFolder folder;
    ASSERT_TRUE(writeExactRegisterFile(folder.path("s.vg2"), device));
    EXPECT_EQ(TempFolder::readBytes(folder.path("s.vg2")), text);
}

// Detail lines that do not belong, or do not agree with their register's line: the whole file is
// malformed, as any other.
TEST(ExactRegisterFile, RefusesWhatDoesNotAgree) {
    const std::string header = "#vg2-exact 1\r\n";
    const std::string line7 = "007" + UnsetLine + "A,B,C,D\r\n";
    const std::string hidden = "#=007,80563412,80000000,80000000,80000000,80000000,80000000,"
                               "80000000,80000000,names\r\n";
    // The good file first, then each way to break it.
    RegisterCollection registers;
    ASSERT_TRUE(parseRegisterFile(header + hidden + line7, &registers));
    EXPECT_EQ(registers.find(7)->reg.inA.hours, 12);
    const std::string disagrees = "Line 3 does not agree with the detail line on line 2.";
    const std::pair<std::string, std::string> rejected[] = {
        {hidden + line7, // no header
         "Line 1: \"#=007,80563412,80000000,80000...\" is not the header \"#vg2-exact 1\"."},
        {"#vg2-exact 2\r\n" + hidden + line7, // another version
         "Line 1: \"#vg2-exact 2\" is not the header \"#vg2-exact 1\"."},
        {line7 + header + line7, // header not first
         "Line 2 starts with \"#\", but line 1 is not the header \"#vg2-exact 1\"."},
        {header + "#=008,none\r\n" + line7, // another register's
         "Line 3 is register 007, but the detail line on line 2 is for register 008."},
        {header + "#=007,none\r\n#=007,none\r\n" + line7, // two in a row
         "Line 3 is a second detail line; the register's line must follow the one on line 2."},
        {header + line7 + "#=007,none\r\n", // nothing follows
         "The file ends after the detail line on line 3, without its register's line."},
        {header + "#=007,none\r\n" + "007" + UnsetLine + "A,********,********,********\r\n",
         disagrees},
        {header + "#=007,00000001," + hidden.substr(15) + line7, disagrees}, // set, line unset
        {header + "#=007,C0000000," + hidden.substr(15) + line7, disagrees}, // another notation
        {header + "#=007,80563412,names\r\n" + line7,                        // times missing
         "Line 2: \"#=007,80563412,names\" is not a detail line."},
        {header + "#=007,8056341g," + hidden.substr(15) + line7, // not hexadecimal
         "Line 2: \"#=007,8056341g,80000000,80000...\" is not a detail line."},
        {header + "#=007,names,none\r\n" + line7, // not a time
         "Line 2: \"#=007,names,none\" is not a detail line."},
        {header + "#=007,something\r\n" + line7, // neither names nor none
         "Line 2: \"#=007,something\" is not a detail line."},
        {header + "# a comment\r\n" + line7, "Line 2: \"# a comment\" is not a detail line."},
    };
    for (const auto& [text, fault] : rejected) {
        RegisterCollection kept;
        kept.set(1, RegisterEntry{});
        EXPECT_FALSE(parseRegisterFile(text, &kept)) << text;
        EXPECT_TRUE(kept.find(1) != nullptr && kept.size() == 1) << text;
        EXPECT_EQ(faultIn(text), fault);
    }
}
