// hidraw nodes made up by the test: what enumeration lists (as hidapi
// does, one entry per top-level collection, all with the node's path),
// what opens are refused, the reports each node delivers (as hidraw does: unnumbered
// reports without their ID byte), a node that vanishes, failing feature
// reads, and a log of what was written.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "hid_api.h"
#include "zelo_backend/hid_backend.h"

namespace zelo::test {

using hid::linux_backend::HidHandle;
using hid::linux_backend::HidInterface;
using Bytes = std::vector<std::uint8_t>;

// A vendor-defined collection: unnumbered input and output reports of 63
// bytes (64 with the ID byte) and a 9-byte feature report.
inline Bytes accessoryDescriptor() {
    return {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,  // usage page, usage, collection
            0x75, 0x08, 0x95, 0x3F, 0x09, 0x01, 0x81, 0x02,  // 63 x 8 bits input
            0x95, 0x3F, 0x09, 0x01, 0x91, 0x02,              // 63 x 8 bits output
            0x95, 0x09, 0x09, 0x01, 0xB1, 0x02,              // 9 x 8 bits feature
            0xC0};
}
// The same with a second, empty vendor collection after the first, as a
// device with two top-level usages has.
inline Bytes twoCollectionDescriptor() {
    Bytes descriptor = accessoryDescriptor();
    const Bytes second = {0x06, 0x00, 0xFF, 0x09, 0x02, 0xA1, 0x01, 0xC0};
    descriptor.insert(descriptor.end(), second.begin(), second.end());
    return descriptor;
}

// Top-level collections of a descriptor; hidapi lists a node once for
// each, and once when it finds none.
inline int topLevelCollections(const std::optional<Bytes> &descriptor) {
    constexpr std::uint8_t kCollection = 0xA0;
    constexpr std::uint8_t kEndCollection = 0xC0;
    constexpr std::uint8_t kLongItem = 0xFE;
    constexpr std::uint8_t kTagMask = 0xFC;
    constexpr std::uint8_t kSizeMask = 0x03;
    constexpr std::size_t kFourBytesCode = 3;
    constexpr std::size_t kFourBytes = 4;
    constexpr std::size_t kLongItemHeader = 3;
    int found = 0;
    int depth = 0;
    const Bytes bytes = descriptor.value_or(Bytes{});
    for (std::size_t at = 0; at < bytes.size();) {
        const std::uint8_t prefix = bytes[at];
        if (prefix == kLongItem) {
            at += kLongItemHeader + (at + 1 < bytes.size() ? bytes[at + 1] : 0);
            continue;
        }
        const std::size_t size = (prefix & kSizeMask) == kFourBytesCode ? kFourBytes : (prefix & kSizeMask);
        if ((prefix & kTagMask) == kCollection) {
            found += depth == 0 ? 1 : 0;
            ++depth;
        } else if ((prefix & kTagMask) == kEndCollection && depth > 0) {
            --depth;
        }
        at += 1 + size;
    }
    return std::max(found, 1);
}

inline constexpr std::uint32_t kAccessoryReportLength = 64;
inline constexpr std::uint32_t kAccessoryFeatureLength = 10;

// A claim another process holds on a node.
enum class ForeignClaim { None, Shared, Exclusive };

struct FakeNode {
    HidInterface interface;
    std::optional<Bytes> descriptor = accessoryDescriptor();
    bool refuseOpen = false;
    bool gone = false;
    int featureResult = 0;  // 0: the whole report; otherwise returned as is
    Bytes feature;          // the bytes after the ID byte
    int writeResult = 0;    // 0: all bytes; otherwise returned as is
    std::deque<Bytes> input;
    std::vector<Bytes> written;
    ForeignClaim foreignClaim = ForeignClaim::None;
    int opens = 0;
    int closes = 0;
    int claims = 0;  // this process's, each released once
    int releases = 0;
};

class FakeHidApi final : public hid::linux_backend::HidApi {
public:
    FakeNode &add(const std::string &path, std::uint16_t vendorId = hid::kVendorId,
                  std::uint16_t productId = hid::kProductId) {
        std::lock_guard lock(mutex_);
        auto node = std::make_shared<FakeNode>();
        node->interface = {path, vendorId, productId};
        nodes_.push_back(node);
        return *node;
    }

    // Runs change on the nodes under the lock and wakes waiting reads.
    template <class Change>
    void change(Change change) {
        {
            std::lock_guard lock(mutex_);
            change();
        }
        arrived_.notify_all();
    }

    void deliver(FakeNode &node, Bytes report) {
        change([&] { node.input.push_back(std::move(report)); });
    }
    void vanish(FakeNode &node) {
        change([&] { node.gone = true; });
    }
    int readsWaiting() const {
        std::lock_guard lock(mutex_);
        return readsWaiting_;
    }
    std::pair<std::uint16_t, std::uint16_t> lastFilter() const {
        std::lock_guard lock(mutex_);
        return filter_;
    }
    std::vector<Bytes> written(const FakeNode &node) const {
        std::lock_guard lock(mutex_);
        return node.written;
    }

    std::vector<HidInterface> enumerate(std::uint16_t vendorId, std::uint16_t productId) override {
        std::lock_guard lock(mutex_);
        filter_ = {vendorId, productId};
        std::vector<HidInterface> found;
        for (const auto &node : nodes_) {
            const HidInterface &i = node->interface;
            if (!node->gone && (vendorId == 0 || i.vendorId == vendorId) &&
                (productId == 0 || i.productId == productId)) {
                found.insert(found.end(), topLevelCollections(node->descriptor), i);
            }
        }
        return found;
    }

    HidHandle open(const std::string &path) override {
        std::lock_guard lock(mutex_);
        for (const auto &node : nodes_) {
            if (node->interface.path == path && !node->gone && !node->refuseOpen) {
                ++node->opens;
                handles_.push_back(std::make_unique<Handle>(Handle{node}));
                return handles_.back().get();
            }
        }
        return nullptr;
    }

    void close(HidHandle handle) override {
        std::lock_guard lock(mutex_);
        ++node(handle).closes;
    }

    std::optional<HidInterface> deviceInfo(HidHandle handle) override {
        std::lock_guard lock(mutex_);
        return node(handle).gone ? std::nullopt : std::optional(node(handle).interface);
    }

    int read(HidHandle handle, std::uint8_t *data, std::size_t length, int timeoutMs) override {
        std::unique_lock lock(mutex_);
        FakeNode &n = node(handle);
        ++readsWaiting_;
        arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return n.gone || !n.input.empty(); });
        --readsWaiting_;
        if (n.gone) {
            return -1;
        }
        if (n.input.empty()) {
            return 0;
        }
        const Bytes report = n.input.front();
        n.input.pop_front();
        const std::size_t count = std::min(length, report.size());
        std::copy_n(report.begin(), count, data);
        return static_cast<int>(count);
    }

    int write(HidHandle handle, const std::uint8_t *data, std::size_t length) override {
        std::lock_guard lock(mutex_);
        FakeNode &n = node(handle);
        if (n.gone) {
            return -1;
        }
        n.written.emplace_back(data, data + length);
        return n.writeResult != 0 ? n.writeResult : static_cast<int>(length);
    }

    int getFeature(HidHandle handle, std::uint8_t *data, std::size_t length) override {
        std::lock_guard lock(mutex_);
        FakeNode &n = node(handle);
        if (n.gone || n.featureResult < 0) {
            return -1;
        }
        const std::size_t count = std::min(length - 1, n.feature.size());
        std::copy_n(n.feature.begin(), count, data + 1);
        return n.featureResult != 0 ? n.featureResult : static_cast<int>(count + 1);
    }

    hid::linux_backend::NodeLock lockNode(const std::string &path, bool exclusive) override {
        std::lock_guard lock(mutex_);
        for (const auto &node : nodes_) {
            if (node->interface.path != path || node->gone || node->refuseOpen) {
                continue;
            }
            const bool conflict = node->foreignClaim == ForeignClaim::Exclusive ||
                                  (node->foreignClaim == ForeignClaim::Shared && exclusive);
            if (conflict) {
                return nullptr;
            }
            ++node->claims;
            claims_.push_back(std::make_unique<Handle>(Handle{node}));
            return claims_.back().get();
        }
        return nullptr;
    }

    void unlockNode(hid::linux_backend::NodeLock claim) override {
        std::lock_guard lock(mutex_);
        ++node(claim).releases;
    }

    std::optional<Bytes> reportDescriptor(const std::string &path) override {
        std::lock_guard lock(mutex_);
        for (const auto &node : nodes_) {
            if (node->interface.path == path) {
                return node->descriptor;
            }
        }
        return std::nullopt;
    }

private:
    struct Handle {
        std::shared_ptr<FakeNode> node;
    };
    static FakeNode &node(HidHandle handle) { return *static_cast<Handle *>(handle)->node; }

    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<std::shared_ptr<FakeNode>> nodes_;
    std::vector<std::unique_ptr<Handle>> handles_;
    std::vector<std::unique_ptr<Handle>> claims_;
    std::pair<std::uint16_t, std::uint16_t> filter_{};
    int readsWaiting_ = 0;
};

}  // namespace zelo::test
