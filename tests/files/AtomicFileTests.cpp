#include "AtomicFile.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <mutex>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace tavrel::files;
using namespace tavrel::records;

namespace {

mode_t modeOf(const std::string& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info.st_mode;
}

struct stat statOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info;
}

// "ok", or the error's code and failure reason: what a save or a check of `path` gives.
std::string outcome(bool done, const TavrelError& error) {
    return done ? "ok" : std::to_string(error.code) + " " + error.failureReason.value_or("");
}

std::string saveOutcome(const std::string& path, const std::string& contents = "new") {
    TavrelError error;
    bool inPlace = false;
    bool saved = writeFileAtomically(path, contents, &error, &inPlace);
    return outcome(saved, error) + (saved && inPlace ? " in place" : "");
}

std::string checkOutcome(const std::string& path) {
    TavrelError error;
    return outcome(checkFileWritable(path, &error), error);
}

constexpr uid_t Nobody = 65534;

// Runs `body` in a child process as the user nobody, without root's rights over files, and
// returns what it returns; nothing when this process cannot change its user.
std::optional<std::string> asNobody(const std::function<std::string()>& body) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return std::nullopt;
    }
    pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        bool dropped = ::setgroups(0, nullptr) == 0 && ::setresgid(Nobody, Nobody, Nobody) == 0 &&
                       ::setresuid(Nobody, Nobody, Nobody) == 0;
        std::string result = dropped ? body() : "";
        ssize_t ignored = ::write(pipeFds[1], result.data(), result.size());
        (void)ignored;
        ::_exit(dropped ? 0 : 1);
    }
    ::close(pipeFds[1]);
    std::string result;
    char buffer[256];
    for (ssize_t got; (got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;) {
        result.append(buffer, size_t(got));
    }
    ::close(pipeFds[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return result;
}

TEST(AtomicFile, LinksAreResolvedByTheKernel) {
    TempFolder folder;
    ASSERT_EQ(::mkdir(folder.path("a").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(folder.path("b").c_str(), 0755), 0);
    TempFolder::writeBytes(folder.path("b/real.vg2"), "a much longer old content");
    ::chmod(folder.path("b/real.vg2").c_str(), 0640);
    const std::pair<std::string, std::string> links[] = {
        {"a/far.vg2", "../b/real.vg2"},
        {"a/dangling.vg2", "../b/made.vg2"},
        {"loop1", "loop2"},
        {"loop2", "loop1"},
        {"a/nowhere.vg2", "none/x"},
    };
    for (const auto& [link, target] : links) {
        ASSERT_EQ(::symlink(target.c_str(), folder.path(link).c_str()), 0);
    }
    mode_t umask = ::umask(022);
    ::umask(umask);
    const std::string loop = std::to_string(ELOOP) + " Too many levels of symbolic links";
    const std::string missing = std::to_string(ENOENT) + " No such file or directory";
    const std::pair<std::string, std::string> cases[] = {{"a/far.vg2", "ok"},
                                                         {"a/dangling.vg2", "ok"},
                                                         {"b/new.vg2", "ok"},
                                                         {"loop1", loop},
                                                         {"a/nowhere.vg2", missing}};
    for (const auto& [name, expected] : cases) {
        EXPECT_EQ(checkOutcome(folder.path(name)), expected) << name;
        EXPECT_EQ(saveOutcome(folder.path(name)), expected) << name;
    }
    EXPECT_EQ(TempFolder::readBytes(folder.path("b/real.vg2")), "new");
    EXPECT_EQ(modeOf(folder.path("b/real.vg2")), S_IFREG | 0640u); // kept
    EXPECT_EQ(TempFolder::readBytes(folder.path("b/made.vg2")), "new");
    EXPECT_EQ(modeOf(folder.path("b/made.vg2")), S_IFREG | (0666u & ~umask));
    EXPECT_EQ(modeOf(folder.path("b/new.vg2")), S_IFREG | (0666u & ~umask));
    for (const auto& [link, target] : links) {
        EXPECT_TRUE(S_ISLNK(modeOf(folder.path(link)))) << link;
    }
    EXPECT_EQ(TempFolder::listing(folder.path("b")), "made.vg2\nnew.vg2\nreal.vg2\n");
}

TEST(AtomicFile, OpenDescriptorsAreWrittenAtTheirPosition) {
    // The shell opened them as asked (">>" appends, ">" truncated already): nothing is replaced.
    TempFolder folder;
    TempFolder::writeBytes(folder.path("log"), "log\n");
    TempFolder::writeBytes(folder.path("seek"), "abcdefghij");
    int appending = ::open(folder.path("log").c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    int positioned = ::open(folder.path("seek").c_str(), O_WRONLY | O_CLOEXEC);
    int readOnly = ::open(folder.path("seek").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(::lseek(positioned, 3, SEEK_SET), 0);
    int savedOut = ::dup(STDOUT_FILENO);
    std::fflush(stdout);
    ::dup2(appending, STDOUT_FILENO);
    const std::string fd = "/dev/fd/", self = "/proc/self/fd/";
    const std::string badDescriptor = std::to_string(EBADF) + " Bad file descriptor";
    const std::pair<std::string, std::string> cases[] = {
        {fd + std::to_string(appending), "ok"},
        {self + std::to_string(positioned), "ok"},
        {"/dev/stdout", "ok"},
        {fd + std::to_string(readOnly), badDescriptor},
        {self + std::to_string(999), badDescriptor},
    };
    std::vector<std::string> results;
    for (const auto& [path, expected] : cases) {
        results.push_back(checkOutcome(path));
        results.push_back(saveOutcome(path, "+"));
    }
    std::fflush(stdout);
    ::dup2(savedOut, STDOUT_FILENO);
    for (int open : {savedOut, appending, positioned, readOnly}) {
        ::close(open);
    }
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(results[2 * i], cases[i].second) << cases[i].first;
        EXPECT_EQ(results[2 * i + 1], cases[i].second) << cases[i].first;
    }
    EXPECT_EQ(TempFolder::readBytes(folder.path("log")), "log\n++");
    EXPECT_EQ(TempFolder::readBytes(folder.path("seek")), "abc+efghij");
    EXPECT_EQ(folder.listing(), "log\nseek\n");
}

TEST(AtomicFile, FilesThatCannotBeReplacedAreWrittenInPlace) {
    // Another hard link, another owner: a new file would cut the link off or change the owner.
    TempFolder folder;
    TempFolder::writeBytes(folder.path("linked"), "a longer old content");
    ASSERT_EQ(::link(folder.path("linked").c_str(), folder.path("other name").c_str()), 0);
    TempFolder::writeBytes(folder.path("theirs"), "a longer old content");
    ASSERT_EQ(::chown(folder.path("theirs").c_str(), Nobody, Nobody), 0);
    for (const char* name : {"linked", "theirs"}) {
        ino_t inode = statOf(folder.path(name)).st_ino;
        EXPECT_EQ(checkOutcome(folder.path(name)), "ok");
        EXPECT_EQ(saveOutcome(folder.path(name)), "ok in place") << name;
        EXPECT_EQ(statOf(folder.path(name)).st_ino, inode) << name;
        EXPECT_EQ(TempFolder::readBytes(folder.path(name)), "new") << name;
    }
    EXPECT_EQ(TempFolder::readBytes(folder.path("other name")), "new");
    EXPECT_EQ(statOf(folder.path("theirs")).st_uid, Nobody);
    EXPECT_EQ(folder.listing(), "linked\nother name\ntheirs\n");
}

TEST(AtomicFile, WhatTheUserMayNotWriteIsRefusedAndSaidSo) {
    TempFolder folder;
    ::chmod(folder.path().c_str(), 0755);
    ASSERT_EQ(::mkdir(folder.path("mine").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(folder.path("locked").c_str(), 0755), 0);
    ASSERT_EQ(::chown(folder.path("mine").c_str(), Nobody, Nobody), 0);
    for (const char* name : {"mine/readonly.vgs", "locked/writable.vgs"}) {
        TempFolder::writeBytes(folder.path(name), "old");
        ASSERT_EQ(::chown(folder.path(name).c_str(), Nobody, Nobody), 0);
    }
    ::chmod(folder.path("mine/readonly.vgs").c_str(), 0444);
    const std::string denied = std::to_string(EACCES) + " Permission denied";
    const std::pair<std::string, std::string> cases[] = {
        {"mine/readonly.vgs", denied},
        {"locked/writable.vgs", "ok in place"},
        {"locked/new.vgs",
         std::to_string(EACCES) + " The folder " + folder.path("locked") + " is not writable."},
    };
    auto results = asNobody([&] {
        std::string text;
        for (const auto& [name, expected] : cases) {
            text += checkOutcome(folder.path(name)) + "|" + saveOutcome(folder.path(name)) + "\n";
        }
        return text;
    });
    if (!results) {
        GTEST_SKIP() << "cannot run as the user nobody here";
    }
    std::string expected;
    for (const auto& [name, outcome] : cases) {
        expected += (outcome == "ok in place" ? "ok" : outcome) + "|" + outcome + "\n";
    }
    EXPECT_EQ(*results, expected);
    EXPECT_EQ(TempFolder::readBytes(folder.path("mine/readonly.vgs")), "old");
    EXPECT_EQ(TempFolder::readBytes(folder.path("locked/writable.vgs")), "new");
    EXPECT_EQ(TempFolder::listing(folder.path("mine")), "readonly.vgs\n");
    EXPECT_EQ(TempFolder::listing(folder.path("locked")), "writable.vgs\n");
}

TEST(AtomicFile, NamesOfAnyAllowedLengthCanBeSaved) {
    TempFolder folder;
    for (size_t length : {241, 255}) {
        std::string name = folder.path(std::string(length - 4, 'n') + ".vg2");
        EXPECT_EQ(saveOutcome(name, "first"), "ok") << length;  // created
        EXPECT_EQ(saveOutcome(name, "second"), "ok") << length; // replaced
        EXPECT_EQ(TempFolder::readBytes(name), "second");
    }
}

TEST(AtomicFile, OpenInterruptedBySignalFails) {
    // Ctrl-C while a FIFO waits for its reader must end the save, not restart the open.
    TempFolder folder;
    std::string fifo = folder.path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct sigaction action {
    }, saved{};
    action.sa_handler = [](int) {};
    ASSERT_EQ(::sigaction(SIGALRM, &action, &saved), 0); // no SA_RESTART
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    // Should the open be retried, a reader arrives after a while so that the test ends.
    std::thread rescuer([&] {
        std::unique_lock lock(mutex);
        if (!finished.wait_for(lock, std::chrono::seconds(5), [&] { return done; })) {
            ::close(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        }
    });
    struct itimerval once {};
    once.it_value.tv_usec = 100000;
    ::setitimer(ITIMER_REAL, &once, nullptr);
    std::string result = saveOutcome(fifo);
    {
        std::lock_guard lock(mutex);
        done = true;
    }
    finished.notify_one();
    rescuer.join();
    ::sigaction(SIGALRM, &saved, nullptr);
    EXPECT_EQ(result, std::to_string(EINTR) + " Interrupted system call");
}

TEST(AtomicFile, PipeIsWrittenNotReplaced) {
    // Renaming over a pipe or a device (-o /dev/stdout) would remove the node itself.
    TempFolder folder;
    std::string fifo = folder.path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Checked without opening: that would wait for a reader, and end a reader's input.
    EXPECT_EQ(checkOutcome(fifo), "ok");
    EXPECT_EQ(checkOutcome("/dev/null"), "ok");
    EXPECT_EQ(checkOutcome(folder.path()), std::to_string(EISDIR) + " Is a directory");
    int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
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
    ASSERT_EQ(readFileUpTo("/proc/self/cmdline", 4096, &read), BoundedRead::Read);
    EXPECT_EQ(read.substr(0, read.find('\0')), ::program_invocation_name);
}

} // namespace
