// One open handle on a simulated accessory.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>

#include "input_queue.h"
#include "zelo_backend/hid_backend.h"

namespace zelo::sim {

class AccessoryImpl;

struct Channel {
    Channel(std::uintptr_t token, const hid::OpenMode &mode, std::shared_ptr<AccessoryImpl> accessory)
        : token(token), mode(mode), accessory(std::move(accessory)) {}

    const std::uintptr_t token;
    const hid::OpenMode mode;
    const std::shared_ptr<AccessoryImpl> accessory;

    // Guarded by the accessory's mutex.
    InputQueue queue;
    bool closed = false;
    // A cancel ends the blocked read, or the next read when none is blocked,
    // once; it wins over reports that are waiting.
    bool cancelPending = false;
    std::condition_variable wake;
};

}  // namespace zelo::sim
