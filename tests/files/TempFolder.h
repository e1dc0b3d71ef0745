// A fresh folder under $TMPDIR (or /tmp) for one test, removed with everything in it afterwards.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class TempFolder {
  public:
    TempFolder() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/tavrel-test-XXXXXX";
        if (char* made = ::mkdtemp(pattern.data())) {
            _path = made;
        }
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string path(const std::string& name) const { return _path + "/" + name; }
    const std::string& path() const { return _path; }

    static void writeBytes(const std::string& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    static std::string readBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Names of the folder's entries, sorted.
    std::string listing() const {
        std::string names;
        std::vector<std::string> all;
        for (const auto& entry : std::filesystem::directory_iterator(_path)) {
            all.push_back(entry.path().filename().string());
        }
        std::sort(all.begin(), all.end());
        for (const auto& name : all) {
            names += name + "\n";
        }
        return names;
    }

  private:
    std::string _path;
};
