// World-wide settings that accessories read while they work.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

namespace zelo::sim {

struct SharedSettings {
    std::atomic<std::int64_t> reportDelayUs{0};

    std::chrono::microseconds reportDelay() const { return std::chrono::microseconds(reportDelayUs.load()); }
};

}  // namespace zelo::sim
