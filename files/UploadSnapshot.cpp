#include "UploadSnapshot.h"

#include "FileError.h"
#include "RegisterFile.h"
#include "RegisterLabel.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrel::files {

using records::registerLabel;
using records::TavrelError;

namespace {

constexpr const char* Extension = ".vg2";
constexpr size_t StampLength = 19; // "YYYY-MM-DD HH.MM.SS"

// What a snapshot's name holds.
struct SnapshotName {
    std::string stamp;
    std::string port;
    records::RegisterRange range;
    unsigned counter = 1;
    std::string name;
    timespec written{}; // when the file was last written

    // Newest first: by when the files were written, whatever the clock said when they were named;
    // files written within the file system's clock tick by their names, whose stamp sorts as text.
    bool operator<(const SnapshotName& other) const {
        if (written.tv_sec != other.written.tv_sec) {
            return written.tv_sec > other.written.tv_sec;
        }
        if (written.tv_nsec != other.written.tv_nsec) {
            return written.tv_nsec > other.written.tv_nsec;
        }
        if (stamp != other.stamp) {
            return stamp > other.stamp;
        }
        return counter != other.counter ? counter > other.counter : name > other.name;
    }
};

bool isPortCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '-';
}

} // namespace

std::string snapshotPortName(const std::string& port) {
    std::string name = fileDisplayName(port);
    std::replace_if(
        name.begin(), name.end(), [](char c) { return !isPortCharacter(c); }, '_');
    return name.empty() || name == "/" ? "_" : name;
}

namespace {

std::string stampOf(std::time_t now) {
    std::tm local{};
    localtime_r(&now, &local);
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%d %H.%M.%S", &local);
    return text;
}

std::string nameOf(const std::string& stamp, const std::string& port, records::RegisterRange range,
                   unsigned counter) {
    std::string name =
        stamp + " " + port + " " + registerLabel(range.first) + "-" + registerLabel(range.last);
    if (counter > 1) {
        name += " (" + std::to_string(counter) + ")";
    }
    return name + Extension;
}

// Whether `text` is made of digits and of at least `digits` of them; its value in *value when it
// fits.
bool readNumber(const std::string& text, size_t digits, int64_t limit, int64_t* value) {
    if (text.size() < digits || text.size() > 10 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    *value = std::stoll(text);
    return *value <= limit;
}

// Whether `text` matches `pattern`, where '9' stands for any digit.
bool matchesShape(const std::string& text, const char* pattern) {
    return std::equal(text.begin(), text.end(), pattern, pattern + std::strlen(pattern),
                      [](char c, char p) { return p == '9' ? c >= '0' && c <= '9' : c == p; });
}

std::optional<SnapshotName> parseName(const std::string& name) {
    const size_t extension = std::strlen(Extension);
    if (name.size() <= StampLength + extension ||
        name.compare(name.size() - extension, extension, Extension) != 0) {
        return std::nullopt;
    }
    SnapshotName parts;
    parts.name = name;
    parts.stamp = name.substr(0, StampLength);
    std::string rest = name.substr(StampLength, name.size() - StampLength - extension);
    if (!matchesShape(parts.stamp, "9999-99-99 99.99.99")) {
        return std::nullopt;
    }
    if (!rest.empty() && rest.back() == ')') {
        size_t open = rest.rfind(" (");
        int64_t counter = 0;
        if (open == std::string::npos ||
            !readNumber(rest.substr(open + 2, rest.size() - open - 3), 1, UINT_MAX, &counter) ||
            counter < 2) {
            return std::nullopt;
        }
        parts.counter = static_cast<unsigned>(counter);
        rest.erase(open);
    }
    // " PORT FIRST-LAST"
    size_t space = rest.rfind(' ');
    size_t dash = rest.rfind('-');
    int64_t first = 0;
    int64_t last = 0;
    if (rest.empty() || rest[0] != ' ' || space == 0 || space == std::string::npos ||
        dash == std::string::npos || dash < space ||
        !readNumber(rest.substr(space + 1, dash - space - 1), 3, INT32_MAX, &first) ||
        !readNumber(rest.substr(dash + 1), 3, INT32_MAX, &last) || first > last) {
        return std::nullopt;
    }
    parts.port = rest.substr(1, space - 1);
    if (!std::all_of(parts.port.begin(), parts.port.end(), isPortCharacter)) {
        return std::nullopt;
    }
    parts.range = {static_cast<int32_t>(first), static_cast<int32_t>(last)};
    return parts;
}

// The snapshots in `folder`, newest first.
std::vector<SnapshotName> snapshotNames(const std::string& folder) {
    std::vector<SnapshotName> names;
    DIR* directory = opendir(folder.c_str());
    if (!directory) {
        return names;
    }
    while (const dirent* entry = readdir(directory)) {
        auto parts = parseName(entry->d_name);
        struct stat status {};
        if (parts && ::stat((folder + "/" + parts->name).c_str(), &status) == 0) {
            parts->written = status.st_mtim;
            names.push_back(std::move(*parts));
        }
    }
    closedir(directory);
    std::sort(names.begin(), names.end());
    return names;
}

// Makes `folder` and its missing parents; the folders made are added to *made, outermost first.
bool makeFolder(const std::string& folder, std::vector<std::string>* made, int* cause) {
    struct stat status {};
    if (::stat(folder.c_str(), &status) == 0) {
        *cause = S_ISDIR(status.st_mode) ? 0 : ENOTDIR;
        return *cause == 0;
    }
    size_t slash = folder.find_last_not_of('/');
    slash = slash == std::string::npos ? slash : folder.rfind('/', slash);
    if (slash != std::string::npos && slash > 0 &&
        !makeFolder(folder.substr(0, slash), made, cause)) {
        return false;
    }
    if (::mkdir(folder.c_str(), 0777) == 0) {
        made->push_back(folder);
    } else if (errno != EEXIST) {
        *cause = errno;
        return false;
    }
    return true;
}

void removeFolders(const std::vector<std::string>& made) {
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
        ::rmdir(it->c_str());
    }
}

// Deletes the snapshots beyond the newest `keep`, never `written`.
void prune(const std::string& folder, size_t keep, const std::string& written) {
    std::vector<SnapshotName> names = snapshotNames(folder);
    for (size_t i = std::max<size_t>(keep, 1); i < names.size(); ++i) {
        if (names[i].name != written) {
            ::unlink((folder + "/" + names[i].name).c_str());
        }
    }
}

std::string whenOf(const std::string& stamp) {
    std::string when = stamp;
    std::replace(when.begin() + 10, when.end(), '.', ':');
    return when;
}

} // namespace

bool writeUploadSnapshot(const std::string& folder, const std::string& port,
                         records::RegisterRange range, const RegisterCollection& registers,
                         SnapshotInfo* written, TavrelError* error, size_t keep, std::time_t now) {
    const std::string stamp = stampOf(now != 0 ? now : std::time(nullptr));
    const std::string portName = snapshotPortName(port);
    std::string name = nameOf(stamp, portName, range, 1);
    if (range.first < 0 || range.first > range.last) {
        tavrelFileWriteError(error, name, EINVAL);
        return false;
    }
    std::vector<std::string> made;
    int cause = 0;
    if (!makeFolder(folder, &made, &cause)) {
        removeFolders(made);
        tavrelFileWriteError(error, name, cause);
        return false;
    }
    struct stat existing {};
    for (unsigned counter = 2; ::lstat((folder + "/" + name).c_str(), &existing) == 0; ++counter) {
        name = nameOf(stamp, portName, range, counter);
    }
    const std::string path = folder + "/" + name;
    if (!writeExactRegisterFile(path, registers, error)) {
        removeFolders(made);
        return false;
    }
    prune(folder, keep, name);
    if (written) {
        *written = SnapshotInfo{path, portName, range, registers.size(), whenOf(stamp)};
    }
    return true;
}

std::vector<SnapshotInfo> listUploadSnapshots(const std::string& folder) {
    std::vector<SnapshotInfo> snapshots;
    for (const SnapshotName& parts : snapshotNames(folder)) {
        RegisterCollection registers;
        const std::string path = folder + "/" + parts.name;
        if (readRegisterFile(path, &registers)) {
            snapshots.push_back(
                {path, parts.port, parts.range, registers.size(), whenOf(parts.stamp)});
        }
    }
    return snapshots;
}

} // namespace tavrel::files
