// Waiting for what another thread or process brings about, with a deadline that only keeps a
// broken build from hanging a test.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

// True once `condition` holds; false when it still does not after `limit`.
inline bool eventually(const std::function<bool()>& condition,
                       std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
