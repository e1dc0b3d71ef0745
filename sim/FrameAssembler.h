// Puts command frames back together from the pieces in which the line delivers them.
//
// A frame is a function code, a length byte and that many payload bytes. When a partial frame
// has received nothing for `stallLimit`, it is thrown away, so that the next byte starts a new
// frame: a host that gave up halfway cannot leave the device out of step for good.
#pragma once

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

namespace tavrel::sim {

class FrameAssembler {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds stallLimit{100};

    // Adds received bytes; calls onFrame(frame, size, time of its first byte) for every frame they
    // complete, in order.
    template <class OnFrame>
    void add(const uint8_t* bytes, size_t count, Clock::time_point now, OnFrame&& onFrame) {
        discardStalled(now);
        while (count > 0) {
            if (_size == 0) {
                _firstByte = now;
            }
            const size_t take = std::min(missing(), count);
            std::memcpy(_frame.data() + _size, bytes, take);
            _size += take;
            bytes += take;
            count -= take;
            if (missing() == 0) {
                onFrame(_frame.data(), _size, _firstByte);
                _size = 0;
            }
        }
        _lastByte = now;
    }

    // When the partial frame will count as stalled; none when no frame is under way.
    std::optional<Clock::time_point> stallDeadline() const {
        if (_size == 0) {
            return std::nullopt;
        }
        return _lastByte + stallLimit;
    }

    void discardStalled(Clock::time_point now) {
        if (_size > 0 && now - _lastByte >= stallLimit) {
            _size = 0;
        }
    }

    void reset() { _size = 0; }

  private:
    size_t missing() const { return _size < 2 ? 2 - _size : 2 + size_t{_frame[1]} - _size; }

    std::array<uint8_t, 257> _frame{};
    size_t _size = 0;
    Clock::time_point _firstByte;
    Clock::time_point _lastByte;
};

} // namespace tavrel::sim
