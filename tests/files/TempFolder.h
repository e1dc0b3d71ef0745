// A fresh folder under $TMPDIR (or /tmp) for one test, removed with everything in it afterwards.
#pragma once

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <thread>
#include <unistd.h>

class TempFolder {
  public:
    TempFolder() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/tavrel-test-XXXXXX";
        if (::mkdtemp(pattern.data())) {
            _path = pattern;
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string path(const std::string& name) const { return _path + "/" + name; }
    const std::string& path() const { return _path; }

    static void writeBytes(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
    static std::string readBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Writes `bytes` into the FIFO at `path` from a thread of its own, until all are sent or the
    // reader has gone (with SIGPIPE ignored).
    static std::thread feedFifo(const std::string& path, std::string bytes) {
        return std::thread([path, bytes = std::move(bytes)] {
            int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
            for (size_t at = 0; fd >= 0 && at < bytes.size();) {
                ssize_t written = ::write(fd, bytes.data() + at, bytes.size() - at);
                at = written > 0 ? at + size_t(written) : bytes.size();
            }
            ::close(fd);
        });
    }
    // Names of the folder's entries, sorted, one a line.
    std::string listing() const { return listing(_path); }
    static std::string listing(const std::string& folder) {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            names.insert(entry.path().filename().string());
        }
        std::string text;
        for (const auto& name : names) {
            text += name + "\n";
        }
        return text;
    }

  private:
    std::string _path;
};
