#include "PtyClient.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

PtyClient::PtyClient(const std::string& path) {
    _fd = open(path.c_str(), O_RDWR | O_NOCTTY);
    termios attributes;
    if (_fd < 0 || tcgetattr(_fd, &attributes) != 0) {
        return;
    }
    cfmakeraw(&attributes);
    attributes.c_cc[VMIN] = 0;
    attributes.c_cc[VTIME] = 2;
    tcsetattr(_fd, TCSANOW, &attributes);
}

PtyClient::~PtyClient() {
    if (_fd >= 0) {
        close(_fd);
    }
}

bool PtyClient::send(const Bytes& bytes) {
    return write(_fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

bool PtyClient::readSome(Bytes* into, std::chrono::milliseconds quiet) {
    pollfd fds{_fd, POLLIN, 0};
    if (poll(&fds, 1, static_cast<int>(quiet.count())) <= 0 || !(fds.revents & POLLIN)) {
        return false;
    }
    uint8_t buffer[512];
    const ssize_t count = read(_fd, buffer, sizeof buffer);
    if (count <= 0) {
        return false;
    }
    into->insert(into->end(), buffer, buffer + count);
    return true;
}

Bytes PtyClient::readReply(std::chrono::milliseconds quiet) {
    Bytes reply;
    while ((reply.size() < 2 || reply.size() < 2u + reply[1]) && readSome(&reply, quiet)) {
    }
    return reply;
}

Bytes PtyClient::readAll(std::chrono::milliseconds quiet) {
    Bytes bytes;
    while (readSome(&bytes, quiet)) {
    }
    return bytes;
}

Bytes PtyClient::exchange(const Bytes& frame) {
    if (!send(frame)) {
        return {};
    }
    return readReply();
}
