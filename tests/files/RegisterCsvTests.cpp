#include "RegisterCsv.h"
#include "RegisterFile.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <string>

using namespace tavrel::files;
using namespace tavrel::records;

namespace {

const std::string Unset = "**:**:**:**";
const std::string Times = "01:00:00:00,01:00:10:00,**:**:**;**,00:59:59;29," + Unset + "," + Unset +
                          ",23:59:59:24,99:99:99:99";

// A plain register file's text, and the registers of a CSV text as that file's text.
std::string vg2Of(const std::string& csv) {
    RegisterCollection registers;
    std::string fault;
    EXPECT_TRUE(parseRegisterCsv(csv, &registers, &fault)) << fault << "\n" << csv;
    std::string text;
    EXPECT_TRUE(formatRegisterFile(registers, &text));
    return text;
}

std::string csvFaultIn(const std::string& csv) {
    RegisterCollection registers;
    registers.set(1, RegisterEntry{});
    std::string fault;
    EXPECT_FALSE(parseRegisterCsv(csv, &registers, &fault)) << csv;
    EXPECT_TRUE(registers.size() == 1 && registers.find(1)) << csv;
    return fault;
}

const std::string Header = std::string(RegisterCsvHeader) + "\r\n";

} // namespace

// Every plain file comes back byte for byte through CSV: clip names with commas (clip D may hold
// them), quotes, blanks, bytes from 0x80, the no-clip name, unset and drop-frame times.
TEST(RegisterCsv, PlainFileComesBackByteForByte) {
    const std::string vg2 = "-05," + Times + ",000,000,a,b,c,\"with, comma\"\r\n" + "000," + Times +
                            ",000,255,INTRO   ,\"QUOTED\",A \"B\" C,D,E,F\r\n" + "007," + Times +
                            ",012,001,\xE9t\xE9\xFF\x80   ,********,  ,x\r\n" + "65535," + Times +
                            ",000,000,SHOT0001,SHOT0002,SHOT0003,SHOT0004\r\n";
    RegisterCollection registers;
    ASSERT_TRUE(parseRegisterFile(vg2, &registers));
    std::string csv;
    ASSERT_TRUE(formatRegisterCsv(registers, &csv));
    EXPECT_EQ(csv.substr(0, Header.size()), Header);
    EXPECT_NE(csv.find(",INTRO   ,\"\"\"QUOTED\"\"\",\"A \"\"B\"\" C\",\"D,E,F\"\r\n007,"),
              std::string::npos)
        << csv;
    EXPECT_NE(csv.find(",c,\"\"\"with, comma\"\"\"\r\n000,"), std::string::npos) << csv;
    EXPECT_EQ(vg2Of(csv), vg2);

    TempFolder folder;
    ASSERT_TRUE(writeRegisterCsv(folder.path("r.csv"), registers));
    EXPECT_EQ(TempFolder::readBytes(folder.path("r.csv")), csv);
    RegisterCollection read;
    ASSERT_TRUE(readRegisterCsv(folder.path("r.csv"), &read));
    EXPECT_TRUE(read == registers);
}

// What a spreadsheet writes back is taken as the file it came from would be.
TEST(RegisterCsv, TakesWhatASpreadsheetWritesBack) {
    const std::string line7 = "007," + Times + ",012,001,INTRO   ,********,********,********\r\n";
    const std::string line8 = "008," + Times + ",000,000,A,B,C,D\r\n";
    const std::string row7 = "7," + Times + ",12,1,INTRO   ,,,";
    const std::string row8 = "\"008\"," + Times + ",0,0,A,B,C,D";
    const std::string columns = "Clip D,Clip C,Clip B,Clip A,Trailing 2,Trailing 1,D OUT,D IN,"
                                "C OUT,C IN,B OUT,B IN,A OUT,A IN,Register";
    const std::pair<std::string, std::string> cases[] = {
        {Header + row8 + "\r\n" + row7 + "\r\n", line7 + line8},                     // any order
        {std::string(RegisterCsvHeader) + "\n" + row7 + "\n" + row8, line7 + line8}, // LF, no end
        {"\xEF\xBB\xBF" + std::string(RegisterCsvHeader) + "\r" + row7, line7},      // BOM, CR
        {Header + "\r\n,,,,,,,,,,,,,,\r\n" + row7 + "\r\n\r\n", line7}, // empty rows skipped
        {Header + "7,,,,,,,,,000,000,,,,\r\n",
         "007," + Unset + "," + Unset + "," + Unset + "," + Unset + "," + Unset + "," + Unset +
             "," + Unset + "," + Unset + ",000,000,********,********,********,********\r\n"},
        {Header + "7," + Times + ",0,0,\"        \",AB,\"a\"\"b\",\"x,y\"\r\n", // blanks: no clip
         "007," + Times + ",000,000,********,AB,a\"b,x,y\r\n"},
        {columns + "\r\nD,C,B,A,0,0,99:99:99:99,23:59:59:24,**:**:**:**,**:**:**:**,"
                   "00:59:59;29,**:**:**;**,01:00:10:00,01:00:00:00,8\r\n",
         line8},
        {Header, ""},
    };
    for (const auto& [csv, vg2] : cases) {
        EXPECT_EQ(vg2Of(csv), vg2) << csv;
    }
    // A quoted cell may span lines: the device takes any bytes, though a file cannot hold them.
    RegisterCollection registers;
    ASSERT_TRUE(parseRegisterCsv(Header + "7," + Times + ",0,0,\"two\r\nlines\",B,C,D\r\n" + row8,
                                 &registers));
    EXPECT_EQ(registers.find(7)->clips[0], "two\r\nlines");
    std::string csv;
    ASSERT_TRUE(formatRegisterCsv(registers, &csv));
    RegisterCollection again;
    ASSERT_TRUE(parseRegisterCsv(csv, &again));
    EXPECT_TRUE(again == registers);
    EXPECT_FALSE(formatRegisterFile(registers, &csv));
}

// Every refusal names the line and the column, in the words of a register file's field.
TEST(RegisterCsv, RefusalsNameTheLineAndColumn) {
    const std::string row = Times + ",0,0,A,B,C,D\r\n";
    const std::string header = "Line 1: the header must name each of the columns " +
                               std::string(RegisterCsvHeader) + " once.";
    const std::pair<std::string, std::string> cases[] = {
        {"", header},
        {"Register,A IN\r\n", header},
        {std::string(RegisterCsvHeader) + ",Clip D\r\n", header},
        {"register" + std::string(RegisterCsvHeader).substr(8) + "\r\n", header},
        {Header + "1," + row + "2,01:00:00,**:**:**:**",
         "Line 3 has 3 columns; a register's row has 15."},
        {Header + "1," + row + "x," + row,
         "Line 3, column 1 (Register): \"x\" is not a whole number."},
        {Header + "1," + row + "99999999999," + row,
         "Line 3, column 1 (Register): \"99999999999\" is out of range (-2147483648 to "
         "2147483647)."},
        {Header + "1,01:00:00:00,1:00:00:00" + row.substr(23),
         "Line 2, column 3 (A OUT): \"1:00:00:00\" is not a time (HH:MM:SS:FF or **:**:**:**)."},
        {Header + "1," + Times + ",,0,A,B,C,D\r\n", "Line 2, column 10 (Trailing 1) is empty."},
        {Header + "1,\"a\r\nb\"," + row.substr(12),
         "Line 2, column 2 (A IN): \"a\r\nb\" is not a time (HH:MM:SS:FF or **:**:**:**)."},
        {Header + "1," + row + "\r\n\"01\"," + row + "001," + row,
         "Line 4, column 1 (Register): register 001 is also on line 2."},
        {Header + "1," + row + "2,\"01:00:00:00\"x," + row,
         "Line 3, column 2: a quoted cell must end with a double quote before a comma or a line "
         "end."},
        {"\"Register,A IN" + Header.substr(13),
         "Line 1, column 1: a quoted cell must end with a double quote before a comma or a line "
         "end."},
        {Header + "1," + Times + ",0,0,A,B,C,\"D\r\n",
         "Line 2, column 15: a quoted cell must end with a double quote before a comma or a line "
         "end."},
        {Header + "1," + Times + ",0,0,A,B,C," + std::string(RegisterFileLineLimit, 'D'),
         "Line 2 is longer than 65536 bytes."},
    };
    for (const auto& [csv, fault] : cases) {
        EXPECT_EQ(csvFaultIn(csv), fault);
    }
    TempFolder folder;
    TempFolder::writeBytes(folder.path("bad.csv"), Header + "x," + row);
    RegisterCollection registers;
    TavrelError error;
    EXPECT_FALSE(readRegisterCsv(folder.path("bad.csv"), &registers, &error));
    EXPECT_EQ(error.description, "Error processing .csv file");
    EXPECT_EQ(error.recoverySuggestion,
              "The file bad.csv is malformed and could not be processed.");
    EXPECT_EQ(error.detail, "Line 2, column 1 (Register): \"x\" is not a whole number.");
}
