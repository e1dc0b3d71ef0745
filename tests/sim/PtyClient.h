// A plain POSIX client of the simulator's pty (raw, VMIN 0 and VTIME 2 like the device link),
// and the byte strings the tests build frames from.
#pragma once

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline Bytes join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

inline Bytes repeat(const Bytes& part, int times) {
    Bytes all;
    for (int i = 0; i < times; ++i) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

class PtyClient {
  public:
    explicit PtyClient(const std::string& path);
    ~PtyClient();
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    bool isOpen() const { return _fd >= 0; }
    int fd() const { return _fd; }
    bool send(const Bytes& bytes);
    // One reply frame: its header, then as many payload bytes as the header announces; less
    // when the line stays quiet for `quiet`.
    Bytes readReply(std::chrono::milliseconds quiet = std::chrono::milliseconds(500));
    // Everything that arrives until the line stays quiet for `quiet`.
    Bytes readAll(std::chrono::milliseconds quiet = std::chrono::milliseconds(300));
    Bytes exchange(const Bytes& frame);

  private:
    // Appends what arrives within `quiet`; false when nothing did.
    bool readSome(Bytes* into, std::chrono::milliseconds quiet);
    int _fd = -1;
};
