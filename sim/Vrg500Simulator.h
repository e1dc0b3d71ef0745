// A VRG-500 on a pseudo-terminal, for tests, demonstrations and users without hardware.
//
// The simulator owns the master side of a pty and answers on its own thread every command frame
// that arrives on the slave side, which a TavrelSocket opens like any serial port. It keeps a
// register bank of all 65,536 register numbers, clip names (a register may have none), a 32-byte
// menu block, a version text, a current register number and a video standard. Faults and
// arbitrary replies can be queued for the frames to come. All public operations are thread-safe.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavrel::sim {

struct Vrg500SimulatorOptions {
    std::string version = "2.10";
    bool sampleRegisters = false; // fill registers 0..sampleCount-1 with plausible sample data
    uint32_t seed = 1;            // sample data is a function of the seed alone
    int sampleCount = 300;
    bool paced = false; // take the wire time of 9600 baud, 10 bits per byte, both directions
    std::chrono::microseconds replyLatency{0}; // extra delay before each reply
    std::string linkPath;     // when set, a symbolic link to the slave device is kept here
    bool recordFrames = true; // keep every received frame for receivedFrames()
};

enum class Vrg500Fault {
    NoReply,        // read the frame, answer nothing
    TruncatedReply, // send the reply without its last payload byte
    SplitReply,     // send the reply in three pieces 50 ms apart
    TrickledReply,  // send the reply one byte at a time, 150 ms apart
    GarbageBytes,   // send `count` (default 5) garbage bytes, then the real reply
    WrongRegister,  // a well-formed reply for register number + 1
    NakInstead,     // answer 0x10 0x01 0x15
    AckInstead,     // answer 0x10 0x01 0x06
    BooleanInstead, // answer 0x12 0x01 0x01
};

class Vrg500Simulator {
  public:
    explicit Vrg500Simulator(Vrg500SimulatorOptions options = {});
    ~Vrg500Simulator(); // stops
    Vrg500Simulator(const Vrg500Simulator&) = delete;
    Vrg500Simulator& operator=(const Vrg500Simulator&) = delete;

    // Opens the pty and starts answering. False (with a reason) when the pty cannot be made.
    bool start(std::string* error = nullptr);
    void stop();
    std::string slavePath() const;  // the device path to open (or the link path when set)
    std::string devicePath() const; // the pty's own slave device, even when a link path is set

    // Device state. A register's wire form is the 34 bytes of a register time reply after the
    // register number: eight 4-byte packed-BCD times and the two trailing bytes.
    void setRegisterWire(uint16_t number, const std::array<uint8_t, 34>& wire);
    std::array<uint8_t, 34> registerWire(uint16_t number) const;
    // The 32 bytes of names A to D, or none: the clip name request is then answered with NAK.
    void setClipNames(uint16_t number, std::optional<std::array<uint8_t, 32>> names);
    std::optional<std::array<uint8_t, 32>> clipNames(uint16_t number) const;
    void setMenu(const std::array<uint8_t, 32>& menu);
    std::array<uint8_t, 32> menu() const;
    void setMenuAnsweredWithAck(bool ack); // menu data request answered by ACK (all zero block)
    void setVersion(const std::string& version); // any bytes, any length up to 255
    void setCurrentRegister(uint16_t number);
    uint16_t currentRegister() const;
    void setVideoStandard(bool one);

    // Faults and canned replies apply to the frames to come, one per frame, in queue order.
    void injectFault(Vrg500Fault fault, int count = 5);
    void queueRawReply(const std::vector<uint8_t>& bytes); // sent as is, instead of the reply
    // After `frames` more frames have been answered, the device hangs up: the pty is closed, as
    // when an adapter is pulled out. With `reappear`, a new pty takes its place (and the link
    // path, when set, points to it), as when the adapter is plugged in again.
    void hangUpAfterFrames(int frames, bool reappear = true);

    // Every complete command frame received (function code, length byte, payload), in order.
    std::vector<std::vector<uint8_t>> receivedFrames() const;
    void clearReceivedFrames();

  private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

} // namespace tavrel::sim
