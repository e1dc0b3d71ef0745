#include "OpenFailure.h"

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <vector>

namespace tavrel::link {

namespace {

// The group that Debian and its kin give serial ports.
constexpr const char* SerialGroup = "dialout";

std::string ownerName(uid_t uid) {
    std::vector<char> buffer(4096);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
        return found->pw_name;
    }
    return std::to_string(uid);
}

std::string groupName(gid_t gid) {
    std::vector<char> buffer(4096);
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
        return found->gr_name;
    }
    return std::to_string(gid);
}

// The mode as `ls -l` shows it, such as "crw-rw----".
std::string modeText(mode_t mode) {
    std::string text = S_ISCHR(mode)    ? "c"
                       : S_ISBLK(mode)  ? "b"
                       : S_ISDIR(mode)  ? "d"
                       : S_ISLNK(mode)  ? "l"
                       : S_ISFIFO(mode) ? "p"
                       : S_ISSOCK(mode) ? "s"
                                        : "-";
    const mode_t bits[9] = {S_IRUSR, S_IWUSR, S_IXUSR, S_IRGRP, S_IWGRP,
                            S_IXGRP, S_IROTH, S_IWOTH, S_IXOTH};
    for (int i = 0; i < 9; ++i) {
        text += (mode & bits[i]) ? "rwx"[i % 3] : '-';
    }
    const struct {
        mode_t flag;
        int at;
        char withExecute, withoutExecute;
    } specials[] = {{S_ISUID, 3, 's', 'S'}, {S_ISGID, 6, 's', 'S'}, {S_ISVTX, 9, 't', 'T'}};
    for (const auto& special : specials) {
        if (mode & special.flag) {
            text[special.at] =
                text[special.at] == 'x' ? special.withExecute : special.withoutExecute;
        }
    }
    return text;
}

std::string permissionAdvice(const std::string& path) {
    const std::string lacking = "Your account lacks permission to use the serial port";
    struct stat device {};
    if (::stat(path.c_str(), &device) != 0) {
        return lacking + " " + path + ". Ask whoever looks after this computer for access to it.";
    }
    const std::string group = groupName(device.st_gid);
    const std::string facts = lacking + ": " + path + " belongs to " + ownerName(device.st_uid) +
                              ", group " + group + ", mode " + modeText(device.st_mode) + ". ";
    if (group == SerialGroup) {
        return facts + "Add your account to the \"dialout\" group (for example: sudo usermod -aG "
                       "dialout $USER), then log out and log in again.";
    }
    return facts +
           "Ask whoever looks after this computer for access to it, for example through "
           "the \"" +
           group + "\" group.";
}

} // namespace

std::string explainOpenFailure(const std::string& path, int errorNumber) {
    switch (errorNumber) {
    case EACCES:
    case EPERM:
        return permissionAdvice(path);
    case EBUSY:
        return "Another program is using the serial port " + path +
               ". Quit that program, or choose another port, and try again.";
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case EIO:
        return "The serial port " + path +
               " is gone: its adapter may have been unplugged. Plug it in again and choose the "
               "port.";
    case ENOTTY:
        return path + " is not a serial port. Choose another port and try again.";
    case 0:
        return "The serial port " + path + " could not be opened.";
    default:
        return "The serial port " + path + " could not be opened: " + std::strerror(errorNumber) +
               ".";
    }
}

} // namespace tavrel::link
