// One snapshot of the accessory's interfaces per enumerating thread: a scan
// asks for index 0, 1, 2, ... and must see one consistent list even while
// another thread scans too. Index 0 takes a fresh snapshot; running past
// the end drops it; beyond kMaxSnapshots threads the oldest goes.
#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "hid_api.h"

namespace zelo::hid::linux_backend {

class InterfaceSnapshots {
public:
    using Enumerate = std::function<std::vector<HidInterface>()>;

    explicit InterfaceSnapshots(Enumerate enumerate) : enumerate_(std::move(enumerate)) {}

    // Interface number index of the calling thread's scan; nullopt past the end.
    std::optional<HidInterface> at(int index) {
        if (index < 0) {
            return std::nullopt;
        }
        std::vector<HidInterface> fresh;
        if (index == 0) {
            fresh = enumerate_();  // outside the lock: it may take a while
        }
        std::lock_guard lock(mutex_);
        const std::thread::id self = std::this_thread::get_id();
        auto it = findThread(self);
        if (index == 0) {
            if (it != snapshots_.end()) {
                snapshots_.erase(it);
            }
            if (snapshots_.size() >= kMaxSnapshots) {
                snapshots_.erase(snapshots_.begin());
            }
            snapshots_.emplace_back(self, std::move(fresh));
            it = snapshots_.end() - 1;
        }
        if (it == snapshots_.end()) {
            return std::nullopt;
        }
        const auto position = static_cast<std::size_t>(index);
        if (position >= it->second.size()) {
            snapshots_.erase(it);
            return std::nullopt;
        }
        return it->second[position];
    }

private:
    static constexpr std::size_t kMaxSnapshots = 16;
    using Snapshot = std::pair<std::thread::id, std::vector<HidInterface>>;

    std::vector<Snapshot>::iterator findThread(std::thread::id id) {
        for (auto it = snapshots_.begin(); it != snapshots_.end(); ++it) {
            if (it->first == id) {
                return it;
            }
        }
        return snapshots_.end();
    }

    Enumerate enumerate_;
    std::mutex mutex_;
    std::vector<Snapshot> snapshots_;
};

}  // namespace zelo::hid::linux_backend
