// One open hidraw node as the Linux backend keeps it, and the table of the
// channels it has handed out.
#pragma once

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "hid_api.h"
#include "input_reports.h"
#include "share_rules.h"
#include "zelo_backend/hid_backend.h"

namespace zelo::hid::linux_backend {

struct ChannelState {
    HidHandle handle = nullptr;
    std::string path;
    OpenMode mode;
    // The claim other processes see; shared by this process's channels on
    // the node and released with the last of them.
    std::shared_ptr<void> nodeLock;
    bool layoutKnown = false;
    ReportLengths lengths;
    InputFormat input;
    // Every hidapi call on the handle holds it (hidapi keeps per-device
    // error state that concurrent calls would race on); a read holds it
    // for its whole length, and close takes it to know no call is left.
    std::mutex io;
    bool closed = false;  // under io
    // Set by cancelRead, consumed by the read it ends (or the next one).
    std::atomic<bool> cancel{false};
};

// The channel value handed out is the state's address: unique while the
// channel is open, and looked up here before every use.
class ChannelTable {
public:
    std::shared_ptr<ChannelState> find(Channel channel) const {
        std::lock_guard lock(mutex_);
        const auto it = std::find_if(channels_.begin(), channels_.end(),
                                     [&](const auto &state) { return state.get() == channel; });
        return it == channels_.end() ? nullptr : *it;
    }

    std::shared_ptr<ChannelState> take(Channel channel) {
        std::lock_guard lock(mutex_);
        const auto it = std::find_if(channels_.begin(), channels_.end(),
                                     [&](const auto &state) { return state.get() == channel; });
        if (it == channels_.end()) {
            return nullptr;
        }
        std::shared_ptr<ChannelState> state = *it;
        channels_.erase(it);
        return state;
    }

    // Adds a channel on path with mode unless the opens held there forbid
    // it; create(nodeLock) makes the state, given the node's claim when
    // this process holds one already (null when the node cannot be opened).
    template <class Create>
    Channel addShared(const std::string &path, const OpenMode &mode, Create create) {
        std::lock_guard lock(mutex_);
        std::vector<OpenMode> held;
        std::shared_ptr<void> nodeLock;
        for (const auto &state : channels_) {
            if (state->path == path) {
                held.push_back(state->mode);
                nodeLock = state->nodeLock;
            }
        }
        if (!shareAllows(held, mode)) {
            return nullptr;
        }
        std::shared_ptr<ChannelState> state = create(std::move(nodeLock));
        if (state == nullptr) {
            return nullptr;
        }
        channels_.push_back(std::move(state));
        return channels_.back().get();
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<ChannelState>> channels_;
};

}  // namespace zelo::hid::linux_backend
