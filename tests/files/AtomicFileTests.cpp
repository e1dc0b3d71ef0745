#include "AtomicFile.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

mode_t modeOf(const std::string& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info.st_mode;
}

TEST(AtomicFile, ReplacesFilesKeepingModesAndLinks) {
    TempFolder folder;
    TempFolder::writeBytes(folder.path("old.vgs"), "a much longer old content than the new one");
    ::chmod(folder.path("old.vgs").c_str(), 0640);
    ASSERT_EQ(::symlink("old.vgs", folder.path("link.vgs").c_str()), 0);
    mode_t umask = ::umask(022);
    EXPECT_TRUE(writeFileAtomically(folder.path("new.vg2"), "contents"));
    ::umask(umask);
    EXPECT_TRUE(writeFileAtomically(folder.path("link.vgs"), "new"));

    EXPECT_EQ(TempFolder::readBytes(folder.path("new.vg2")), "contents");
    EXPECT_EQ(modeOf(folder.path("new.vg2")), S_IFREG | 0644u);
    EXPECT_EQ(TempFolder::readBytes(folder.path("old.vgs")), "new");
    EXPECT_EQ(modeOf(folder.path("old.vgs")), S_IFREG | 0640u);
    EXPECT_TRUE(S_ISLNK(modeOf(folder.path("link.vgs"))));
    EXPECT_EQ(folder.listing(), "link.vgs\nnew.vg2\nold.vgs\n");
}

TEST(AtomicFile, PipeIsWrittenNotReplaced) {
    // Renaming over a pipe or a device (-o /dev/stdout) would remove the node itself.
    TempFolder folder;
    std::string fifo = folder.path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_TRUE(checkFileWritable(fifo));
    ASSERT_TRUE(writeFileAtomically(fifo, "through"));
    char buffer[16] = {};
    EXPECT_EQ(::read(reader, buffer, sizeof buffer), 7);
    EXPECT_EQ(std::string(buffer), "through");
    ::close(reader);
    EXPECT_TRUE(S_ISFIFO(modeOf(fifo)));
    EXPECT_EQ(folder.listing(), "pipe\n");
}

TEST(AtomicFile, WriteThatFailsHalfwayLeavesTheOldFile) {
    // A file size limit makes the write itself fail part way, even for root.
    TempFolder folder;
    TempFolder::writeBytes(folder.path("keep.vg2"), "the old, complete file");
    std::signal(SIGXFSZ, SIG_IGN); // the write fails with EFBIG instead
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    TavrelError error;
    bool written = writeFileAtomically(folder.path("keep.vg2"), std::string(5000, 'x'), &error);
    ::setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_FALSE(written);
    EXPECT_EQ(TempFolder::readBytes(folder.path("keep.vg2")), "the old, complete file");
    EXPECT_EQ(folder.listing(), "keep.vg2\n");
    EXPECT_EQ(error.code, EFBIG);
    EXPECT_EQ(error.description, "The file \"keep.vg2\" couldn't be saved.");
    EXPECT_EQ(error.failureReason.value_or(""), "File too large");
}

TEST(AtomicFile, ReadsFilesThatReportNoSize) {
    std::string read;
    ASSERT_TRUE(readWholeFile("/proc/self/cmdline", &read));
    EXPECT_EQ(read.substr(0, read.find('\0')), ::program_invocation_name);
}

} // namespace
