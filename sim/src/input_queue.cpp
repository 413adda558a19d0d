#include "input_queue.h"

#include <algorithm>
#include <cstring>

namespace zelo::sim {

void InputQueue::push(std::vector<std::uint8_t> report, Clock::time_point arrival) {
    entries_.push_back({std::move(report), arrival});
}

void InputQueue::setCapacity(std::uint32_t capacity) { capacity_ = capacity; }

std::size_t InputQueue::countArrived(Clock::time_point now) const {
    const auto firstPending =
        std::find_if(entries_.begin(), entries_.end(), [&](const Entry &e) { return e.arrival > now; });
    return static_cast<std::size_t>(firstPending - entries_.begin());
}

void InputQueue::dropOverflow(Clock::time_point now) {
    for (std::size_t held = countArrived(now); held > capacity_; --held) entries_.pop_front();
}

std::size_t InputQueue::arrived(Clock::time_point now) {
    dropOverflow(now);
    return countArrived(now);
}

std::optional<Clock::time_point> InputQueue::nextArrival() const {
    if (entries_.empty()) return std::nullopt;
    return entries_.front().arrival;
}

std::uint32_t InputQueue::take(Clock::time_point now, std::uint8_t *buffer, std::size_t maxReports) {
    const std::size_t count = std::min(arrived(now), maxReports);
    std::uint32_t moved = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::vector<std::uint8_t> &report = entries_.front().report;
        std::memcpy(buffer + moved, report.data(), report.size());
        moved += static_cast<std::uint32_t>(report.size());
        entries_.pop_front();
    }
    return moved;
}

void InputQueue::flushArrived(Clock::time_point now) {
    for (std::size_t held = countArrived(now); held > 0; --held) entries_.pop_front();
}

}  // namespace zelo::sim
