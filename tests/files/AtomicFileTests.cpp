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
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

TEST(AtomicFile, CreatesANewFileWithTheUsualMode) {
    TempFolder folder;
    mode_t old = ::umask(022);
    TavrelError error;
    ASSERT_TRUE(writeFileAtomically(folder.path("new.vg2"), "contents", &error))
        << error.description;
    ::umask(old);
    EXPECT_EQ(TempFolder::readBytes(folder.path("new.vg2")), "contents");
    EXPECT_EQ(modeOf(folder.path("new.vg2")), 0644u);
    EXPECT_EQ(folder.listing(), "new.vg2\n");
}

TEST(AtomicFile, ReplacesAnExistingFileAndKeepsItsMode) {
    TempFolder folder;
    TempFolder::writeBytes(folder.path("a.vgs"), "a much longer old content than the new one");
    ::chmod(folder.path("a.vgs").c_str(), 0640);
    ASSERT_TRUE(writeFileAtomically(folder.path("a.vgs"), "new"));
    EXPECT_EQ(TempFolder::readBytes(folder.path("a.vgs")), "new");
    EXPECT_EQ(modeOf(folder.path("a.vgs")), 0640u);
    EXPECT_EQ(folder.listing(), "a.vgs\n");
}

TEST(AtomicFile, FollowsASymbolicLink) {
    TempFolder folder;
    TempFolder::writeBytes(folder.path("real.vg2"), "old");
    ASSERT_EQ(::symlink("real.vg2", folder.path("link.vg2").c_str()), 0);
    ASSERT_TRUE(writeFileAtomically(folder.path("link.vg2"), "new"));
    EXPECT_EQ(TempFolder::readBytes(folder.path("real.vg2")), "new");
    struct stat info {};
    ASSERT_EQ(::lstat(folder.path("link.vg2").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
}

TEST(AtomicFile, PipeIsWrittenNotReplaced) {
    // A target that is no regular file (a pipe here, a device such as /dev/stdout in use) is
    // written to; renaming over it would remove the node itself.
    TempFolder folder;
    std::string fifo = folder.path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_TRUE(checkFileWritable(fifo));
    TavrelError error;
    ASSERT_TRUE(writeFileAtomically(fifo, "through", &error)) << error.description;
    char buffer[16] = {};
    EXPECT_EQ(::read(reader, buffer, sizeof buffer), 7);
    EXPECT_EQ(std::string(buffer), "through");
    ::close(reader);
    struct stat info {};
    ASSERT_EQ(::lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(folder.listing(), "pipe\n");
}

TEST(AtomicFile, WriteThatFailsHalfwayLeavesTheOldFile) {
    // A file size limit makes the write itself fail part way, even for root.
    TempFolder folder;
    TempFolder::writeBytes(folder.path("keep.vg2"), "the old, complete file");
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    TavrelError error;
    bool written = writeFileAtomically(folder.path("keep.vg2"), std::string(5000, 'x'), &error);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(TempFolder::readBytes(folder.path("keep.vg2")), "the old, complete file");
    EXPECT_EQ(folder.listing(), "keep.vg2\n");
    EXPECT_EQ(error.domain, "POSIX");
    EXPECT_EQ(error.code, EFBIG);
    EXPECT_EQ(error.description, "The file \"keep.vg2\" couldn't be saved.");
    EXPECT_EQ(error.failureReason.value_or(""), "File too large");
}

TEST(AtomicFile, UnwritableFolderLeavesTheOldFile) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "folder permissions do not bind root";
    }
    TempFolder folder;
    TempFolder::writeBytes(folder.path("keep.vg2"), "old");
    ::chmod(folder.path().c_str(), 0555);
    TavrelError error;
    EXPECT_FALSE(writeFileAtomically(folder.path("keep.vg2"), "new", &error));
    ::chmod(folder.path().c_str(), 0755);
    EXPECT_EQ(TempFolder::readBytes(folder.path("keep.vg2")), "old");
    EXPECT_EQ(error.code, EACCES);
    EXPECT_EQ(error.failureReason.value_or(""), "Permission denied");
}

TEST(AtomicFile, FailuresNameTheFileAndTheCause) {
    TempFolder folder;
    ::mkdir(folder.path("folder.vg2").c_str(), 0755);
    struct Case {
        std::string path;
        int code;
        const char* description;
    } cases[] = {
        {folder.path("missing/x.vg2"), ENOENT, "The file \"x.vg2\" couldn't be saved."},
        {folder.path("folder.vg2"), EISDIR, "The file \"folder.vg2\" couldn't be saved."},
    };
    for (const auto& c : cases) {
        TavrelError error;
        EXPECT_FALSE(writeFileAtomically(c.path, "x", &error)) << c.path;
        EXPECT_EQ(error.code, c.code) << c.path;
        EXPECT_EQ(error.description, c.description);
        EXPECT_TRUE(error.failureReason.has_value());
    }
    EXPECT_EQ(folder.listing(), "folder.vg2\n");
}

TEST(AtomicFile, CheckingWritabilityChangesNothing) {
    TempFolder folder;
    TempFolder::writeBytes(folder.path("old.vg2"), "old");
    ::mkdir(folder.path("sub").c_str(), 0755);
    EXPECT_TRUE(checkFileWritable(folder.path("old.vg2")));
    EXPECT_TRUE(checkFileWritable(folder.path("new.vg2")));
    TavrelError error;
    EXPECT_FALSE(checkFileWritable(folder.path("sub"), &error));
    EXPECT_EQ(error.code, EISDIR);
    EXPECT_FALSE(checkFileWritable(folder.path("none/new.vg2"), &error));
    EXPECT_EQ(error.code, ENOENT);
    EXPECT_EQ(TempFolder::readBytes(folder.path("old.vg2")), "old");
    EXPECT_EQ(folder.listing(), "old.vg2\nsub\n");
}

TEST(AtomicFile, ReadsWholeFilesAndReportsFailures) {
    TempFolder folder;
    std::string big(300000, '\0');
    for (size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<char>(i * 7);
    }
    TempFolder::writeBytes(folder.path("big"), big);
    std::string read = "old";
    ASSERT_TRUE(readWholeFile(folder.path("big"), &read));
    EXPECT_EQ(read, big);
    ASSERT_TRUE(readWholeFile("/proc/self/cmdline", &read)); // reports size 0, has bytes
    EXPECT_FALSE(read.empty());

    read = "old";
    TavrelError error;
    EXPECT_FALSE(readWholeFile(folder.path(), &read, &error));
    EXPECT_EQ(error.code, EISDIR);
    EXPECT_FALSE(readWholeFile(folder.path("none"), &read, &error));
    EXPECT_EQ(error.code, ENOENT);
    EXPECT_EQ(error.description, "The file \"none\" couldn't be opened.");
    EXPECT_EQ(read, "old");
}

} // namespace
