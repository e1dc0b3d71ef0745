// The connection: the registry of shared connections, opening and closing the port, and the
// frame exchange that every command goes through.
#include "TavrelSocket.h"

#include "TavrelLog.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

constexpr size_t MaxPayload = 255;

void logSystemError(const char* what, const std::string& path, int error) {
    tavrelLog("%s %s - %s(%d)", what, path.c_str(), std::strerror(error), error);
}

std::string formatText(const char* format, const std::string& path, int error) {
    char text[512];
    std::snprintf(text, sizeof text, format, path.c_str(), std::strerror(error), error);
    return text;
}

void ioError(TavrelError* error, const char* description, std::string reason) {
    if (!error) {
        return;
    }
    *error = TavrelError{TavrelErrorDomain, 0, description, std::move(reason),
                         TavrelDeviceRecoverySuggestion};
}

void terminationError(TavrelError* error, const std::string& path) {
    ioError(error, "Error reading data from serial device",
            "Error reading data from serial device " + path + " - unexpected response termination");
}

// Reads exactly `count` bytes, in as many pieces as they come, until a read finds nothing.
bool readFully(int fd, uint8_t* into, size_t count, const char* failedDescription,
               const std::string& path, TavrelError* error) {
    for (size_t got = 0; got < count;) {
        ssize_t read = ::read(fd, into + got, count - got);
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read < 0) {
            ioError(error, failedDescription,
                    formatText("Error reading data from serial device %s - %s(%d)", path, errno));
            return false;
        }
        if (read == 0) {
            terminationError(error, path);
            return false;
        }
        got += static_cast<size_t>(read);
    }
    return true;
}

// The type named by the one payload byte of an acknowledgement (0x10) or boolean (0x12) reply,
// or 0 when the byte names none.
int32_t fixedReplyType(uint8_t code, uint8_t byte) {
    if (code == 0x10) {
        return byte == 0x15 ? responseNAK : byte == 0x06 ? responseACK : 0;
    }
    return byte == 0x00 ? responseFalse : byte == 0x01 ? responseTrue : 0;
}

} // namespace

void tavrelUnexpectedReplyError(TavrelError* error, const char* description) {
    if (error) {
        *error = TavrelError{TavrelErrorDomain, 0, description, std::nullopt,
                             TavrelDeviceRecoverySuggestion};
    }
}

int TavrelSocket::_interruptionFd = -1;

void TavrelSocket::setInterruptionDescriptor(int fd) {
    _interruptionFd = fd;
}

std::map<std::string, std::weak_ptr<TavrelSocket>>& TavrelSocket::_socketDict() {
    static std::map<std::string, std::weak_ptr<TavrelSocket>> registry;
    return registry;
}

std::shared_ptr<TavrelSocket> TavrelSocket::socketForDeviceFilePath(const std::string& path,
                                                                    int* openErrno) {
    auto found = _socketDict().find(path);
    if (found != _socketDict().end()) {
        if (auto alive = found->second.lock()) {
            return alive;
        }
    }
    auto socket = initWithDeviceFilePath(path, openErrno);
    if (!socket) {
        return nullptr;
    }
    socket->_setShared(true);
    _socketDict()[path] = socket;
    return socket;
}

std::shared_ptr<TavrelSocket> TavrelSocket::initWithDeviceFilePath(const std::string& path,
                                                                   int* openErrno) {
    std::shared_ptr<TavrelSocket> socket(new TavrelSocket(path));
    socket->_devFd = socket->_openDevice(openErrno);
    if (socket->_devFd == -1) {
        return nullptr;
    }
    return socket;
}

TavrelSocket::TavrelSocket(const std::string& path) : _deviceFilePath(path) {}

TavrelSocket::~TavrelSocket() {
    // Leave the registry first, so nobody is handed a connection whose port is closing.
    if (_shared) {
        auto found = _socketDict().find(_deviceFilePath);
        if (found != _socketDict().end() && found->second.expired()) {
            _socketDict().erase(found);
        }
    }
    _closeDevice();
}

int TavrelSocket::_openDevice(int* openErrno) {
    const std::string& path = _deviceFilePath;
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd == -1) {
        int failure = errno;
        logSystemError("Error opening serial port", path, failure);
        if (openErrno) {
            *openErrno = failure;
        }
        return -1;
    }

    const char* failedStep = nullptr;
    struct termios options {};
    if (::ioctl(fd, TIOCEXCL) == -1) {
        failedStep = "Error setting TIOCEXCL on";
    } else if (::fcntl(fd, F_SETFL, 0) == -1) {
        failedStep = "Error clearing O_NONBLOCK";
    } else if (::tcgetattr(fd, &_originalTTYAttrs) == -1) {
        failedStep = "Error getting tty attributes";
    } else {
        options = _originalTTYAttrs;
        ::cfmakeraw(&options);
        options.c_cc[VMIN] = 0;
        options.c_cc[VTIME] = 2;
        ::cfsetspeed(&options, B9600);
        // 8N1, receiver on, hang up on last close, modem lines honoured, no flow control; the
        // speed, which Linux keeps in the control flags, stays as just set.
        options.c_cflag = CS8 | CREAD | HUPCL | (options.c_cflag & (CBAUD | CIBAUD));
        if (::tcsetattr(fd, TCSANOW, &options) == -1) {
            failedStep = "Error setting tty attributes";
        }
    }
    if (failedStep) {
        int failure = errno;
        logSystemError(failedStep, path, failure);
        if (openErrno) {
            *openErrno = failure;
        }
        ::close(fd);
        return -1;
    }
    return fd;
}

void TavrelSocket::_closeDevice() {
    if (_devFd != -1) {
        if (::tcdrain(_devFd) == -1) {
            logSystemError("Error waiting for drain", _deviceFilePath, errno);
        }
        if (::tcsetattr(_devFd, TCSANOW, &_originalTTYAttrs) == -1) {
            logSystemError("Error resetting tty attributes", _deviceFilePath, errno);
        }
        ::close(_devFd);
    }
    _devFd = -1;
}

bool TavrelSocket::_sendCommandWithFunction(uint8_t function, const uint8_t* data, size_t length,
                                            VRG500_response* response, TavrelError* error) {
    // Late bytes of an earlier, failed exchange must not be taken for this reply.
    if (::tcflush(_devFd, TCIOFLUSH) == -1) {
        logSystemError("Error flushing data from serial device", _deviceFilePath, errno);
    }
    if (!data) {
        length = 0;
    }
    if (length > MaxPayload) {
        tavrelLog("Attempt to send command with size %zu, max size is %zu", length, MaxPayload);
        char reason[128];
        std::snprintf(reason, sizeof reason,
                      "Attempt to send command with size %zu, max size is %zu", length, MaxPayload);
        ioError(error, "Error writing data to serial device", reason);
        return false;
    }

    _buffer[0] = function;
    _buffer[1] = static_cast<uint8_t>(length);
    if (length > 0) {
        std::memcpy(_buffer + 2, data, length);
    }
    size_t frameLength = 2 + length;
    for (size_t sent = 0; sent < frameLength;) {
        ssize_t wrote = ::write(_devFd, _buffer + sent, frameLength - sent);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote < 0) {
            ioError(error, "Error writing data to serial device",
                    formatText("Error writing data to serial device %s - %s(%d)", _deviceFilePath,
                               errno));
            return false;
        }
        sent += static_cast<size_t>(wrote);
    }

    // The header may arrive in two pieces on a real line, like the payload; each read waits at
    // most 0.2 s. A failing payload read has its own description, with a leading blank.
    if (!readFully(_devFd, _buffer, 2, "Error reading data from serial device", _deviceFilePath,
                   error) ||
        !readFully(_devFd, _buffer + 2, _buffer[1], " Error reading data from serial device",
                   _deviceFilePath, error)) {
        return false;
    }
    return _parseResponseBuffer(_buffer, response, error);
}

bool TavrelSocket::_parseResponseBuffer(const uint8_t* buffer, VRG500_response* response,
                                        TavrelError* error) {
    response->code = buffer[0];
    response->length = buffer[1];
    std::memcpy(response->data, buffer + 2, buffer[1]);

    int32_t type = responseData;
    if (response->code == 0x10 || response->code == 0x12) {
        // Acknowledgement and boolean replies carry exactly one byte naming the answer.
        type = response->length == 1 ? fixedReplyType(response->code, response->data[0]) : 0;
        if (type == 0) {
            tavrelUnexpectedReplyError(error, "Unknown response type for boolean response");
            return false;
        }
    }
    response->type = type;
    return true;
}
