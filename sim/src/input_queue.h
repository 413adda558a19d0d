// One channel's queue of input reports, as the HID driver keeps it: reports
// that have arrived wait here; when more arrive than the queue holds, the
// oldest are dropped. Reports may be scheduled to arrive later (report
// delay, delayed answers); those are still "on the wire".
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace zelo::sim {

using Clock = std::chrono::steady_clock;

class InputQueue {
public:
    static constexpr std::uint32_t kDefaultCapacity = 32;

    // Arrival times never decrease, so arrived reports are always a prefix.
    void push(std::vector<std::uint8_t> report, Clock::time_point arrival);
    void setCapacity(std::uint32_t capacity);

    std::size_t arrived(Clock::time_point now);
    std::optional<Clock::time_point> nextArrival() const;
    // Moves up to maxReports arrived reports into buffer; returns the bytes moved.
    std::uint32_t take(Clock::time_point now, std::uint8_t *buffer, std::size_t maxReports);
    void flushArrived(Clock::time_point now);
    // Reports still to be taken, whether arrived or on the wire.
    std::size_t waiting() const { return entries_.size(); }

private:
    struct Entry {
        std::vector<std::uint8_t> report;
        Clock::time_point arrival;
    };

    void dropOverflow(Clock::time_point now);
    std::size_t countArrived(Clock::time_point now) const;

    std::deque<Entry> entries_;
    std::uint32_t capacity_ = kDefaultCapacity;
};

}  // namespace zelo::sim
