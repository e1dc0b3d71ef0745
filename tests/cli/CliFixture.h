// A simulated VRG-500 on a pseudo-terminal, a temporary folder, and helpers to build the bytes
// that the device holds and receives.
#pragma once

#include "../link/Eventually.h"
#include "RegisterFile.h"
#include "RegisterTimeWire.h"
#include "TempFolder.h"
#include "ToolProcess.h"
#include "Vrg500Simulator.h"

#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>
#include <vector>

using namespace tavrel::files;
using namespace tavrel::records;
using namespace tavrel::sim;

using Frame = std::vector<uint8_t>;

inline void PrintTo(const ToolResult& result, std::ostream* os) {
    *os << "status " << result.status << ", out " << ::testing::PrintToString(result.out)
        << ", err " << ::testing::PrintToString(result.err);
}

// What a command that succeeded gives, and one that failed with status 1.
inline ToolResult succeeded(std::string out = "") {
    return {0, std::move(out), ""};
}
inline ToolResult failed(std::string err) {
    return {1, "", std::move(err)};
}

// The eight unset times of a register file line.
inline const std::string Nulls = "**:**:**:**,**:**:**:**,**:**:**:**,**:**:**:**,**:**:**:**,"
                                 "**:**:**:**,**:**:**:**,**:**:**:**";

// The register of one register file line.
inline RegisterEntry entryOf(const std::string& line) {
    RegisterCollection registers;
    EXPECT_TRUE(parseRegisterFile(line, &registers)) << line;
    return registers.empty() ? RegisterEntry{} : registers.entryAt(0);
}

// The 34 bytes of a register as the device keeps it: eight packed times, two trailing bytes.
inline std::array<uint8_t, 34> registerWire(const VRG500_register& reg) {
    std::array<uint8_t, 34> wire{};
    for (size_t i = 0; i < 8; ++i) {
        vrg500wire::packRegisterTime(reg.*VRG500_registerTimes[i], &wire[i * 4]);
    }
    wire[32] = reg.trailingByte1;
    wire[33] = reg.trailingByte2;
    return wire;
}

inline std::array<uint8_t, 32> clipWire(const std::string& names) {
    std::array<uint8_t, 32> wire{};
    std::copy_n(names.begin(), std::min<size_t>(32, names.size()), wire.begin());
    return wire;
}

inline Frame frame(uint8_t function, std::vector<uint8_t> payload = {}) {
    Frame bytes{function, static_cast<uint8_t>(payload.size())};
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    return bytes;
}

inline Frame registerRequest(uint8_t function, uint32_t number) {
    return frame(function, {static_cast<uint8_t>(number >> 8), static_cast<uint8_t>(number)});
}

inline const Frame VersionRequest = frame(0x11);

// A write frame: its function, the register number, then the bytes.
template <typename Bytes> Frame load(uint8_t function, uint32_t number, const Bytes& bytes) {
    Frame payload{static_cast<uint8_t>(number >> 8), static_cast<uint8_t>(number)};
    payload.insert(payload.end(), std::begin(bytes), std::end(bytes));
    return frame(function, payload);
}

// The version request, then the frames that read registers `numbers` in turn: times, clip names.
inline std::vector<Frame> reads(const std::vector<uint32_t>& numbers) {
    std::vector<Frame> sent{VersionRequest};
    for (uint32_t n : numbers) {
        sent.insert(sent.end(), {registerRequest(0x20, n), registerRequest(0x25, n)});
    }
    return sent;
}

// The arguments of `command`, split at blanks; '' is an empty argument and PORT stands for the
// port.
inline std::vector<std::string> split(const std::string& command, const std::string& port) {
    std::vector<std::string> args;
    std::istringstream words(command);
    for (std::string word; words >> word;) {
        size_t at = word.find("PORT");
        args.push_back(word == "''"              ? ""
                       : at == std::string::npos ? word
                                                 : word.replace(at, 4, port));
    }
    return args;
}

class CliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string why;
        ASSERT_TRUE(sim.start(&why)) << why;
        port = sim.slavePath();
    }

    std::vector<Frame> frames() const { return sim.receivedFrames(); }
    ToolResult run(const std::string& command) const { return runTool(split(command, port)); }

    Vrg500Simulator sim;
    TempFolder folder;
    std::string port;
};
