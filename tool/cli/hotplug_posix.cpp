#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "hotplug.h"
#include "zelo.h"
#include "zelo_notify.h"

namespace zelo::cli {

namespace {

// The library keeps the target for as long as it is loaded, so target and
// context live as long as the process.
struct Arrivals {
    std::mutex lock;
    std::condition_variable arrived;
    std::uint64_t count = 0;
};

Arrivals &arrivals() {
    static Arrivals *const instance = new Arrivals();
    return *instance;
}

void heard(void *context, std::int32_t arrived, const char *) {
    if (arrived == 0) return;
    auto *state = static_cast<Arrivals *>(context);
    {
        std::lock_guard guard(state->lock);
        ++state->count;
    }
    state->arrived.notify_all();
}

void registerOnce() {
    static ZELO_NOTIFY_TARGET target{heard, &arrivals()};
    static const bool registered = [] {
        ZELO_RequestNotification(&target);
        return true;
    }();
    (void)registered;
}

}  // namespace

struct HotplugWatch::Impl {
    std::uint64_t seen = 0;
};

HotplugWatch::HotplugWatch() : impl_(std::make_unique<Impl>()) {
    registerOnce();
    std::lock_guard guard(arrivals().lock);
    impl_->seen = arrivals().count;
}

HotplugWatch::~HotplugWatch() = default;

bool HotplugWatch::waitForArrival(std::chrono::steady_clock::time_point deadline, const std::atomic<bool> &stop) {
    Arrivals &state = arrivals();
    std::unique_lock guard(state.lock);
    while (state.count == impl_->seen) {
        if (stop.load() || std::chrono::steady_clock::now() >= deadline) return false;
        const auto slice = std::min(deadline, std::chrono::steady_clock::now() + kStopCheckInterval);
        state.arrived.wait_until(guard, slice);
    }
    impl_->seen = state.count;
    return true;
}

}  // namespace zelo::cli
