// The words shown to a person whose port would not open, one text per cause, the same for the
// application and tavrelctl. Permission problems are told against the real owner, group and mode
// of files and a pty the test makes.
#include "OpenFailure.h"
#include "../files/TempFolder.h"
#include "PseudoTerminal.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tavrel::link;
using namespace tavrel::sim;

namespace {

const std::string GoneAdvice = " is gone: its adapter may have been unplugged. Plug it in again "
                               "and choose the port.";
const std::string DialoutAdvice =
    ". Add your account to the \"dialout\" group (for example: sudo usermod -aG dialout $USER), "
    "then log out and log in again.";

std::string ownName() {
    const passwd* entry = ::getpwuid(::geteuid());
    return entry ? entry->pw_name : std::to_string(::geteuid());
}

// Gives `path` to `group` with `mode`; false when this account may not.
bool setGroupAndMode(const std::string& path, const char* group, mode_t mode) {
    const struct group* entry = ::getgrnam(group);
    return entry && ::chown(path.c_str(), static_cast<uid_t>(-1), entry->gr_gid) == 0 &&
           ::chmod(path.c_str(), mode) == 0;
}

TEST(OpenFailure, ExplainsEachCause) {
    const std::string port = "/dev/ttyUSB0";
    const std::pair<int, std::string> cases[] = {
        {EBUSY, "Another program is using the serial port /dev/ttyUSB0. Quit that program, or "
                "choose another port, and try again."},
        {ENOENT, "The serial port " + port + GoneAdvice},
        {ENODEV, "The serial port " + port + GoneAdvice},
        {ENXIO, "The serial port " + port + GoneAdvice},
        {EIO, "The serial port " + port + GoneAdvice},
        {ENOTTY, "/dev/ttyUSB0 is not a serial port. Choose another port and try again."},
        {EISDIR, "The serial port /dev/ttyUSB0 could not be opened: " +
                     std::string(std::strerror(EISDIR)) + "."},
        {0, "The serial port /dev/ttyUSB0 could not be opened."},
    };
    for (const auto& [errorNumber, text] : cases) {
        SCOPED_TRACE(errorNumber);
        EXPECT_EQ(explainOpenFailure(port, errorNumber), text);
    }
}

// The dialout advice only where the dialout group owns the device; elsewhere the owning group is
// named and the advice is to ask for access.
TEST(OpenFailure, PermissionDeniedNamesOwnerGroupAndMode) {
    TempFolder folder;
    const std::string file = folder.path("ttyS9");
    std::ofstream(file).put('\0');
    if (!setGroupAndMode(file, "dialout", 0660)) {
        GTEST_SKIP() << "cannot give a file to the dialout group";
    }
    const std::string owner = ownName();
    const std::string dialout = "Your account lacks permission to use the serial port: " + file +
                                " belongs to " + owner + ", group dialout, mode -rw-rw----" +
                                DialoutAdvice;
    EXPECT_EQ(explainOpenFailure(file, EACCES), dialout);
    EXPECT_EQ(explainOpenFailure(file, EPERM), dialout);

    PseudoTerminal pty;
    std::string reason;
    ASSERT_TRUE(pty.open(&reason)) << reason;
    ASSERT_TRUE(setGroupAndMode(pty.slavePath(), "tty", 0620));
    EXPECT_EQ(explainOpenFailure(pty.slavePath(), EACCES),
              "Your account lacks permission to use the serial port: " + pty.slavePath() +
                  " belongs to " + owner +
                  ", group tty, mode crw--w----. Ask whoever looks after this computer for "
                  "access to it, for example through the \"tty\" group.");

    const std::string missing = folder.path("ttyS10");
    EXPECT_EQ(explainOpenFailure(missing, EACCES),
              "Your account lacks permission to use the serial port " + missing +
                  ". Ask whoever looks after this computer for access to it.");
}

} // namespace
