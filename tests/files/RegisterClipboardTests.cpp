#include "RegisterClipboardText.h"
#include "RegisterFile.h"
#include "RegisterLine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace tavrel::files;
using namespace tavrel::records;

namespace {

using Registers = std::vector<RegisterCollection::Item>;

RegisterEntry entry(std::array<std::string, 4> clips) {
    RegisterEntry made;
    for (auto member : VRG500_registerTimes) {
        made.reg.*member = {0, 0, 0, 0, 0, 1};
    }
    made.reg.inA = {1, 0, 0, 0};
    made.reg.outB = {23, 59, 59, 29, 1};
    made.reg.trailingByte2 = 12;
    made.clips = std::move(clips);
    return made;
}

const Registers Sample = {
    {7, entry({"SHOT0001", NoClipName, NoClipName, NoClipName})},
    {1234, entry({"CLIP    ", " a b", "x", "dd,ee"})}, // clip name D may hold commas
};

// Compared as a collection, which knows when two entries are the same; each number once, in
// ascending order.
RegisterCollection collectionOf(const Registers& registers) {
    RegisterCollection collection;
    for (size_t i = 0; i < registers.size(); ++i) {
        EXPECT_TRUE(i == 0 || registers[i - 1].first < registers[i].first);
        collection.set(registers[i].first, registers[i].second);
    }
    return collection;
}

// Register 7 of Sample as a spreadsheet copies it: no zero padding, trailing blanks dropped.
const std::string SpreadsheetRow = "7\t01:00:00:00\t**:**:**:**\t**:**:**:**\t23:59:59;29\t"
                                   "**:**:**:**\t**:**:**:**\t**:**:**:**\t**:**:**:**\t0\t12\t"
                                   "SHOT0001\t\t\t";

TEST(RegisterClipboard, CopiesAsFileLinesAndTabsAndReadsBoth) {
    std::string line7 = "007,01:00:00:00,**:**:**:**,**:**:**:**,23:59:59;29,**:**:**:**,"
                        "**:**:**:**,**:**:**:**,**:**:**:**,000,012,SHOT0001,********,********,"
                        "********\n";
    EXPECT_EQ(registerClipboardLines({Sample[0]}), line7);
    std::replace(line7.begin(), line7.end(), ',', '\t');
    EXPECT_EQ(registerClipboardTabs({Sample[0]}), line7);
    Registers pasted;
    ASSERT_TRUE(parseRegisterClipboard(registerClipboardLines(Sample), &pasted));
    EXPECT_EQ(collectionOf(pasted), collectionOf(Sample));
    const Registers tabbed = {Sample[0],
                              {9, entry({"CLIP    ", " a b    ", "12345678", NoClipName})}};
    ASSERT_TRUE(parseRegisterClipboard(registerClipboardTabs(tabbed), &pasted));
    EXPECT_EQ(collectionOf(pasted), collectionOf(tabbed));
}

// A byte is the character of its code in every form, and text from another program is read by
// the same rule; a field's value is one line, its blanks kept.
TEST(RegisterClipboard, CarriesEachByteAsTheCharacterOfItsCode) {
    const Registers cafe = {
        {7, entry({"Caf\xE9\x7F\x80 \xFF", NoClipName, NoClipName, NoClipName})}};
    const std::string line = registerClipboardLines(cafe);
    EXPECT_NE(line.find(",Caf\xC3\xA9\x7F\xC2\x80 \xC3\xBF,"), std::string::npos);
    for (const std::string& text : {line, registerClipboardTabs(cafe)}) {
        Registers pasted;
        ASSERT_TRUE(parseRegisterClipboard(text, &pasted));
        EXPECT_EQ(collectionOf(pasted), collectionOf(cafe));
    }
    EXPECT_EQ(clipboardFieldText("Caf\xE9"), "Caf\xC3\xA9");

    const struct {
        std::string text;
        bool field;
        std::string bytes; // "?": refused
    } values[] = {
        {" 01:02:03:04\n", true, " 01:02:03:04"},
        {"\t a b \r\n", true, " a b "},
        {"\n", true, ""},
        {"A,B", false, "A,B"},
        {"A\tB", false, "A\tB"},
        {"A\nB", false, "A\nB"},
        {"Caf\xC3\xA9", true, "Caf\xE9"},
        {"\xE2\x84\xA6", true, "?"}, // U+2126
    };
    for (const auto& [text, field, expected] : values) {
        SCOPED_TRACE(text);
        EXPECT_EQ(isClipboardField(text), field);
        std::string bytes;
        ClipboardProblem problem;
        EXPECT_EQ(parseClipboardField(text, &bytes, &problem), expected != "?");
        EXPECT_EQ(expected == "?" ? problem.character : bytes, expected == "?" ? text : expected);
    }
}

TEST(RegisterClipboard, ReadsASpreadsheetCopy) {
    // Lines out of order, register 7 twice (the later wins), CR LF, a blank row, a last line end.
    std::string row5 = SpreadsheetRow;
    row5.replace(0, 1, "5");
    row5.replace(row5.find("SHOT0001"), 8, "S1\t \tS3");
    row5.resize(row5.size() - 2);
    const std::string text = SpreadsheetRow + "\r\n" + row5 + "\r\n" +
                             registerClipboardLines({{7, entry({"LATER", "B", "C", "D"})}}) +
                             "\t\t\r\n";
    Registers pasted;
    ASSERT_TRUE(parseRegisterClipboard(text, &pasted));
    const Registers expected = {
        {5, entry({"S1      ", "********", "S3      ", NoClipName})},
        {7, entry({"LATER", "B", "C", "D"})},
    };
    EXPECT_EQ(collectionOf(pasted), collectionOf(expected));
}

TEST(RegisterClipboard, RefusesTheWholeTextAndNamesTheLine) {
    using Reason = ClipboardProblem::Reason;
    const std::string good = registerClipboardLines({Sample[0]});
    const std::string bare = good.substr(0, good.size() - 1);
    std::string badTime = good;
    badTime.replace(badTime.find("01:00:00:00"), 11, "01:00:00:0x");
    std::string longLine = good;
    longLine.insert(longLine.size() - 1, RegisterFileLineLimit, 'd');
    std::string omega = good; // U+03A9 in clip name A
    omega.replace(omega.find("SHOT0001"), 8, "SHOT\xCE\xA9");
    std::string stray = good; // 0xE9 alone begins no UTF-8 character
    stray.replace(stray.find("SHOT0001"), 8, "SHOT\xE9");
    const struct {
        std::string text;
        size_t line;
        Reason reason = Reason::NotARegister;
        std::string character = {};
        int32_t number = 0;
    } cases[] = {
        {good + "\r\n" + badTime, 3},
        {bare + "\r" + bare + "\r" + badTime, 3},
        {SpreadsheetRow.substr(0, SpreadsheetRow.size() - 1), 1}, // 14 cells
        {SpreadsheetRow + "\t", 1},                               // 16 cells
        {registerClipboardTabs({Sample[1]}), 1},                  // a comma in clip name D
        {" " + good, 1},
        {good + longLine, 2},
        {good + omega, 2, Reason::NotOneByte, "\xCE\xA9"},
        {stray, 1, Reason::NotOneByte, "\xE9"},
        {good + "65536" + good.substr(3), 2, Reason::NumberOutOfRange, {}, 65536},
        {"-1" + good.substr(3), 1, Reason::NumberOutOfRange, {}, -1},
        {"\r\n \t\n", 0},
        {std::string(RegisterClipboardLimit + 1, '\n'), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 200));
        Registers pasted = Sample;
        ClipboardProblem problem;
        EXPECT_FALSE(parseRegisterClipboard(c.text, &pasted, &problem));
        EXPECT_EQ(problem.line, c.line);
        if (c.line > 0) {
            EXPECT_EQ(problem.reason, c.reason);
            EXPECT_EQ(problem.character, c.character);
            EXPECT_EQ(problem.number, c.number);
        }
        EXPECT_EQ(collectionOf(pasted), collectionOf(Sample));
    }
    Registers edges;
    ASSERT_TRUE(parseRegisterClipboard("0" + good.substr(3) + "65535" + good.substr(3), &edges));
    EXPECT_EQ(edges.back().first, 65535);
    ClipboardProblem problem;
    EXPECT_FALSE(parseRegisterClipboard(good + longLine, nullptr, &problem));
    EXPECT_EQ(problem.text, good.substr(0, 60) + "\xE2\x80\xA6");
    EXPECT_FALSE(parseRegisterClipboard(std::string(59, 'x') + "\xC3\xA9!", nullptr, &problem));
    EXPECT_EQ(problem.text, std::string(59, 'x') + "\xE2\x80\xA6"); // never half a character
    int32_t number = 0;
    RegisterEntry read;
    EXPECT_TRUE(parseRegisterLine(bare, &number, &read));
    EXPECT_FALSE(parseRegisterLine(bare + "\r", &number, &read)); // a line end is not part of it
}

} // namespace
