// A boolean that threads can wait on with a deadline.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace zelo {

class SignalFlag {
public:
    void set(bool value) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            value_ = value;
        }
        changed_.notify_all();
    }

    bool get() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return value_;
    }

    // Waits up to timeout for the flag to become value; returns whether it is.
    template <class Rep, class Period>
    bool waitFor(bool value, std::chrono::duration<Rep, Period> timeout) const {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return value_ == value; });
    }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool value_ = false;
};

}  // namespace zelo
