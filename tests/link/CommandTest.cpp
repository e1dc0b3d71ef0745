// Every command's request bytes on the line, and its accepted and refused replies.
#include "SimulatedLine.h"
#include "UploadCheck.h"

#include <functional>

using namespace tavrel::files;

namespace {

const char* const NoError = "";
// The errors of replies a reading command does not take.
const char* const VersionRefused = "Unexpected response to Version request";
const char* const CurrentRefused = "Unexpected response to Current Register Number request";
const char* const MenuRefused = "Unexpected response from Menu Data Request";
const char* const RegisterRefused = "Unexpected response to Register Time request";
const char* const ClipsRefused = "Unexpected response to Register Clip Name request";

struct CommandCase {
    const char* name;
    std::function<bool(TavrelSocket&, TavrelError*)> command;
    std::vector<uint8_t> request; // the whole frame expected on the line
    std::vector<uint8_t> reply;   // sent back as is
    const char* errorDescription; // NoError when the command succeeds
};

VRG500_register sampleRegister() {
    VRG500_register reg;
    reg.inA = {1, 0, 0, 0, 0, 0};
    reg.outA = {1, 0, 10, 0, 0, 0};
    for (int i = 2; i < 8; ++i) {
        (reg.*VRG500_registerTimes[i]).isNull = 1;
    }
    reg.outD = {23, 59, 59, 29, 1, 0};
    reg.trailingByte1 = 0;
    reg.trailingByte2 = 12;
    return reg;
}

// The 34 wire bytes of sampleRegister().
std::vector<uint8_t> sampleWire() {
    return bytes({0x00, 0x00, 0x00, 0x01, 0x00, 0x10, 0x00, 0x01}) + bytes({0x80, 0, 0, 0}) +
           bytes({0x80, 0, 0, 0}) + bytes({0x80, 0, 0, 0}) + bytes({0x80, 0, 0, 0}) +
           bytes({0x80, 0, 0, 0}) + bytes({0x69, 0x59, 0x59, 0x23}) + bytes({0, 12});
}

const std::vector<uint8_t> Ack = {0x10, 1, 0x06};
const std::vector<uint8_t> Nak = {0x10, 1, 0x15};
const std::vector<uint8_t> True = {0x12, 1, 0x01};
const std::vector<uint8_t> False = {0x12, 1, 0x00};

std::vector<uint8_t> clipWire() {
    std::string names = "SHOT0001CLIP    ********B-ROLL_1";
    return std::vector<uint8_t>(names.begin(), names.end());
}

std::vector<uint8_t> withoutLast(std::vector<uint8_t> v) {
    v.pop_back();
    return v;
}

// A command that reads one value: `expected` on success, `untouched` left as it was on failure.
template <typename T>
auto reads(bool (TavrelSocket::*read)(T*, TavrelError*), T expected, T untouched) {
    return [=](TavrelSocket& s, TavrelError* e) {
        T value = untouched;
        const bool ok = (s.*read)(&value, e);
        EXPECT_EQ(value, ok ? expected : untouched);
        return ok;
    };
}

std::vector<CommandCase> commandCases() {
    auto version = [](std::string expected) {
        return reads(&TavrelSocket::deviceVersion, expected, std::string("unchanged"));
    };
    auto video = [](int32_t expected) { return reads(&TavrelSocket::videoStandard, expected, -5); };
    auto current = reads<uint16_t>(&TavrelSocket::currentRegisterNumber, 7, 999);
    auto setCurrent = [](TavrelSocket& s, TavrelError* e) {
        return s.setCurrentRegisterNumber(300, e);
    };
    auto menu = [](uint8_t expected) {
        VRG500_menuData block, untouched;
        block.fill(expected);
        untouched.fill(0xEE);
        return reads(&TavrelSocket::menuData, block, untouched);
    };
    auto setMenu = [](TavrelSocket& s, TavrelError* e) {
        VRG500_menuData block;
        for (size_t i = 0; i < block.size(); ++i) {
            block[i] = static_cast<uint8_t>(i * 8);
        }
        return s.setMenuData(block, e);
    };
    auto readRegister = [](TavrelSocket& s, TavrelError* e) {
        VRG500_register reg;
        reg.trailingByte1 = 77;
        bool ok = s.registerData(&reg, 258, e);
        auto expected = sampleRegister();
        EXPECT_EQ(reg.trailingByte1, ok ? expected.trailingByte1 : 77);
        if (ok) {
            EXPECT_EQ(reg.outD.dropFrame, 1);
            EXPECT_EQ(reg.outD.frames, 29);
            EXPECT_EQ(reg.outA.seconds, 10);
            EXPECT_EQ(reg.inB.isNull, 1);
            EXPECT_EQ(reg.trailingByte2, 12);
        }
        return ok;
    };
    auto writeRegister = [](TavrelSocket& s, TavrelError* e) {
        return s.setRegisterData(sampleRegister(), 258, e);
    };
    auto addOffset = [](TavrelSocket& s, TavrelError* e) {
        return s.registerTimeOffsetAdd(1, 0, 0, 0, true, false, true, false, 7, e);
    };
    auto subtractOffset = [](TavrelSocket& s, TavrelError* e) {
        return s.registerTimeOffsetSubtract(0, 0, 10, 15, false, false, false, true, 300, e);
    };
    auto noMachineOffset = [](TavrelSocket& s, TavrelError* e) {
        return s.registerTimeOffsetAdd(0, 1, 0, 0, false, false, false, false, 1, e);
    };
    auto readClips = [](bool expectNames) {
        return [expectNames](TavrelSocket& s, TavrelError* e) {
            std::optional<std::string> a = "old", b = "old", c = "old", d = "old";
            bool ok = s.registerClipName(&a, &b, &c, &d, 5, e);
            if (!ok) {
                EXPECT_EQ(a, "old");
                EXPECT_EQ(d, "old");
            } else if (expectNames) {
                EXPECT_EQ(a, "SHOT0001");
                EXPECT_EQ(b, "CLIP    ");
                EXPECT_EQ(c, "********");
                EXPECT_EQ(d, "B-ROLL_1");
            } else {
                EXPECT_FALSE(a || b || c || d);
            }
            return ok;
        };
    };
    auto writeClips = [](TavrelSocket& s, TavrelError* e) {
        return s.setRegisterClipName("SHOT0001", "CLIP    ", "********", "B-ROLL_1", 5, e);
    };

    const auto versionRequest = bytes({0x11, 0});
    const auto registerRequest = bytes({0x20, 2, 0x01, 0x02});
    const auto clipRequest = bytes({0x25, 2, 0, 5});
    const auto menuRequest = bytes({0x26, 2, 0, 0});
    std::vector<uint8_t> menuLoad = bytes({0x46, 32});
    for (int i = 0; i < 32; ++i) {
        menuLoad.push_back(static_cast<uint8_t>(i * 8));
    }
    const auto registerLoad = bytes({0x40, 36, 0x01, 0x02}) + sampleWire();
    const auto clipLoad = bytes({0x45, 34, 0, 5}) + clipWire();
    const auto addRequest = bytes({0x42, 7, 0x00, 0x07, 0x05, 0x00, 0x00, 0x00, 0x01});
    const auto subtractRequest = bytes({0x43, 7, 0x01, 0x2C, 0x08, 0x15, 0x10, 0x00, 0x00});

    return {
        {"version", version("2.10"), versionRequest, bytes({0x11, 4, '2', '.', '1', '0'}), NoError},
        {"empty version", version(""), versionRequest, bytes({0x11, 0}), NoError},
        {"version high bytes", version("\xE9\xFF"), versionRequest, bytes({0x11, 2, 0xE9, 0xFF}),
         NoError},
        {"version ack", version(""), versionRequest, Ack, VersionRefused},
        {"version bad bool", version(""), versionRequest, bytes({0x12, 2, 0, 1}),
         "Unknown response type for boolean response"},
        {"video false", video(0), bytes({0x12, 0}), False, NoError},
        {"video true", video(1), bytes({0x12, 0}), True, NoError},
        {"video data", video(0), bytes({0x12, 0}), bytes({0x13, 1, 1}),
         "Unexpected response to Video Standard request"},
        {"current", current, bytes({0x21, 0}), bytes({0x21, 2, 0x00, 0x07}), NoError},
        {"current short", current, bytes({0x21, 0}), bytes({0x21, 1, 7}), CurrentRefused},
        {"current long", current, bytes({0x21, 0}), bytes({0x21, 3, 0, 0, 7}), CurrentRefused},
        {"current ack", current, bytes({0x21, 0}), Ack, CurrentRefused},
        {"set current", setCurrent, bytes({0x41, 2, 0x01, 0x2C}), Ack, NoError},
        {"set current nak", setCurrent, bytes({0x41, 2, 0x01, 0x2C}), Nak,
         "Unexpected response to Set Current Register Number request"},
        {"menu", menu(0x5A), menuRequest, bytes({0x26, 32}) + filled(32, 0x5A), NoError},
        {"menu ack", menu(0), menuRequest, Ack, NoError},
        {"menu 31", menu(0), menuRequest, bytes({0x26, 31}) + filled(31, 1), MenuRefused},
        {"menu 33", menu(0), menuRequest, bytes({0x26, 33}) + filled(33, 1), MenuRefused},
        {"menu nak", menu(0), menuRequest, Nak, MenuRefused},
        {"menu load ack", setMenu, menuLoad, Ack, NoError},
        {"menu load nak", setMenu, menuLoad, Nak, NoError},
        {"menu load bool", setMenu, menuLoad, False, "Unexpected response from Menu Data Load"},
        {"register", readRegister, registerRequest, bytes({0x20, 36, 0x01, 0x02}) + sampleWire(),
         NoError},
        {"register 35", readRegister, registerRequest,
         bytes({0x20, 35, 0x01, 0x02}) + withoutLast(sampleWire()), RegisterRefused},
        {"register 37", readRegister, registerRequest,
         bytes({0x20, 37, 0x01, 0x02}) + sampleWire() + bytes({0}), RegisterRefused},
        {"register nak", readRegister, registerRequest, Nak, RegisterRefused},
        {"register other number", readRegister, registerRequest,
         bytes({0x20, 36, 0x01, 0x03}) + sampleWire(),
         "Unexpected register number response to Register Time request"},
        {"register load", writeRegister, registerLoad, Ack, NoError},
        {"register load nak", writeRegister, registerLoad, Nak,
         "Unexpected response to Register Time Load"},
        {"offset add", addOffset, addRequest, Ack, NoError},
        {"offset subtract", subtractOffset, subtractRequest, Ack, NoError},
        {"offset no machine", noMachineOffset, bytes({0x42, 7, 0, 1, 0, 0, 0, 0x01, 0}), Ack,
         NoError},
        {"offset nak", addOffset, addRequest, Nak,
         "Unexpected response to Register Time Offset request"},
        {"clips", readClips(true), clipRequest, bytes({0x25, 34, 0, 5}) + clipWire(), NoError},
        {"clips nak", readClips(false), clipRequest, Nak, NoError},
        {"clips ack", readClips(false), clipRequest, Ack, ClipsRefused},
        {"clips 33", readClips(false), clipRequest,
         bytes({0x25, 33, 0, 5}) + withoutLast(clipWire()), ClipsRefused},
        {"clips 35", readClips(false), clipRequest,
         bytes({0x25, 35, 0, 5}) + clipWire() + bytes({0}), ClipsRefused},
        {"clips other number", readClips(false), clipRequest, bytes({0x25, 34, 0, 6}) + clipWire(),
         "Unexpected register number response to Register Time request"},
        {"clip load ack", writeClips, clipLoad, Ack, NoError},
        {"clip load nak", writeClips, clipLoad, Nak, NoError},
        {"clip load bool", writeClips, clipLoad, True,
         "Unexpected response to Register Clip Name Load"},
    };
}

} // namespace

class Commands : public SimulatedLine {};

TEST_F(Commands, SendExactFramesAndCheckTheirReplies) {
    for (const auto& c : commandCases()) {
        SCOPED_TRACE(c.name);
        sim.clearReceivedFrames();
        sim.queueRawReply(c.reply);
        TavrelError error;
        bool expectSuccess = c.errorDescription == NoError;
        EXPECT_EQ(c.command(*socket, &error), expectSuccess);
        EXPECT_EQ(lastFrame(), c.request);
        if (!expectSuccess) {
            EXPECT_EQ(error.description, c.errorDescription);
            EXPECT_EQ(error.domain, "TavrelDomain");
            EXPECT_EQ(error.code, 0);
            EXPECT_EQ(error.recoverySuggestion, TavrelDeviceRecoverySuggestion);
            EXPECT_FALSE(error.failureReason);
        }
    }
}

// Downloading a register and uploading it back gives the device the bytes it sent, also for null
// times whose digits are not decimal: those keep their numbers, which pack back to the same bytes.
TEST_F(Commands, RegisterReadBackWritesTheSameBytes) {
    const std::vector<uint8_t> nullPatterns[] = {
        filled(4, 0xFF),
        bytes({0xBF, 0xA5, 0xFA, 0xE0}),
        bytes({0x80, 0xFC, 0xB7, 0xD0}),
        bytes({0xFA, 0xF0, 0xC9, 0xFE}),
    };
    std::vector<std::vector<uint8_t>> wires = {sampleWire()};
    for (const auto& pattern : nullPatterns) {
        std::vector<uint8_t> wire = sampleWire();
        std::copy(pattern.begin(), pattern.end(), wire.begin() + 8);  // B IN
        std::copy(pattern.begin(), pattern.end(), wire.begin() + 28); // D OUT
        wires.push_back(wire);
    }
    for (const auto& wire : wires) {
        SCOPED_TRACE(::testing::PrintToString(wire));
        std::array<uint8_t, 34> stored{};
        std::copy(wire.begin(), wire.end(), stored.begin());
        sim.setRegisterWire(258, stored);
        RegisterEntry entry;
        ASSERT_TRUE(socket->registerData(&entry.reg, 258));
        EXPECT_FALSE(firstUploadProblem(entry).has_value());
        TavrelError error;
        ASSERT_TRUE(socket->setRegisterData(entry.reg, 259, &error)) << error.description;
        EXPECT_EQ(sim.registerWire(259), stored);
    }
}

TEST_F(Commands, RefusesWhatTheWireCannotCarryAndSendsNothing) {
    struct Refusal {
        const char* name;
        std::function<bool(TavrelError*)> command;
        const char* description;
    };
    auto clipsWithShortNames = [this](TavrelError* e) {
        return socket->setRegisterClipName("SHOT001", "CLIP0002", "CLIP003", "CLIP0004", 1, e);
    };
    auto clipsWithAbsentName = [this](TavrelError* e) {
        return socket->setRegisterClipName("SHOT0001", "CLIP0002", "CLIP0003", std::nullopt, 1, e);
    };
    auto hoursAbove99 = [this](TavrelError* e) {
        VRG500_register reg = sampleRegister();
        reg.inC = {100, 0, 0, 0, 0, 0};
        return socket->setRegisterData(reg, 1, e);
    };
    auto frames40 = [this](TavrelError* e) {
        VRG500_register reg = sampleRegister();
        reg.outB = {0, 0, 0, 40, 0, 0};
        return socket->setRegisterData(reg, 1, e);
    };
    auto offsetFrames40 = [this](TavrelError* e) {
        return socket->registerTimeOffsetAdd(0, 0, 0, 40, true, true, true, true, 1, e);
    };
    auto bigPayload = [this](TavrelError* e) {
        std::vector<uint8_t> payload(256, 1);
        VRG500_response reply;
        return socket->_sendCommandWithFunction(0x46, payload.data(), payload.size(), &reply, e);
    };
    const Refusal refusals[] = {
        {"short clip names", clipsWithShortNames, "Clip Name A not 8 bytes in length"},
        {"absent clip name", clipsWithAbsentName, "Clip Name D not 8 bytes in length"},
        {"hours above 99", hoursAbove99, "Invalid register time for Register Time Load"},
        {"frames 40", frames40, "Invalid register time for Register Time Load"},
        {"offset frames 40", offsetFrames40, "Invalid offset for Register Time Offset request"},
        {"payload over 255", bigPayload, "Error writing data to serial device"},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.name);
        sim.clearReceivedFrames();
        TavrelError error;
        EXPECT_FALSE(r.command(&error));
        EXPECT_EQ(error.description, r.description);
        EXPECT_FALSE(r.command(nullptr));
        EXPECT_TRUE(answers(*socket)); // normally: nothing was sent
        EXPECT_EQ(sim.receivedFrames().size(), 1u);
    }
}
