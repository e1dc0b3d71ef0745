// The connection: the registry of shared connections, and opening and closing the port.
#include "TavrelSocket.h"

#include "SystemErrorText.h"
#include "TavrelLog.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace tavrel::link {

using records::systemErrorText;

namespace {

void logSystemError(const char* what, const std::string& path, int error) {
    tavrelLog("%s", systemErrorText(what, path, error).c_str());
}

} // namespace

namespace {

// The replies given up on when an exchange was interrupted, by port, with the time each may still
// take: closing the port does not stop a device that is still answering, so the port's next
// connection lets the rest pass before its first exchange.
struct AbandonedReplies {
    std::mutex mutex;
    std::map<std::string, std::chrono::steady_clock::time_point> until;
};

AbandonedReplies& abandonedReplies() {
    static AbandonedReplies replies;
    return replies;
}

} // namespace

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
    // Close-on-exec as well: a program this process starts must never inherit the claimed port.
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
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
    // TIOCEXCL does not keep out root; the lock, which other serial programs take as well, does.
    // It comes first, so that a refused open leaves the holder's line untouched, and lasts until
    // the descriptor closes.
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (!locked) {
        failedStep = "Error locking serial port";
    } else if (::ioctl(fd, TIOCEXCL) == -1) {
        failedStep = "Error setting TIOCEXCL on";
    } else if (::fcntl(fd, F_SETFL, 0) == -1) {
        failedStep = "Error clearing O_NONBLOCK";
    } else if (::tcgetattr(fd, &_originalTTYAttrs) == -1) {
        failedStep = "Error getting tty attributes";
    } else {
        options = _originalTTYAttrs;
        ::cfmakeraw(&options);
        // cfmakeraw leaves these, and with them the line would still pause for XON/XOFF.
        options.c_iflag &= ~(IXOFF | IXANY);
        options.c_cc[VMIN] = 0;
        options.c_cc[VTIME] = 2;
        ::cfsetspeed(&options, B9600);
        // 8N1, receiver on, hang up on last close, modem lines honoured, no flow control. The
        // output speed, which Linux keeps in the control flags, stays as just set; the input speed
        // field stays clear, which means "as the output", whatever speed was left there.
        options.c_cflag = CS8 | CREAD | HUPCL | (options.c_cflag & CBAUD);
        if (::tcsetattr(fd, TCSANOW, &options) == -1) {
            failedStep = "Error setting tty attributes";
        }
    }
    if (failedStep) {
        int failure = errno;
        logSystemError(failedStep, path, failure);
        if (openErrno) {
            // Whoever holds the lock, the port is busy, as when exclusive use refuses the open.
            *openErrno = !locked && failure == EWOULDBLOCK ? EBUSY : failure;
        }
        ::close(fd);
        return -1;
    }
    AbandonedReplies& abandoned = abandonedReplies();
    const std::lock_guard<std::mutex> lock(abandoned.mutex);
    if (auto found = abandoned.until.find(path); found != abandoned.until.end()) {
        _abandonedReplyDeadline = found->second;
        abandoned.until.erase(found);
    }
    return fd;
}

void TavrelSocket::_closeDevice() {
    if (_devFd != -1 && _abandonedReplyDeadline &&
        *_abandonedReplyDeadline > std::chrono::steady_clock::now()) {
        AbandonedReplies& abandoned = abandonedReplies();
        const std::lock_guard<std::mutex> lock(abandoned.mutex);
        abandoned.until[_deviceFilePath] = *_abandonedReplyDeadline;
    }
    if (_devFd != -1) {
        // Exclusive use ends first: whoever else holds the tty open (a pty's other side, a root
        // program the claim did not keep out) keeps it alive past our close, and with it the
        // claim, which would refuse the next open. If this fails, the close follows all the same.
        // The lock goes with the close.
        ::ioctl(_devFd, TIOCNXCL);
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

} // namespace tavrel::link
