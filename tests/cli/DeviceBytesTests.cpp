// What the device holds comes back exactly, through tavrelctl and a real pseudo-terminal: unset
// times hiding numbers, clip names of eight blanks, a register without clip names and time bytes
// that are not decimal survive a download and upload, an edit of other fields, and a backup
// restored.
#include "CliFixture.h"

#include <optional>

namespace {

using Wire = std::array<uint8_t, 34>;
using Clips = std::optional<std::array<uint8_t, 32>>;

Wire wireOf(std::initializer_list<std::array<uint8_t, 4>> times) {
    Wire wire{};
    size_t at = 0;
    for (const auto& time : times) {
        std::copy(time.begin(), time.end(), wire.begin() + static_cast<std::ptrdiff_t>(at));
        at += 4;
    }
    for (; at < 32; at += 4) {
        wire[at] = 0x80; // unset
    }
    return wire;
}

// Registers 0 to 3 as the device holds them.
const std::array<std::pair<Wire, Clips>, 4> Held = {{
    // Unset times hiding numbers; a clip name of eight blanks.
    {wireOf({{0xFF, 0xFF, 0xFF, 0xFF}, {0x80, 0x56, 0x34, 0x12}, {0xC0, 0x00, 0x00, 0x01}}),
     clipWire("SHOT0001        ****************")},
    // No clip names at all.
    {wireOf({{0x00, 0x00, 0x00, 0x01}, {0x00, 0x00, 0x10, 0x01}}), std::nullopt},
    // A plain register.
    {wireOf({{0x29, 0x59, 0x59, 0x23}}), clipWire("REEL0001REEL0002REEL0003REEL0004")},
    // Hours 0xAA and seconds 0x1A, which no register file line can hold.
    {wireOf({{0x00, 0x00, 0x00, 0xAA}, {0x00, 0x1A, 0x00, 0x01}}), clipWire(std::string(32, '*'))},
}};

class DeviceBytes : public CliTest {
  protected:
    void SetUp() override {
        CliTest::SetUp();
        for (uint16_t n = 0; n < uint16_t(Held.size()); ++n) {
            sim.setRegisterWire(n, Held[n].first);
            sim.setClipNames(n, Held[n].second);
        }
    }

    void expectDeviceAsHeld() {
        for (uint16_t n = 0; n < uint16_t(Held.size()); ++n) {
            EXPECT_EQ(sim.registerWire(n), Held[n].first) << n;
            EXPECT_EQ(sim.clipNames(n), Held[n].second) << n;
        }
    }
};

} // namespace

// A fresh download is the device's own: the same by diff, and nothing to upload.
TEST_F(DeviceBytes, FreshDownloadComparesEqualAndUploadsNothing) {
    const std::string file = folder.path("d.vg2");
    ASSERT_EQ(run("download -p PORT -r 0-2 -o " + file), succeeded());
    const std::pair<std::string, ToolResult> cases[] = {
        {"diff -p PORT -r 0-2 " + file, succeeded()},
        {"upload -p PORT -r 0-3 --changed-only " + file,
         succeeded("0 of 3 registers written; the others already matched\n")},
    };
    for (const auto& [command, result] : cases) {
        sim.clearReceivedFrames();
        EXPECT_EQ(run(command), result) << command;
        EXPECT_EQ(frames(), reads({0, 1, 2})) << command;
    }
    expectDeviceAsHeld();
}

// A register written because one field changed keeps the device's bytes in every other field; a
// backup of the range, undecodable register included, puts every byte back.
TEST_F(DeviceBytes, EditKeepsTheRestAndTheBackupRestoresEveryByte) {
    const std::string file = folder.path("d.vg2");
    const std::string backup = folder.path("b.vg2");
    ASSERT_EQ(run("download -p PORT -r 0-2 -o " + file), succeeded());
    RegisterCollection edited;
    ASSERT_TRUE(readRegisterFile(file, &edited));
    for (int32_t n = 0; n < 3; ++n) {
        RegisterEntry entry = *edited.find(n);
        entry.reg.trailingByte1 = 99;
        edited.set(n, entry);
    }
    ASSERT_TRUE(writeRegisterFile(file, edited));
    sim.clearReceivedFrames();
    ASSERT_EQ(run("upload -p PORT -r 0-3 --changed-only --backup " + backup + " " + file),
              succeeded("3 of 3 registers written\n"));
    std::vector<Frame> expected = reads({0, 1, 2, 3});
    for (uint8_t n = 0; n < 3; ++n) {
        Wire wire = Held[n].first;
        wire[32] = 99;
        expected.push_back(load(0x40, n, wire));
        if (Held[n].second) { // register 1 gets no names it never had
            expected.push_back(load(0x45, n, *Held[n].second));
        }
    }
    EXPECT_EQ(frames(), expected);

    sim.clearReceivedFrames();
    ASSERT_EQ(run("upload -p PORT -r 0-3 --changed-only " + backup),
              succeeded("3 of 4 registers written; the others already matched\n"));
    expectDeviceAsHeld();
    EXPECT_EQ(run("diff -p PORT -r 0-3 " + backup), succeeded());
}
