#include "RegisterFile.h"
#include "RegisterJson.h"
#include "RegisterWire.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace tavrel::files;
using namespace tavrel::records;

namespace {

RegisterWire unsetWire() {
    RegisterWire wire{};
    for (size_t i = 0; i < 8; ++i) {
        wire[4 * i] = 0x80;
    }
    return wire;
}

// A register as a device holds it: these wire bytes for its times, with or without clip names.
RegisterEntry fromDevice(std::vector<std::pair<size_t, RegisterTimeBytes>> times,
                         bool noClipNames = false) {
    RegisterWire wire = unsetWire();
    for (const auto& [index, bytes] : times) {
        std::memcpy(wire.data() + 4 * index, bytes.data(), 4);
    }
    RegisterEntry entry;
    decodeRegisterWire(wire, &entry);
    entry.noClipNames = noClipNames;
    return entry;
}

std::string jsonFaultIn(const std::string& json) {
    RegisterCollection registers;
    registers.set(1, RegisterEntry{});
    std::string fault;
    EXPECT_FALSE(parseRegisterJson(json, &registers, &fault)) << json;
    EXPECT_TRUE(registers.size() == 1 && registers.find(1)) << json;
    return fault;
}

const std::string Start = "{\"format\": \"tavrel-registers\", \"version\": 1, \"registers\": [\n";
const std::string Machine =
    "{\"in\": \"**:**:**:**\", \"out\": \"**:**:**:**\", \"clip\": \"********\"}";
const std::string Machines =
    "\"A\": " + Machine + ", \"B\": " + Machine + ", \"C\": " + Machine + ", \"D\": " + Machine;

} // namespace

// What an exact register file holds comes back byte for byte through JSON: unset times hiding
// numbers, bytes that are not decimal, trailing bytes, no clip names, names of eight blanks or
// of any bytes.
TEST(RegisterJson, ExactFileComesBackByteForByte) {
    const std::pair<int32_t, RegisterEntry> awkward[] = {
        {0, fromDevice({{0, {0xFF, 0xFF, 0xFF, 0xFF}}, {3, {0xC5, 0x34, 0x12, 0x99}}})},
        {1, fromDevice({{2, {0x1A, 0x00, 0x00, 0xAA}}, {7, {0x3F, 0xA0, 0xB1, 0x01}}})},
        {2, fromDevice({{1, {0x29, 0x59, 0x59, 0x23}}, {4, {0x45, 0x59, 0x59, 0x23}}})},
        {3, fromDevice({}, true)},
        {4, fromDevice({{0, {0x80, 0x56, 0x34, 0x12}}})},
        {7, fromDevice({})},
        {65535, fromDevice({{5, {0x00, 0x00, 0x00, 0x00}}})},
    };
    RegisterCollection registers;
    for (auto [number, entry] : awkward) {
        entry.reg.trailingByte1 = static_cast<uint8_t>(number * 37);
        entry.reg.trailingByte2 = 0xFF;
        registers.set(number, entry);
    }
    RegisterEntry named = fromDevice({});
    named.clips = {"        ", "A\"B\\C\x01\x7F", "\xE9t\xE9\xFF\x80\x9F ", "********"};
    registers.set(8, named);

    std::string exact;
    ASSERT_TRUE(formatExactRegisterFile(registers, &exact));
    RegisterCollection fromExact;
    ASSERT_TRUE(parseRegisterFile(exact, &fromExact));
    std::string json;
    ASSERT_TRUE(formatRegisterJson(fromExact, &json));
    EXPECT_EQ(json.substr(0, Start.size()), Start);
    EXPECT_NE(json.find("\n{\"register\": 4, \"A\": {\"in\": \"**:**:**:**\", \"out\": "
                        "\"**:**:**:**\", \"clip\": \"********\"}, \"B\": "),
              std::string::npos);
    EXPECT_NE(json.find("\"trailing\": [148, 255], \"noClipNames\": false, \"wire\": "
                        "[\"80563412\", \"80000000\", \"80000000\", \"80000000\", \"80000000\", "
                        "\"80000000\", \"80000000\", \"80000000\"]},\n"),
              std::string::npos)
        << json;
    EXPECT_NE(
        json.find("\"clip\": \"A\\\"B\\\\C\\u0001\\u007F\"}, \"C\": {\"in\": \"**:**:**:**\", "
                  "\"out\": \"**:**:**:**\", \"clip\": \"\xC3\xA9t\xC3\xA9\xC3\xBF\\u0080"
                  "\\u009F \"}"),
        std::string::npos)
        << json;
    EXPECT_NE(json.find("{\"register\": 3, " + Machines +
                        ", \"trailing\": [111, 255], \"noClipNames\": true},\n"),
              std::string::npos)
        << json;
    EXPECT_EQ(json.substr(json.size() - 5), "}\n]}\n");

    RegisterCollection fromJson;
    std::string fault;
    ASSERT_TRUE(parseRegisterJson(json, &fromJson, &fault)) << fault;
    EXPECT_TRUE(fromJson == fromExact);
    std::string again;
    ASSERT_TRUE(formatExactRegisterFile(fromJson, &again));
    EXPECT_EQ(again, exact);

    TempFolder folder;
    ASSERT_TRUE(writeRegisterJson(folder.path("r.json"), fromExact));
    EXPECT_EQ(TempFolder::readBytes(folder.path("r.json")), json);
    RegisterCollection read;
    ASSERT_TRUE(readRegisterJson(folder.path("r.json"), &read));
    EXPECT_TRUE(read == fromExact);

    // What no register file holds, JSON does: a line break or comma in any clip name.
    named.clips = {"a,b", "c\r\nd", "", "\n"};
    read.set(9, named);
    ASSERT_TRUE(formatRegisterJson(read, &json));
    RegisterCollection back;
    ASSERT_TRUE(parseRegisterJson(json, &back));
    EXPECT_TRUE(back == read);

    std::string empty;
    ASSERT_TRUE(formatRegisterJson(RegisterCollection{}, &empty));
    EXPECT_EQ(empty, "{\"format\": \"tavrel-registers\", \"version\": 1, \"registers\": [\n]}\n");
    ASSERT_TRUE(parseRegisterJson(empty, &read));
    EXPECT_TRUE(read.empty());
}

// JSON written by hand or by jq: keys in any order, whitespace anywhere, registers in any order,
// "noClipNames" and "wire" left out; escapes of any kind.
TEST(RegisterJson, TakesHandWrittenJson) {
    const std::string json =
        std::string(" {\n  \"registers\" : [ {\"trailing\":[1,2],\"D\":" + Machine +
                    ",\"C\":" + Machine + ",\"B\":" + Machine +
                    ",\n  \"A\": {\"clip\": \"\\u00e9\\/\\t\\\"  \\u0041\", "
                    "\"out\": \"01:00:00;29\", \"in\": \"00:00:00:56\"},"
                    "\"register\": 9}, {\"register\": -3, " +
                    Machines +
                    ", \"trailing\": [0, 0]}\n],\r\n"
                    "\"version\":1,\"format\":\"tavrel-registers\"}\n");
    RegisterCollection registers;
    std::string fault;
    ASSERT_TRUE(parseRegisterJson(json, &registers, &fault)) << fault;
    std::string vg2;
    ASSERT_TRUE(formatRegisterFile(registers, &vg2));
    const std::string unset = "**:**:**:**,**:**:**:**,**:**:**:**,**:**:**:**,**:**:**:**,"
                              "**:**:**:**,";
    EXPECT_EQ(vg2, "-03," + unset +
                       "**:**:**:**,**:**:**:**,000,000,********,********,********,"
                       "********\r\n009,00:00:00:56,01:00:00;29," +
                       unset + "001,002,\xE9/\t\"  A,********,********,********\r\n");
}

// Malformed JSON, and JSON of another shape, is refused with the line and column.
TEST(RegisterJson, RefusalsNameTheLineAndColumn) {
    const std::string reg = "{\"register\": 7, " + Machines + ", \"trailing\": [0, 0]}";
    const std::string wire = ", \"wire\": [\"80000000\", \"80000000\", \"80000000\", \"80000000\", "
                             "\"80000000\", \"80000000\", \"80000000\", \"00000001\"]";
    const std::string withWire = reg.substr(0, reg.size() - 1) + wire + "}";
    const std::pair<std::string, std::string> cases[] = {
        {"", "Line 1, column 1: \"{\" expected."},
        {"[]", "Line 1, column 1: \"{\" expected."},
        {Start + reg + "\n]}\n{", "Line 4, column 1: the end of the text expected."},
        {Start + reg + "\n]", "Line 3, column 2: \",\" or \"}\" expected."},
        {Start + reg + ",\n" + reg + "]}",
         "Line 3, column 1 (register): register 007 is also on line 2."},
        {"{\"format\": \"tavrel-registers\", \"version\": 2, \"registers\": []}",
         "Line 1, column 43: version 1 expected."},
        {"{\"format\": \"registers\", \"version\": 1, \"registers\": []}",
         "Line 1, column 12: \"tavrel-registers\" expected."},
        {"{\"format\": \"tavrel-registers\", \"registers\": []}",
         "Line 1, column 47: the key \"version\" is missing."},
        {"{\"version\": 1, \"version\": 1}",
         "Line 1, column 16: the key \"version\" appears twice."},
        {"{\"Format\": 1}", "Line 1, column 2: \"Format\" is not a key here; the keys are "
                            "\"format\", \"version\", \"registers\"."},
        {Start + "{\"register\": 07}]}", "Line 2, column 14: a whole number from -2147483648 to "
                                         "2147483647 expected."},
        {Start + "{\"register\": 2147483648}]}",
         "Line 2, column 14: a whole number from -2147483648 to 2147483647 expected."},
        {Start + "{\"register\": 1.0}]}",
         "Line 2, column 14: a whole number from -2147483648 to 2147483647 expected."},
        {Start + "{\"register\": 1, \"trailing\": [0, 256]}]}",
         "Line 2, column 33: a whole number from 0 to 255 expected."},
        {Start + "{\"register\": 1, \"trailing\": [0]}]}", "Line 2, column 31: \",\" expected."},
        {Start + "{\"register\": 1, \"trailing\": [0, 0]}]}",
         "Line 2, column 35: the key \"A\" is missing."},
        {Start + "{\"register\": 1, \"A\": {\"in\": \"1:00:00:00\"}}]}",
         "Line 2, column 29 (A IN): \"1:00:00:00\" is not a time (HH:MM:SS:FF or **:**:**:**)."},
        {Start + "{\"register\": 1, \"B\": {\"in\": \"**:**:**:**\", \"clip\": \"x\"}}]}",
         "Line 2, column 55: the key \"out\" is missing."},
        {Start + "{\"register\": 1, \"A\": {\"clip\": \"\xC4\x80\"}}]}",
         "Line 2, column 32: a character from U+0000 to U+00FF expected."},
        {Start + "{\"register\": 1, \"A\": {\"clip\": \"\\u0100\"}}]}",
         "Line 2, column 32: a character from U+0000 to U+00FF expected."},
        {Start + "{\"register\": 1, \"A\": {\"clip\": \"\xE9\"}}]}",
         "Line 2, column 32: UTF-8 text expected."},
        {Start + "{\"register\": 1, \"A\": {\"clip\": \"a\nb\"}}]}",
         "Line 2, column 33: \"\\\"\" at the end of the string expected."},
        {Start + "{\"register\": 1, \"A\": {\"clip\": \"\\x\"}}]}",
         "Line 2, column 32: an escape (\\\" \\\\ \\/ \\b \\f \\n \\r \\t \\uXXXX) expected."},
        {Start + "{\"register\": 1, \"noClipNames\": 0}]}",
         "Line 2, column 32: true or false expected."},
        {Start + "{\"register\": 1, \"wire\": [\"8000000a\"]}]}",
         "Line 2, column 26: eight upper-case hexadecimal digits expected."},
        {Start + withWire + "]}",
         "Line 2, column 1: \"wire\" or \"noClipNames\" does not agree with the times and clip "
         "names."},
        {Start + reg.substr(0, reg.size() - 1) + ", \"noClipNames\": true}]}", ""},
        {Start + "{\"register\": 1, \"A\": {\"clip\": \"" +
             std::string(RegisterFileLineLimit, 'x') + "y\"}}]}",
         "Line 2, column 31: a string of at most 65536 bytes expected."},
    };
    for (const auto& [json, fault] : cases) {
        if (fault.empty()) { // accepted
            RegisterCollection registers;
            EXPECT_TRUE(parseRegisterJson(json, &registers)) << json;
            continue;
        }
        EXPECT_EQ(jsonFaultIn(json), fault);
    }
    const std::string named = reg.substr(0, reg.size() - 1) + ", \"noClipNames\": true}";
    EXPECT_EQ(
        jsonFaultIn(Start +
                    "{\"register\": 7, \"A\": {\"in\": \"**:**:**:**\", \"out\": "
                    "\"**:**:**:**\", \"clip\": \"NAME\"}" +
                    named.substr(named.find(", \"B\"")) + "]}"),
        "Line 2, column 1: \"wire\" or \"noClipNames\" does not agree with the times and clip "
        "names.");
    TempFolder folder;
    TempFolder::writeBytes(folder.path("bad.json"), "[]");
    RegisterCollection registers;
    TavrelError error;
    EXPECT_FALSE(readRegisterJson(folder.path("bad.json"), &registers, &error));
    EXPECT_EQ(error.description, "Error processing .json file");
    EXPECT_EQ(error.recoverySuggestion,
              "The file bad.json is malformed and could not be processed.");
    EXPECT_EQ(error.detail, "Line 1, column 1: \"{\" expected.");
}
