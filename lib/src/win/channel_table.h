// Per-channel state of the Windows backend, keyed by the channel's handle.
// A read holds its channel's io lock for its whole life; close takes the
// same lock before closing the handle, so a handle is never closed (and its
// value never reused) under a read that still uses it.
#pragma once

#include <memory>
#include <mutex>
#include <unordered_map>

#include "unique_handle.h"
#include "win_api.h"

namespace zelo::win {

struct ChannelState {
    HANDLE handle = nullptr;
    bool overlapped = false;
    // Overlapped channels only. Manual reset: ReadFile clears it and the
    // driver sets it when the request has finished, however it finished.
    UniqueHandle readEvent;
    // Overlapped channels only. Auto reset: one cancel ends one wait, also
    // a wait that starts after the cancel.
    UniqueHandle cancelEvent;
    std::mutex io;
    bool closed = false;  // guarded by io

    // Null when the events cannot be created.
    static std::shared_ptr<ChannelState> create(HANDLE handle, bool overlapped) {
        auto state = std::make_shared<ChannelState>();
        state->handle = handle;
        state->overlapped = overlapped;
        if (overlapped) {
            state->readEvent = UniqueHandle(CreateEventA(nullptr, TRUE, FALSE, nullptr));
            state->cancelEvent = UniqueHandle(CreateEventA(nullptr, FALSE, FALSE, nullptr));
            if (!state->readEvent || !state->cancelEvent) {
                return nullptr;
            }
        }
        return state;
    }
};

class ChannelTable {
public:
    void add(std::shared_ptr<ChannelState> state) {
        std::lock_guard lock(mutex_);
        channels_[state->handle] = std::move(state);
    }

    std::shared_ptr<ChannelState> find(HANDLE handle) const {
        std::lock_guard lock(mutex_);
        auto it = channels_.find(handle);
        return it == channels_.end() ? nullptr : it->second;
    }

    // Removes the channel; later lookups of its handle fail.
    std::shared_ptr<ChannelState> take(HANDLE handle) {
        std::lock_guard lock(mutex_);
        auto it = channels_.find(handle);
        if (it == channels_.end()) {
            return nullptr;
        }
        auto state = std::move(it->second);
        channels_.erase(it);
        return state;
    }

private:
    mutable std::mutex mutex_;
    std::unordered_map<HANDLE, std::shared_ptr<ChannelState>> channels_;
};

}  // namespace zelo::win
