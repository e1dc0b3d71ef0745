// One open connection to a VRG-500 on one serial device file, and the device's command set.
//
// Connections are shared: socketForDeviceFilePath() hands out the one live connection of a path,
// opening the port when there is none. The registry holds no ownership, so the port closes as
// soon as the last holder lets go. A connection holds its port alone, with TIOCEXCL and an flock
// (the lock keeps out root as well): while one is open, any other connection to the port, in
// this process or another, fails to open as busy.
//
// Texts from the device (the version, clip names) are byte strings: each byte is one character
// (ISO 8859-1), so bytes above 0x7F survive unchanged in both directions.
//
// Every command returns true on success; on failure it returns false and, when `error` is not
// null, fills it. Result out-parameters are written only on success.
#pragma once

#include "RegisterWire.h"
#include "TavrelError.h"
#include "VRG500.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <termios.h>

namespace tavrel::link {

class TavrelSocket {
  public:
    // The shared connection of `path`, opening the port when none is alive; null when the port
    // cannot be opened (the cause is logged, and its errno stored in *openErrno when given).
    static std::shared_ptr<TavrelSocket> socketForDeviceFilePath(const std::string& path,
                                                                 int* openErrno = nullptr);
    // A connection of its own, never entered in the registry; null when the port cannot be opened.
    static std::shared_ptr<TavrelSocket> initWithDeviceFilePath(const std::string& path,
                                                                int* openErrno = nullptr);
    ~TavrelSocket();

    TavrelSocket(const TavrelSocket&) = delete;
    TavrelSocket& operator=(const TavrelSocket&) = delete;

    const std::string& deviceFilePath() const { return _deviceFilePath; }

    // Device information and register pointer.
    bool deviceVersion(std::string* version, records::TavrelError* error = nullptr);
    bool videoStandard(int32_t* standard, records::TavrelError* error = nullptr);
    bool currentRegisterNumber(uint16_t* number, records::TavrelError* error = nullptr);
    bool setCurrentRegisterNumber(uint16_t number, records::TavrelError* error = nullptr);

    // Menu data.
    bool menuData(records::VRG500_menuData* block, records::TavrelError* error = nullptr);
    bool setMenuData(const records::VRG500_menuData& block, records::TavrelError* error = nullptr);

    // Register times. setRegisterData refuses, before sending anything, a time that is not null
    // and that the wire form cannot carry (a number above 99, frames 40 or more); a null time
    // read from the device goes back with the bytes it came with.
    bool registerData(records::VRG500_register* reg, uint16_t registerNumber,
                      records::TavrelError* error = nullptr);
    bool setRegisterData(records::VRG500_register reg, uint16_t registerNumber,
                         records::TavrelError* error = nullptr);
    // The same commands with the register's bytes as they cross the line (see RegisterWire):
    // what the device sent, and what it is sent, byte for byte.
    bool registerWire(records::RegisterWire* wire, uint16_t registerNumber,
                      records::TavrelError* error = nullptr);
    bool setRegisterWire(const records::RegisterWire& wire, uint16_t registerNumber,
                         records::TavrelError* error = nullptr);

    // Register time offsets; refused before sending when the offset does not fit the wire form.
    bool registerTimeOffsetAdd(uint8_t hours, uint8_t minutes, uint8_t seconds, uint8_t frames,
                               bool deviceA, bool deviceB, bool deviceC, bool deviceD,
                               uint16_t registerNumber, records::TavrelError* error = nullptr);
    bool registerTimeOffsetSubtract(uint8_t hours, uint8_t minutes, uint8_t seconds, uint8_t frames,
                                    bool deviceA, bool deviceB, bool deviceC, bool deviceD,
                                    uint16_t registerNumber, records::TavrelError* error = nullptr);

    // Clip names. A negative acknowledgement to the read succeeds with four absent names. The write
    // needs four names of exactly 8 characters (an absent name counts as length 0) and sends
    // nothing otherwise.
    bool registerClipName(std::optional<std::string>* clipNameA,
                          std::optional<std::string>* clipNameB,
                          std::optional<std::string>* clipNameC,
                          std::optional<std::string>* clipNameD, uint16_t registerNumber,
                          records::TavrelError* error = nullptr);
    bool setRegisterClipName(const std::optional<std::string>& clipNameA,
                             const std::optional<std::string>& clipNameB,
                             const std::optional<std::string>& clipNameC,
                             const std::optional<std::string>& clipNameD, uint16_t registerNumber,
                             records::TavrelError* error = nullptr);

    // An interruption source for every exchange of this process: while `fd` (-1 for none) is
    // readable, no frame is sent and a wait for a reply ends at once, failing with the system's
    // text for EINTR. tavrelctl passes the descriptor its SIGINT/SIGTERM handler writes to.
    static void setInterruptionDescriptor(int fd);

    // The frame exchange every command goes through; public so that tests can send frames no
    // command sends. A reply fails when 0.2 s pass without data or when it is not complete 1 s
    // after the request.
    // NOLINTNEXTLINE(readability-identifier-naming): named as the private steps of the exchange
    bool _sendCommandWithFunction(uint8_t function, const uint8_t* data, size_t length,
                                  records::VRG500_response* response, records::TavrelError* error);

  private:
    explicit TavrelSocket(const std::string& path);

    int _openDevice(int* openErrno);
    void _closeDevice();
    bool _writeFrame(size_t frameLength, std::chrono::steady_clock::time_point deadline,
                     records::TavrelError* error);
    bool _readReplyPart(uint8_t* into, size_t count, const char* failedDescription,
                        std::chrono::steady_clock::time_point deadline,
                        records::TavrelError* error);
    void _setShared(bool shared) { _shared = shared; }
    void _settleLine();
    bool _registerAddSubtract(bool add, uint8_t hours, uint8_t minutes, uint8_t seconds,
                              uint8_t frames, bool deviceA, bool deviceB, bool deviceC,
                              bool deviceD, uint16_t registerNumber, records::TavrelError* error);

    static std::map<std::string, std::weak_ptr<TavrelSocket>>& _socketDict();
    static int _interruptionFd;

    std::string _deviceFilePath;
    int _devFd = -1;
    struct termios _originalTTYAttrs {};
    bool _shared = false;
    // The time left to a reply given up on when an exchange was interrupted, which may still come.
    std::optional<std::chrono::steady_clock::time_point> _abandonedReplyDeadline;
    uint8_t _buffer[257] = {};
};

} // namespace tavrel::link
