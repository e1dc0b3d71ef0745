#include "MenuSettingsFile.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <numeric>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace tavrel::files;
using namespace tavrel::records;

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

TEST(MenuSettingsFile, WritesSignedValuesAndReadsEveryByteBack) {
    std::string text;
    ASSERT_TRUE(formatMenuSettingsFile("2.10", VRG500_menuData{}, &text));
    EXPECT_EQ(text.size(), 167u);
    VRG500_menuData block{};
    block = {0x05, 0x7F, 0x80, 0xC8, 0xFF, 0x0A};
    block[31] = 0x64;
    ASSERT_TRUE(formatMenuSettingsFile(" 1\t\xe9", block, &text));
    EXPECT_EQ(text, " 1\t\xe9 \r\n 5 \r\n 127 \r\n -128 \r\n -56 \r\n -1 \r\n 10 \r\n" +
                        valueLines(25) + " 100 \r\n");

    TempFolder folder;
    for (int first = 0; first < 256; first += 32) {
        std::iota(block.begin(), block.end(), static_cast<uint8_t>(first));
        TavrelError error;
        ASSERT_TRUE(writeMenuSettingsFile(folder.path("m.vgs"), "X9.z", block, &error))
            << error.description;
        std::string version;
        auto read = readMenuSettingsFile(folder.path("m.vgs"), &version);
        ASSERT_TRUE(read.has_value()) << first;
        EXPECT_EQ(*read, block);
        EXPECT_EQ(version, "X9.z");
    }
}

TEST(MenuSettingsFile, VersionNotFourCharactersLongIsRefused) {
    TempFolder folder;
    TempFolder::writeBytes(folder.path("old.vgs"), "old");
    for (const std::string& version : {""s, "2.1"s, "2.100"s, "2.10 "s}) {
        TavrelError error;
        EXPECT_FALSE(writeMenuSettingsFile(folder.path("old.vgs"), version, {}, &error));
        EXPECT_FALSE(writeMenuSettingsFile(folder.path("new.vgs"), version, {}));
        EXPECT_EQ(error.domain, "Tavrel");
        EXPECT_EQ(error.description, "The VRG-500 version string is not 4 chars long");
    }
    EXPECT_EQ(TempFolder::readBytes(folder.path("old.vgs")), "old");
    EXPECT_EQ(folder.listing(), "old.vgs\n");
}

TEST(MenuSettingsFile, AcceptsTrailingTextAndKeepsTheLowEightBits) {
    for (const std::string& trailing : {""s, " 5 \r\n"s, "# saved on Monday"s, "x"s}) {
        EXPECT_TRUE(parseMenuSettingsFile(Header + valueLines(32) + trailing, nullptr).has_value())
            << trailing;
    }
    auto block = parseMenuSettingsFile(
        "  1  \r\n 300 \r\n -56 \r\n 200 \r\n 2147483647 \r\n -2147483648 \r\n 007 \r\n -0 \r\n" +
            valueLines(25),
        nullptr);
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ(std::vector<uint8_t>(block->begin(), block->begin() + 6),
              (std::vector<uint8_t>{0x2C, 0xC8, 0xC8, 0xFF, 0x00, 0x07}));
}

TEST(MenuSettingsFile, RejectsInvalidFilesButHandsOutTheVersion) {
    // Texts too short; version lines other than 4 characters and a blank before CR LF.
    std::vector<std::string> rejected = {"", "2.1", "2.10"};
    for (const char* versionLine : {"2.10 \n", "2.10\r\n", "V1 \r\n"}) {
        rejected.push_back(versionLine + valueLines(32));
    }
    // 31 value lines, then one that is partial, has a tab, two blanks, a lone LF, no blank.
    for (const char* last : {"", " 5 \r", "\t0 \r\n", "  0 \r\n", " 0  \r\n", " 0 \n", " 0\r\n"}) {
        rejected.push_back(Header + valueLines(31) + last);
    }
    // Values that are not a signed 32-bit decimal number.
    for (const char* first : {" +5 ", " - ", " 1.5 ", " 2147483648 ", " -2147483649 "}) {
        rejected.push_back(Header + first + "\r\n" + valueLines(31));
    }
    for (const auto& text : rejected) {
        std::string version = "none";
        TavrelError error;
        EXPECT_FALSE(parseMenuSettingsFile(text, &version, &error).has_value()) << text;
        EXPECT_EQ(version, text.size() < 4 ? "none" : text.substr(0, 4)) << text;
        EXPECT_EQ(error.domain, "Tavrel");
        EXPECT_EQ(error.description, "Invalid .vgs file");
        EXPECT_EQ(error.recoverySuggestion.value_or(""),
                  "The .vgs file had an unrecoverable corruption error.");
    }
}

TEST(MenuSettingsFile, LargerInputIsRefusedBeforeItIsReadWhole) {
    std::signal(SIGPIPE, SIG_IGN); // the feeding thread's reader gives up early
    TempFolder folder;
    const std::string valid = Header + valueLines(32);
    std::string atLimit = valid;
    atLimit.resize(MenuSettingsFileLimit, 'x');
    TempFolder::writeBytes(folder.path("limit.vgs"), atLimit);
    TempFolder::writeBytes(folder.path("over.vgs"), atLimit + "x");
    ASSERT_EQ(::mkfifo(folder.path("pipe.vgs").c_str(), 0600), 0);
    std::string endless;
    while (endless.size() < (1 << 20)) {
        endless += valid;
    }
    std::thread feeder = TempFolder::feedFifo(folder.path("pipe.vgs"), endless);
    EXPECT_TRUE(readMenuSettingsFile(folder.path("limit.vgs"), nullptr).has_value());
    for (std::string path : {folder.path("over.vgs"), folder.path("pipe.vgs"), "/dev/zero"s}) {
        TavrelError error;
        EXPECT_FALSE(readMenuSettingsFile(path, nullptr, &error).has_value()) << path;
        EXPECT_EQ(error.domain, "Tavrel");
        EXPECT_EQ(error.description, "Invalid .vgs file");
        EXPECT_EQ(error.recoverySuggestion.value_or(""),
                  "The file " + path.substr(path.rfind('/') + 1) +
                      " is too large to be a menu settings file.");
    }
    feeder.join();
}

} // namespace
