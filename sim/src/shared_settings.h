// World-wide settings that accessories read while they work.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

#include "zelo_backend/hid_backend.h"

namespace zelo::sim {

struct SharedSettings {
    std::atomic<std::int64_t> reportDelayUs{0};
    // How long a write waits on an endpoint that takes nothing (the
    // backend's time limit for one output report).
    std::atomic<std::uint32_t> writeLimitMs{hid::Timing{}.writeLimitMs};

    std::chrono::microseconds reportDelay() const { return std::chrono::microseconds(reportDelayUs.load()); }
};

}  // namespace zelo::sim
