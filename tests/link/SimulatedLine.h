// A simulated VRG-500 on a pseudo-terminal and a connection to it, for tests of the device link.
#pragma once

#include "TavrelSocket.h"
#include "Vrg500Simulator.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace tavrel::link;
using namespace tavrel::records;
using namespace tavrel::sim;

// Whether the device behind `socket` answers a version request: the connection still works.
inline ::testing::AssertionResult answers(TavrelSocket& socket) {
    std::string version;
    TavrelError error;
    if (socket.deviceVersion(&version, &error)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << error.description << ": " << error.failureReason.value_or("");
}

class SimulatedLine : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string reason;
        ASSERT_TRUE(sim.start(&reason)) << reason;
        socket = TavrelSocket::socketForDeviceFilePath(sim.slavePath());
        ASSERT_TRUE(socket);
    }

    std::vector<uint8_t> lastFrame() {
        auto frames = sim.receivedFrames();
        return frames.empty() ? std::vector<uint8_t>{} : frames.back();
    }

    Vrg500Simulator sim;
    std::shared_ptr<TavrelSocket> socket;
};

inline std::vector<uint8_t> bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values) {
        out.push_back(static_cast<uint8_t>(v));
    }
    return out;
}

inline std::vector<uint8_t> operator+(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline std::vector<uint8_t> filled(size_t count, uint8_t value) {
    return std::vector<uint8_t>(count, value);
}
