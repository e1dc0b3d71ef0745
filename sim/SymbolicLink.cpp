#include "SymbolicLink.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrel::sim {

namespace {

bool fail(const std::string& what, std::string* error) {
    if (error) {
        *error = what + ": " + std::strerror(errno);
    }
    return false;
}

} // namespace

bool pointSymbolicLink(const std::string& linkPath, const std::string& target, std::string* error) {
    struct stat status;
    if (lstat(linkPath.c_str(), &status) == 0 && !S_ISLNK(status.st_mode)) {
        errno = EEXIST;
        return fail(linkPath + " exists and is not a symbolic link", error);
    }
    const std::string temporary = linkPath + ".new-" + std::to_string(getpid());
    unlink(temporary.c_str());
    if (symlink(target.c_str(), temporary.c_str()) != 0) {
        return fail(temporary, error);
    }
    if (std::rename(temporary.c_str(), linkPath.c_str()) != 0) {
        const bool result = fail(linkPath, error);
        unlink(temporary.c_str());
        return result;
    }
    return true;
}

void removeSymbolicLink(const std::string& linkPath, const std::string& target) {
    char buffer[4096];
    const ssize_t length = readlink(linkPath.c_str(), buffer, sizeof buffer);
    if (length >= 0 && target == std::string(buffer, static_cast<size_t>(length))) {
        unlink(linkPath.c_str());
    }
}

} // namespace tavrel::sim
