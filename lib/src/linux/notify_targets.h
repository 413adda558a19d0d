// The targets registered through ZELO_RequestNotification, each told of
// every arrival and removal. A target registered twice is told once.
#pragma once

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "zelo_notify.h"

namespace zelo::hid::linux_backend {

class NotifyTargets {
public:
    // False when target cannot be called (null, or without a callback).
    bool add(const ZELO_NOTIFY_TARGET *target) {
        if (target == nullptr || target->callback == nullptr) {
            return false;
        }
        std::lock_guard lock(mutex_);
        if (std::find(targets_.begin(), targets_.end(), target) == targets_.end()) {
            targets_.push_back(target);
        }
        return true;
    }

    // Calls outside the lock, so a callback may register another target.
    void notify(bool arrived, const std::string &path) const {
        std::vector<const ZELO_NOTIFY_TARGET *> targets;
        {
            std::lock_guard lock(mutex_);
            targets = targets_;
        }
        for (const ZELO_NOTIFY_TARGET *target : targets) {
            target->callback(target->context, arrived ? 1 : 0, path.c_str());
        }
    }

private:
    mutable std::mutex mutex_;
    std::vector<const ZELO_NOTIFY_TARGET *> targets_;
};

}  // namespace zelo::hid::linux_backend
