// Input reports leave a full-speed interrupt endpoint one per frame: the
// pacer hands out send times at least one interval apart.
#pragma once

#include <chrono>

namespace zelo::uhid {

inline constexpr std::chrono::microseconds kUsbFrame{1000};

class Pacer {
public:
    using Clock = std::chrono::steady_clock;

    explicit Pacer(std::chrono::microseconds interval = kUsbFrame) : interval_(interval) {}

    // The time a report ready at now may go; that slot is then taken.
    Clock::time_point slotFor(Clock::time_point now) {
        const Clock::time_point slot = started_ && last_ + interval_ > now ? last_ + interval_ : now;
        last_ = slot;
        started_ = true;
        return slot;
    }

private:
    std::chrono::microseconds interval_;
    Clock::time_point last_{};
    bool started_ = false;
};

}  // namespace zelo::uhid
