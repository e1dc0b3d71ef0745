#include "MenuSettingsFile.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace {

std::string valueLines(int count, const std::string& value = "0") {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += " " + value + " \r\n";
    }
    return text;
}

const std::string Header = "2.10 \r\n";

std::string formatted(const std::string& version, const VRG500_menuData& block) {
    std::string text;
    EXPECT_TRUE(formatMenuSettingsFile(version, block, &text));
    return text;
}

TEST(MenuSettingsFileFormat, ZeroBlockIs167Characters) {
    std::string text = formatted("2.10", VRG500_menuData{});
    EXPECT_EQ(text.size(), 167u);
    EXPECT_EQ(text, Header + valueLines(32));
}

TEST(MenuSettingsFileFormat, ValuesAreSignedDecimal) {
    VRG500_menuData block{};
    block[0] = 0x05;
    block[1] = 0x7F;
    block[2] = 0x80;
    block[3] = 0xC8;
    block[4] = 0xFF;
    block[5] = 0x0A;
    block[31] = 0x64;
    EXPECT_EQ(formatted("V1  ", block), "V1   \r\n 5 \r\n 127 \r\n -128 \r\n -56 \r\n -1 \r\n"
                                        " 10 \r\n" +
                                            valueLines(25) + " 100 \r\n");
}

TEST(MenuSettingsFileFormat, VersionCopiedExactlyAndMustBeFourBytes) {
    EXPECT_EQ(formatted(" 1\t\xe9", VRG500_menuData{}).substr(0, 7), " 1\t\xe9 \r\n");
    for (const std::string& version : {""s, "2.1"s, "2.100"s, "2.10 "s, "\0\0\0"s}) {
        std::string text = "untouched";
        TavrelError error;
        EXPECT_FALSE(formatMenuSettingsFile(version, VRG500_menuData{}, &text, &error));
        EXPECT_EQ(text, "untouched");
        EXPECT_EQ(error.domain, "Tavrel");
        EXPECT_EQ(error.description, "The VRG-500 version string is not 4 chars long");
    }
}

TEST(MenuSettingsFileRoundTrip, EveryByteValueComesBack) {
    for (int first = 0; first < 256; first += 32) {
        VRG500_menuData block{};
        for (int i = 0; i < 32; ++i) {
            block[static_cast<size_t>(i)] = static_cast<uint8_t>(first + i);
        }
        std::string version;
        auto read = parseMenuSettingsFile(formatted("X9.z", block), &version);
        ASSERT_TRUE(read.has_value()) << first;
        EXPECT_EQ(*read, block);
        EXPECT_EQ(version, "X9.z");
    }
}

struct Case {
    const char* name;
    std::string text;
};

TEST(MenuSettingsFileParse, AcceptsWhatTheFormatAllows) {
    const Case cases[] = {
        {"exact file", Header + valueLines(32)},
        {"trailing line", Header + valueLines(32) + " 5 \r\n"},
        {"trailing comment", Header + valueLines(32) + "# saved on Monday"},
        {"trailing bytes without line end", Header + valueLines(32) + "x"},
        {"leading zeros", Header + valueLines(32, "007")},
        {"minus zero", Header + valueLines(32, "-0")},
        {"largest 32-bit values",
         Header + valueLines(16, "2147483647") + valueLines(16, "-2147483648")},
        {"blanks in the version", "  1  \r\n" + valueLines(32)},
    };
    for (const auto& c : cases) {
        std::string version;
        EXPECT_TRUE(parseMenuSettingsFile(c.text, &version).has_value()) << c.name;
    }
}

TEST(MenuSettingsFileParse, ValuesKeepTheirLowEightBits) {
    std::string text = Header +
                       " 300 \r\n -56 \r\n 200 \r\n -1 \r\n 2147483647 \r\n -2147483648 \r\n" +
                       valueLines(26);
    auto block = parseMenuSettingsFile(text, nullptr);
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ((*block)[0], 0x2C);
    EXPECT_EQ((*block)[1], 0xC8);
    EXPECT_EQ((*block)[2], 0xC8);
    EXPECT_EQ((*block)[3], 0xFF);
    EXPECT_EQ((*block)[4], 0xFF);
    EXPECT_EQ((*block)[5], 0x00);
}

TEST(MenuSettingsFileParse, RejectsInvalidFilesButHandsOutTheVersion) {
    const Case cases[] = {
        {"31 value lines", Header + valueLines(31)},
        {"31 lines and a partial one", Header + valueLines(31) + " 5 \r"},
        {"tab instead of blank", Header + valueLines(31) + "\t0 \r\n"},
        {"two blanks before", Header + valueLines(31) + "  0 \r\n"},
        {"two blanks after", Header + valueLines(31) + " 0  \r\n"},
        {"lone LF", Header + valueLines(31) + " 0 \n"},
        {"no blank before the line end", Header + valueLines(31) + " 0\r\n"},
        {"plus sign", Header + " +5 \r\n" + valueLines(31)},
        {"sign without digits", Header + " - \r\n" + valueLines(31)},
        {"not a number", Header + " x \r\n" + valueLines(31)},
        {"decimal point", Header + " 1.5 \r\n" + valueLines(31)},
        {"beyond 32 bits", Header + " 2147483648 \r\n" + valueLines(31)},
        {"beyond 32 bits, negative", Header + " -2147483649 \r\n" + valueLines(31)},
        {"many digits", Header + " 99999999999999999999999 \r\n" + valueLines(31)},
        {"version line with LF only", "2.10 \n" + valueLines(32)},
        {"version line without blank", "2.10\r\n" + valueLines(32)},
        {"short version", "2.1 \r\n" + valueLines(32)},
        {"only the version", "2.10"},
        {"LF line ends throughout", "2.10 \n" + std::string(32 * 4, ' ')},
    };
    for (const auto& c : cases) {
        std::string version = "none";
        TavrelError error;
        EXPECT_FALSE(parseMenuSettingsFile(c.text, &version, &error).has_value()) << c.name;
        EXPECT_EQ(version, c.text.substr(0, 4)) << c.name;
        EXPECT_EQ(error.domain, "Tavrel");
        EXPECT_EQ(error.code, 0);
        EXPECT_EQ(error.description, "Invalid .vgs file");
        EXPECT_EQ(error.recoverySuggestion.value_or(""),
                  "The .vgs file had an unrecoverable corruption error.");
        EXPECT_FALSE(error.failureReason.has_value());
    }
}

TEST(MenuSettingsFileParse, TextShorterThanTheVersionGivesNoVersion) {
    for (const std::string& text : {""s, "2"s, "2.1"s}) {
        std::string version = "none";
        TavrelError error;
        EXPECT_FALSE(parseMenuSettingsFile(text, &version, &error).has_value());
        EXPECT_EQ(version, "none");
        EXPECT_EQ(error.description, "Invalid .vgs file");
    }
}

TEST(MenuSettingsFileParse, TwoCharacterVersionTakesTheBlankAndCR) {
    std::string version;
    EXPECT_FALSE(parseMenuSettingsFile("V1 \r\n" + valueLines(32), &version).has_value());
    EXPECT_EQ(version, "V1 \r");
}

TEST(MenuSettingsFileIO, WritesAndReadsAFile) {
    TempFolder folder;
    VRG500_menuData block{};
    block[7] = 0xC8;
    TavrelError error;
    ASSERT_TRUE(writeMenuSettingsFile(folder.path("Menu Settings.vgs"), "2.10", block, &error))
        << error.description;
    EXPECT_EQ(TempFolder::readBytes(folder.path("Menu Settings.vgs")), formatted("2.10", block));
    std::string version;
    auto read = readMenuSettingsFile(folder.path("Menu Settings.vgs"), &version, &error);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, block);
    EXPECT_EQ(version, "2.10");
}

TEST(MenuSettingsFileIO, WrongVersionLengthWritesNothing) {
    TempFolder folder;
    TempFolder::writeBytes(folder.path("old.vgs"), "old");
    TavrelError error;
    EXPECT_FALSE(writeMenuSettingsFile(folder.path("old.vgs"), "2.100", {}, &error));
    EXPECT_FALSE(writeMenuSettingsFile(folder.path("new.vgs"), "", {}, &error));
    EXPECT_EQ(error.description, "The VRG-500 version string is not 4 chars long");
    EXPECT_EQ(TempFolder::readBytes(folder.path("old.vgs")), "old");
    EXPECT_EQ(folder.listing(), "old.vgs\n");
}

TEST(MenuSettingsFileIO, MissingFileGivesTheSystemsErrorAndNoVersion) {
    TempFolder folder;
    std::string version = "none";
    TavrelError error;
    EXPECT_FALSE(readMenuSettingsFile(folder.path("gone.vgs"), &version, &error).has_value());
    EXPECT_EQ(version, "none");
    EXPECT_EQ(error.domain, "POSIX");
    EXPECT_EQ(error.description, "The file \"gone.vgs\" couldn't be opened.");
}

} // namespace
