#include "accessory_watch.h"

#include <algorithm>
#include <charconv>

#include "zelo_backend/hid_backend.h"

namespace zelo::hid::linux_backend {

namespace {

constexpr std::string_view kAdd = "add";
constexpr std::string_view kRemove = "remove";
constexpr char kSeparator = ':';
constexpr int kHex = 16;

// The hexadecimal field of text from at to the next separator (or the end).
std::optional<std::uint32_t> hexField(std::string_view text, std::size_t &at) {
    const std::size_t end = std::min(text.find(kSeparator, at), text.size());
    std::uint32_t value = 0;
    const auto [next, error] = std::from_chars(text.data() + at, text.data() + end, value, kHex);
    if (error != std::errc() || next != text.data() + end || end == at) {
        return std::nullopt;
    }
    at = end + 1;
    return value;
}

}  // namespace

bool isAccessoryHidId(std::string_view hidId) {
    std::size_t at = 0;
    const auto bus = hexField(hidId, at);
    const auto vendor = bus ? hexField(hidId, at) : std::nullopt;
    const auto product = vendor ? hexField(hidId, at) : std::nullopt;
    return product && at > hidId.size() && *vendor == kVendorId && *product == kProductId;
}

void AccessoryWatch::seed(const std::string &node, std::string_view hidId) {
    if (!node.empty() && isAccessoryHidId(hidId)) {
        present_.insert(node);
    }
}

std::optional<Notice> AccessoryWatch::onEvent(const DeviceEvent &event) {
    if (event.node.empty()) {
        return std::nullopt;
    }
    if (event.action == kAdd && isAccessoryHidId(event.hidId)) {
        present_.insert(event.node);
        return Notice{true, event.node};
    }
    if (event.action == kRemove && present_.erase(event.node) > 0) {
        return Notice{false, event.node};
    }
    return std::nullopt;
}

}  // namespace zelo::hid::linux_backend
