// The frame exchange that every command goes through: the one place that reads and writes the
// port. Replies are classified in records (ReplyClassification).
//
// Every wait is a poll() with its own limit, never a blocking read: a reply read ends after 0.2 s
// without data and a whole reply 1 s after its request, whatever VMIN and VTIME the port holds by
// then, and a readable interruption descriptor ends any wait at once.
#include "LineWait.h"
#include "ReplyClassification.h"
#include "SystemErrorText.h"
#include "TavrelLog.h"
#include "TavrelSocket.h"
#include "TextTemplate.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace tavrel::link {

using records::classifyReply;
using records::systemErrorText;
using records::tavrelDomainError;
using records::TavrelError;
using records::VRG500_response;

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t MaxPayload = 255;
constexpr auto ReadGap = std::chrono::milliseconds(200);
constexpr auto ReplyTime = std::chrono::seconds(1);

constexpr const char* WriteFailed = TAVREL_TEXT("Error writing data to serial device");
constexpr const char* ReadFailed = TAVREL_TEXT("Error reading data from serial device");

void terminationError(TavrelError* error, const std::string& path) {
    tavrelDomainError(error, ReadFailed,
                      std::string(ReadFailed) + " " + path + " - unexpected response termination");
}

// Whether the interruption descriptor is readable now.
bool interruptionPending(int fd) {
    pollfd probe{fd, POLLIN, 0};
    return fd != -1 && ::poll(&probe, 1, 0) == 1 && (probe.revents & (POLLIN | POLLHUP)) != 0;
}

// The errno that a wait which did not end ready stands for.
int waitErrno(LineWait wait, int pollErrno) {
    switch (wait) {
    case LineWait::Interrupted:
        return EINTR;
    case LineWait::Quiet:
        return ETIMEDOUT;
    case LineWait::Failed:
        return pollErrno;
    default:
        return EIO; // hung up
    }
}

// Reads no more than the line already holds, so that the read returns at once whatever VMIN and
// VTIME say. 0 when nothing is there; -1 with errno on failure.
ssize_t readAvailable(int fd, uint8_t* into, size_t wanted) {
    int available = 0;
    if (::ioctl(fd, FIONREAD, &available) == -1) {
        return -1;
    }
    if (available <= 0) {
        return 0;
    }
    ssize_t got = ::read(fd, into, std::min(wanted, static_cast<size_t>(available)));
    return got < 0 && errno == EINTR ? 0 : got;
}

} // namespace

int TavrelSocket::_interruptionFd = -1;

void TavrelSocket::setInterruptionDescriptor(int fd) {
    _interruptionFd = fd;
}

bool TavrelSocket::_sendCommandWithFunction(uint8_t function, const uint8_t* data, size_t length,
                                            VRG500_response* response, TavrelError* error) {
    if (_abandonedReplyDeadline) {
        _settleLine();
    }
    // Late bytes of an earlier, failed exchange must not be taken for this reply.
    if (::tcflush(_devFd, TCIOFLUSH) == -1) {
        tavrelLog("%s",
                  systemErrorText("Error flushing data from serial device", _deviceFilePath, errno)
                      .c_str());
    }
    if (!data) {
        length = 0;
    }
    if (length > MaxPayload) {
        char reason[128];
        std::snprintf(reason, sizeof reason,
                      "Attempt to send command with size %zu, max size is %zu", length, MaxPayload);
        tavrelLog("%s", reason);
        tavrelDomainError(error, WriteFailed, reason);
        return false;
    }

    _buffer[0] = function;
    _buffer[1] = static_cast<uint8_t>(length);
    if (length > 0) {
        std::memcpy(_buffer + 2, data, length);
    }
    const Clock::time_point replyDeadline = Clock::now() + ReplyTime;
    // The header may arrive in two pieces on a real line, like the payload. A failing payload
    // read has its own description, with a leading blank.
    if (!_writeFrame(2 + length, replyDeadline, error)) {
        return false;
    }
    if (!_readReplyPart(_buffer, 2, ReadFailed, replyDeadline, error) ||
        !_readReplyPart(_buffer + 2, _buffer[1],
                        TAVREL_TEXT(" Error reading data from serial device"), replyDeadline,
                        error)) {
        if (interruptionPending(_interruptionFd)) {
            // The device goes on sending the reply given up on: the next exchange waits for it.
            _abandonedReplyDeadline = replyDeadline;
        }
        return false;
    }
    return classifyReply(_buffer, response, error);
}

// Lets the rest of a reply given up on by an interruption arrive and go, so that it is not taken
// for the next exchange's: the line has been quiet for the gap a reply may leave, or that reply's
// time is up. An interruption ends the wait, and the exchange that follows sends nothing.
void TavrelSocket::_settleLine() {
    const Clock::time_point until = *_abandonedReplyDeadline;
    for (Clock::time_point now = Clock::now(); now < until; now = Clock::now()) {
        const LineWait wait =
            waitForLine(_devFd, POLLIN, _interruptionFd, std::min(now + ReadGap, until));
        if (wait == LineWait::Interrupted) {
            return;
        }
        uint8_t late[64];
        if (wait != LineWait::Ready || readAvailable(_devFd, late, sizeof late) < 0) {
            break; // quiet, or the exchange itself will say what is wrong with the line
        }
    }
    _abandonedReplyDeadline.reset();
}

// Sends the frame at the start of the buffer. Nothing goes out while the interruption
// descriptor is readable.
bool TavrelSocket::_writeFrame(size_t frameLength, std::chrono::steady_clock::time_point deadline,
                               TavrelError* error) {
    for (size_t sent = 0; sent < frameLength;) {
        const LineWait wait = waitForLine(_devFd, POLLOUT, _interruptionFd, deadline);
        ssize_t wrote = -1;
        if (wait == LineWait::Ready || wait == LineWait::HungUp) {
            wrote = ::write(_devFd, _buffer + sent, frameLength - sent); // says what went wrong
        } else {
            errno = waitErrno(wait, errno);
        }
        if (wrote < 0 && errno == EINTR && wait != LineWait::Interrupted) {
            continue;
        }
        if (wrote < 0) {
            tavrelDomainError(error, WriteFailed,
                              systemErrorText(WriteFailed, _deviceFilePath, errno));
            return false;
        }
        sent += static_cast<size_t>(wrote);
    }
    return true;
}

// Reads `count` bytes of the reply into `into`, in as many pieces as they come, until 0.2 s pass
// without data or the reply's time is up.
bool TavrelSocket::_readReplyPart(uint8_t* into, size_t count, const char* failedDescription,
                                  std::chrono::steady_clock::time_point deadline,
                                  TavrelError* error) {
    for (size_t got = 0; got < count;) {
        const LineWait wait = waitForLine(_devFd, POLLIN, _interruptionFd,
                                          std::min(Clock::now() + ReadGap, deadline));
        if (wait == LineWait::Quiet) {
            terminationError(error, _deviceFilePath);
            return false;
        }
        ssize_t read = -1;
        if (wait == LineWait::Ready || wait == LineWait::HungUp) {
            read = readAvailable(_devFd, into + got, count - got);
            // A line that hung up with nothing left to read fails like a read of a hung-up tty.
            if (read == 0 && wait == LineWait::HungUp) {
                read = -1;
                errno = EIO;
            }
        } else {
            errno = waitErrno(wait, errno);
        }
        if (read < 0) {
            tavrelDomainError(error, failedDescription,
                              systemErrorText(ReadFailed, _deviceFilePath, errno));
            return false;
        }
        got += static_cast<size_t>(read);
    }
    return true;
}

} // namespace tavrel::link
