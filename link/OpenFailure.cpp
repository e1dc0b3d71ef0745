#include "OpenFailure.h"

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <vector>

namespace tavrel::link {

using records::filledText;

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
    struct stat device {};
    if (::stat(path.c_str(), &device) != 0) {
        return filledText(TAVREL_TEXT("Your account lacks permission to use the serial port %1. "
                                      "Ask whoever looks after this computer for access to it."),
                          {path});
    }
    const std::string group = groupName(device.st_gid);
    const std::vector<std::string> facts{path, ownerName(device.st_uid), group,
                                         modeText(device.st_mode)};
    if (group == SerialGroup) {
        return filledText(
            TAVREL_TEXT("Your account lacks permission to use the serial port: %1 belongs to %2, "
                        "group %3, mode %4. Add your account to the \"dialout\" group (for "
                        "example: sudo usermod -aG dialout $USER), then log out and log in again."),
            facts);
    }
    return filledText(
        TAVREL_TEXT("Your account lacks permission to use the serial port: %1 belongs to %2, group "
                    "%3, mode %4. Ask whoever looks after this computer for access to it, for "
                    "example through the \"%3\" group."),
        facts);
}

} // namespace

std::string explainOpenFailure(const std::string& path, int errorNumber) {
    switch (errorNumber) {
    case EACCES:
    case EPERM:
        return permissionAdvice(path);
    case EBUSY:
        return filledText(TAVREL_TEXT("Another program is using the serial port %1. Quit that "
                                      "program, or choose another port, and try again."),
                          {path});
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case EIO:
        return filledText(TAVREL_TEXT("The serial port %1 is gone: its adapter may have been "
                                      "unplugged. Plug it in again and choose the port."),
                          {path});
    case ENOTTY:
        return filledText(
            TAVREL_TEXT("%1 is not a serial port. Choose another port and try again."), {path});
    case 0:
        return filledText(TAVREL_TEXT("The serial port %1 could not be opened."), {path});
    default:
        return filledText(TAVREL_TEXT("The serial port %1 could not be opened: %2."),
                          {path, std::strerror(errorNumber)});
    }
}

} // namespace tavrel::link
