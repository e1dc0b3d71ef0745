#include "RegisterEquivalence.h"
#include "RegisterFile.h"
#include "RegisterWire.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

using namespace tavrel::files;
using namespace tavrel::records;

namespace {

// Register 5 as a device holds it: A IN 01:00:00:00; A OUT unset, hiding 12:34:56:00; B IN with
// seconds sent as 0x1A (20); B OUT hours 0xAA; the rest unset; clip A of eight blanks.
RegisterEntry held() {
    RegisterWire wire{};
    const uint8_t times[8][4] = {{0x00, 0x00, 0x00, 0x01}, {0x80, 0x56, 0x34, 0x12},
                                 {0x00, 0x1A, 0x00, 0x01}, {0x00, 0x00, 0x00, 0xAA},
                                 {0x80, 0, 0, 0},          {0x80, 0, 0, 0},
                                 {0xC0, 0, 0, 0},          {0x80, 0, 0, 0}};
    std::memcpy(wire.data(), times, sizeof times);
    wire[32] = 7;
    RegisterEntry entry;
    decodeRegisterWire(wire, &entry);
    entry.clips[0] = "        ";
    return entry;
}

// The register as a plain register file gives it back.
RegisterEntry throughPlainFile(const RegisterEntry& entry) {
    RegisterEntry shown = entry;
    shown.reg.outB = {0, 0, 0, 0, 0, 1}; // no file holds hours 0xAA
    RegisterCollection registers;
    registers.set(5, shown);
    std::string text;
    EXPECT_TRUE(formatRegisterFile(registers, &text));
    EXPECT_TRUE(parseRegisterFile(text, &registers));
    RegisterEntry read = *registers.find(5);
    read.reg.outB = entry.reg.outB; // as the user left it
    read.deviceBytes[3] = entry.deviceBytes[3];
    return read;
}

RegisterWire wireOf(const RegisterEntry& entry) {
    RegisterWire wire{};
    EXPECT_TRUE(encodeRegisterWire(entry, &wire));
    return wire;
}

} // namespace

// What a file (or a table) wants against what the device holds: whether it is the same register,
// and what is sent when it is written. Fields the user did not change go back with the device's
// bytes, however the file wrote them.
TEST(RegisterEquivalence, SameRegisterAndTheBytesSent) {
    const RegisterEntry device = held();
    RegisterWire changedA = wireOf(device);
    changedA[0] = 0x01; // A IN frames 1
    RegisterWire changedB = wireOf(device);
    changedB[4 + 3] = 0x13; // A OUT set to 13:00:00:00
    changedB[4] = 0x00;
    changedB[5] = changedB[6] = 0x00;
    // The change to the file's register, whether it is the same, the bytes sent, the clips sent.
    const std::tuple<std::function<void(RegisterEntry&)>, bool, RegisterWire, std::string> cases[] =
        {
            {[](RegisterEntry&) {}, true, wireOf(device), "        "},
            {[](RegisterEntry& e) { e.reg.inA.frames = 1; }, false, changedA, "        "},
            {[](RegisterEntry& e) { e.reg.outA = {13, 0, 0, 0, 0, 0}; }, false, changedB,
             "        "},
            {[](RegisterEntry& e) { e.reg.outA.dropFrame = 1; }, false,
             [&] {
                 RegisterWire w = wireOf(device);
                 w[4] = 0xC0; // the notation is the user's; the numbers go
                 w[5] = w[6] = w[7] = 0;
                 return w;
             }(),
             "        "},
            {[](RegisterEntry& e) { e.clips[0] = "SHOT0001"; }, false, wireOf(device), "SHOT0001"},
            {[](RegisterEntry& e) { e.clips[0] = "********"; }, true, wireOf(device), "        "},
        };
    for (const auto& [change, same, wire, clipA] : cases) {
        RegisterEntry wanted = throughPlainFile(device);
        change(wanted);
        EXPECT_EQ(sameRegister(wanted, device), same) << clipA;
        const RegisterEntry sent = keepingDeviceBytes(wanted, device);
        EXPECT_EQ(wireOf(sent), wire) << clipA;
        EXPECT_EQ(sent.clips[0], clipA);
        EXPECT_TRUE(sameRegister(sent, wanted)); // the user gets what was asked for
    }
}

// A register without clip names keeps none while the names asked for are no clips; a name the
// user gave is sent.
TEST(RegisterEquivalence, NoClipNamesStayNone) {
    RegisterEntry device;
    device.noClipNames = true;
    RegisterEntry wanted;
    wanted.clips[1] = "        ";
    EXPECT_TRUE(sameRegister(wanted, device));
    EXPECT_TRUE(holdsNoClipNames(keepingDeviceBytes(wanted, device)));
    wanted.clips[2] = "REEL0002";
    EXPECT_FALSE(sameRegister(wanted, device));
    EXPECT_FALSE(holdsNoClipNames(keepingDeviceBytes(wanted, device)));
    // A name changed in an entry still marked as having none is a name to send.
    device.clips[3] = "REEL0003";
    EXPECT_FALSE(holdsNoClipNames(device));
}
