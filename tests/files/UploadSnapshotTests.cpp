#include "FileError.h"
#include "RegisterFile.h"
#include "TempFolder.h"
#include "UploadSnapshot.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

using namespace tavrel::files;
using namespace tavrel::records;

namespace {

constexpr std::time_t Taken = 1796684294; // 2026-12-07 22:58:14 UTC

class UploadSnapshot : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
        registers.set(7, RegisterEntry{});
        registers.set(9, RegisterEntry{});
    }
    std::string write(std::time_t now, const std::string& port = "/dev/ttyUSB0", size_t keep = 50) {
        SnapshotInfo info;
        TavrelError error;
        EXPECT_TRUE(
            writeUploadSnapshot(snapshots, port, {7, 9}, registers, &info, &error, keep, now))
            << error.description;
        return fileDisplayName(info.path);
    }

    TempFolder folder;
    std::string snapshots = folder.path("made/snapshots");
    RegisterCollection registers;
};

TEST_F(UploadSnapshot, NamesTellTimePortAndRangeAndNoneIsReplaced) {
    EXPECT_EQ(write(Taken), "2026-12-07 22.58.14 ttyUSB0 007-009.vg2");
    EXPECT_EQ(write(Taken, "/dev/serial/by-id/usb-FTDI:if00 x\xe9"),
              "2026-12-07 22.58.14 usb-FTDI_if00_x_ 007-009.vg2");
    EXPECT_EQ(write(Taken), "2026-12-07 22.58.14 ttyUSB0 007-009 (2).vg2");
    EXPECT_EQ(write(Taken), "2026-12-07 22.58.14 ttyUSB0 007-009 (3).vg2");
    EXPECT_EQ(write(Taken + 1), "2026-12-07 22.58.15 ttyUSB0 007-009.vg2");
    RegisterCollection read;
    ASSERT_TRUE(readRegisterFile(snapshots + "/2026-12-07 22.58.14 ttyUSB0 007-009.vg2", &read));
    EXPECT_TRUE(read == registers);

    // Left out of the list: a file that does not read, names not of the snapshot form.
    for (const char* name : {"2026-12-07 23:00:00 bad 000-001.vg2", "2026-12-07 22.58.14 x 9-9.vg2",
                             "2026-12-07 22.58.14 x 001-000.vg2", "notes.vg2"}) {
        TempFolder::writeBytes(snapshots + "/" + name, "");
    }
    TempFolder::writeBytes(snapshots + "/2026-12-08 00.00.00 bad 000-001.vg2", "not registers");
    std::string listed;
    for (const SnapshotInfo& info : listUploadSnapshots(snapshots)) {
        listed += info.when + " " + info.port + " " + std::to_string(info.range.first) + "-" +
                  std::to_string(info.range.last) + " " + std::to_string(info.registers) + " " +
                  fileDisplayName(info.path) + "\n";
    }
    EXPECT_EQ(listed,
              "2026-12-07 22:58:15 ttyUSB0 7-9 2 2026-12-07 22.58.15 ttyUSB0 007-009.vg2\n"
              "2026-12-07 22:58:14 ttyUSB0 7-9 2 2026-12-07 22.58.14 ttyUSB0 007-009 (3).vg2\n"
              "2026-12-07 22:58:14 ttyUSB0 7-9 2 2026-12-07 22.58.14 ttyUSB0 007-009 (2).vg2\n"
              "2026-12-07 22:58:14 usb-FTDI_if00_x_ 7-9 2 2026-12-07 22.58.14 "
              "usb-FTDI_if00_x_ 007-009.vg2\n"
              "2026-12-07 22:58:14 ttyUSB0 7-9 2 2026-12-07 22.58.14 ttyUSB0 007-009.vg2\n");
    EXPECT_TRUE(listUploadSnapshots(folder.path("none")).empty());
}

TEST_F(UploadSnapshot, KeepsTheNewestAndTouchesNothingElse) {
    ASSERT_EQ(write(Taken), "2026-12-07 22.58.14 ttyUSB0 007-009.vg2");
    TempFolder::writeBytes(snapshots + "/notes.txt", "mine");
    TempFolder::writeBytes(snapshots + "/2026-12-01 00.00.00 ttyUSB0 007-009.txt", "mine");
    for (std::time_t second = 1; second < 52; ++second) {
        write(Taken + second);
    }
    std::vector<SnapshotInfo> kept = listUploadSnapshots(snapshots);
    ASSERT_EQ(kept.size(), 50u);
    EXPECT_EQ(kept.front().when, "2026-12-07 22:59:05");
    EXPECT_EQ(kept.back().when, "2026-12-07 22:58:16"); // :14 and :15 went
    for (const char* mine : {"/notes.txt", "/2026-12-01 00.00.00 ttyUSB0 007-009.txt"}) {
        EXPECT_EQ(TempFolder::readBytes(snapshots + mine), "mine");
    }
    // Named older than every other one (a clock set back), the newest written all the same. The
    // others are made an hour old, as the file system's clock may not tick between two writes.
    for (const SnapshotInfo& info : kept) {
        const timespec hourAgo[2] = {{std::time(nullptr) - 3600, 0},
                                     {std::time(nullptr) - 3600, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, info.path.c_str(), hourAgo, 0), 0);
    }
    EXPECT_EQ(write(Taken - 60, "ttyUSB0", 3), "2026-12-07 22.57.14 ttyUSB0 007-009.vg2");
    kept = listUploadSnapshots(snapshots);
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0].when, "2026-12-07 22:57:14");
    EXPECT_EQ(kept[1].when, "2026-12-07 22:59:05");
}

TEST_F(UploadSnapshot, FailureLeavesNothingBehind) {
    TempFolder::writeBytes(folder.path("file"), "");
    RegisterCollection unwritable;
    RegisterEntry comma;
    comma.clips[0] = "A,B";
    unwritable.set(1, comma);
    // The folder, the registers, the failure reason.
    const std::tuple<std::string, const RegisterCollection*, const char*> cases[] = {
        {folder.path("file/snapshots"), &registers, "Not a directory"},
        {folder.path("file"), &registers, "Not a directory"},
        {folder.path("new/deeper"), &unwritable, nullptr},
    };
    for (const auto& [path, written, reason] : cases) {
        TavrelError error;
        EXPECT_FALSE(
            writeUploadSnapshot(path, "ttyS0", {0, 9}, *written, nullptr, &error, 50, Taken));
        EXPECT_EQ(error.failureReason.value_or(""), reason ? reason : "") << path;
        EXPECT_FALSE(error.description.empty());
        EXPECT_EQ(folder.listing(), "file\n") << path;
    }
}

} // namespace
