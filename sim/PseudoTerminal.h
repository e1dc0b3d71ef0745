// One pseudo-terminal pair as the simulator holds it: the master side it answers on, and a slave
// descriptor of its own that keeps the pair alive while clients open and close the slave.
//
// Because that descriptor keeps the slave open, the kernel never sees a client's close as the
// last one, and the exclusive use a client claims (TIOCEXCL) would outlive it: the next open by
// an ordinary user would fail as busy. A watch on the slave's closes ends the exclusive use when
// a client closes, as a real port's last close does.
#pragma once

#include <cstddef>
#include <string>

namespace tavrel::sim {

class PseudoTerminal {
  public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Makes a new pair with a raw 9600-baud slave. False with a reason on failure.
    bool open(std::string* error);
    void close();

    int masterFd() const { return _master; }
    int watchFd() const { return _watch; } // readable when a client has closed the slave
    const std::string& slavePath() const { return _slavePath; }

    // Reads the pending close notices of the slave.
    void handleWatchEvents();
    // Bytes written into the master that no client has read yet.
    size_t unreadBytes() const;

  private:
    int _master = -1;
    int _slave = -1;
    int _watch = -1;
    std::string _slavePath;
};

} // namespace tavrel::sim
