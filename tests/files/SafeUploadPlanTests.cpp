#include "RegisterWire.h"
#include "SafeUploadPlan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

using namespace tavrel::files;
using namespace tavrel::records;

namespace {

constexpr RegisterTimeBytes OneHour{0x00, 0x00, 0x00, 0x01}; // 01:00:00:00 on the line

// A register as the device sends it: every time 01:00:00:00 but A OUT, sent as `aOut`.
RegisterEntry fromDevice(RegisterTimeBytes aOut) {
    RegisterWire wire{};
    for (size_t i = 0; i < 8; ++i) {
        const RegisterTimeBytes& time = i == 1 ? aOut : OneHour;
        std::copy(time.begin(), time.end(), wire.begin() + static_cast<std::ptrdiff_t>(4 * i));
    }
    RegisterEntry entry;
    decodeRegisterWire(wire, &entry);
    entry.clips = {"SHOT0001", "SHOT0002", "SHOT0003", "SHOT0004"};
    return entry;
}

// The same register as a table holds it, with A OUT as given.
RegisterEntry fromTable(VRG500_registerTime aOut) {
    RegisterEntry entry = fromDevice(OneHour);
    entry.reg.outA = aOut;
    return entry;
}

RegisterTimeBytes aOutSent(const RegisterEntry& entry) {
    RegisterWire wire{};
    EXPECT_TRUE(encodeRegisterWire(entry, &wire));
    return {wire[4], wire[5], wire[6], wire[7]};
}

std::vector<int32_t> numbersOf(const RegisterCollection& registers) {
    std::vector<int32_t> numbers;
    for (const auto& item : registers) {
        numbers.push_back(item.first);
    }
    return numbers;
}

} // namespace

// The table's register 5 against what the device holds there (none: it lacks the register):
// whether the upload writes it, and the bytes of A OUT it sends there. What the user sees as
// unchanged is not written, and goes with the device's own bytes where it is.
TEST(SafeUploadPlan, WritesWhatDiffersOverTheDevicesBytes) {
    const RegisterTimeBytes unsetHiding{0x80, 0x56, 0x34, 0x12}; // **:**:**:** over 12:34:56:00
    const RegisterTimeBytes seconds1A{0x00, 0x1A, 0x00, 0x01};   // reads 01:00:20:00
    const std::tuple<const char*, VRG500_registerTime, std::optional<RegisterTimeBytes>, bool,
                     RegisterTimeBytes>
        cases[] = {
            {"the same", {1, 0, 0, 0, 0, 0}, OneHour, false, OneHour},
            {"frames changed", {1, 0, 0, 1, 0, 0}, OneHour, true, {0x01, 0x00, 0x00, 0x01}},
            {"unset over numbers", {0, 0, 0, 0, 0, 1}, unsetHiding, false, unsetHiding},
            {"unset, drop frame", {0, 0, 0, 0, 1, 1}, unsetHiding, true, {0xC0, 0, 0, 0}},
            {"seconds as 0x1A", {1, 0, 20, 0, 0, 0}, seconds1A, false, seconds1A},
            {"0x1A changed", {1, 0, 21, 0, 0, 0}, seconds1A, true, {0x00, 0x21, 0x00, 0x01}},
            {"lacked by the device", {1, 0, 0, 0, 0, 0}, std::nullopt, true, OneHour},
        };
    for (const auto& [what, table, held, written, sent] : cases) {
        RegisterCollection source;
        source.set(5, fromTable(table));
        RegisterCollection device;
        if (held) {
            device.set(5, fromDevice(*held));
        }
        EXPECT_EQ(registersToRead(source, {0, 9}), std::vector<int32_t>{5}) << what;
        EXPECT_EQ(registersToWrite(source, device, {0, 9}),
                  written ? std::vector<int32_t>{5} : std::vector<int32_t>{})
            << what;
        EXPECT_EQ(aOutSent(registerToSend(*source.find(5), device.find(5))), sent) << what;
    }
}

// Which registers of the table a range reads, and which of them it writes when the device holds
// 0 and 9 as the table does and 10 otherwise: both ends belong to the range.
TEST(SafeUploadPlan, TakesTheRangeWithBothEnds) {
    RegisterCollection source;
    RegisterCollection device;
    for (const int32_t number : {-3, 0, 1, 9, 10, 65535}) {
        source.set(number, fromTable({1, 0, 0, 0, 0, 0}));
    }
    device.set(0, fromDevice(OneHour));
    device.set(9, fromDevice(OneHour));
    device.set(10, fromDevice({0x05, 0x00, 0x00, 0x01}));
    using Numbers = std::vector<int32_t>;
    const std::tuple<RegisterRange, Numbers, Numbers> cases[] = {
        {{0, 9}, {0, 1, 9}, {1}},
        {{1, 9}, {1, 9}, {1}},
        {{9, 10}, {9, 10}, {10}},
        {{10, 10}, {10}, {10}},
        {{2, 8}, {}, {}},
        {{9, 8}, {}, {}},
        {EveryRegisterNumber, {-3, 0, 1, 9, 10, 65535}, {-3, 1, 10, 65535}},
    };
    for (const auto& [range, toRead, toWrite] : cases) {
        EXPECT_EQ(registersToRead(source, range), toRead) << range.first << "-" << range.last;
        EXPECT_EQ(registersToWrite(source, device, range), toWrite)
            << range.first << "-" << range.last;
    }
}

// The registers kept in a snapshot: those of the numbers that were read, passing over a number
// the device gave nothing for.
TEST(SafeUploadPlan, OnlyRegistersTakesThoseItHolds) {
    RegisterCollection device;
    device.set(0, fromDevice(OneHour));
    device.set(9, fromDevice(OneHour));
    device.set(10, fromDevice(OneHour));
    EXPECT_EQ(numbersOf(onlyRegisters(device, {-3, 0, 1, 10})), (std::vector<int32_t>{0, 10}));
    EXPECT_TRUE(onlyRegisters(device, {}).empty());
}
