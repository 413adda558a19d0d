// Per-channel state of the Windows backend, keyed by the channel's handle.
// A read holds its channel's io lock for its whole life; close takes the
// same lock before closing the handle, so a handle is never closed (and its
// value never reused) under a read that still uses it.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "unique_handle.h"
#include "win_api.h"

namespace zelo::win {

// The memory the system uses until a read request ends: the OVERLAPPED,
// its event and the bytes it reads into.
struct ReadRequest {
    OVERLAPPED overlapped{};
    // Manual reset: ReadFile clears it and the driver sets it when the
    // request has finished, however it finished.
    UniqueHandle done;
    std::vector<std::uint8_t> bytes;
};

struct ChannelState {
    HANDLE handle = nullptr;
    bool overlapped = false;
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
            state->cancelEvent = UniqueHandle(CreateEventA(nullptr, FALSE, FALSE, nullptr));
            if (!state->cancelEvent) {
                return nullptr;
            }
        }
        return state;
    }

    // The request the next read uses, with room for capacity bytes; null
    // when its event cannot be created. The caller holds io.
    ReadRequest *readRequest(std::uint32_t capacity) {
        if (read == nullptr) {
            auto request = std::make_unique<ReadRequest>();
            request->done = UniqueHandle(CreateEventA(nullptr, TRUE, FALSE, nullptr));
            if (!request->done) {
                return nullptr;
            }
            read = std::move(request);
        }
        read->overlapped = OVERLAPPED{};
        read->overlapped.hEvent = read->done.get();
        read->bytes.resize(capacity);
        return read.get();
    }

    // A request that not even its cancel ended still belongs to the system:
    // its memory is never freed, and the next read gets a new one.
    void abandonReadRequest() { static_cast<void>(read.release()); }

private:
    std::unique_ptr<ReadRequest> read;  // guarded by io
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
