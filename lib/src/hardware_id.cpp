#include "hardware_id.h"

#include <cstdio>

#include "zelo_backend/hid_backend.h"

namespace zelo {

namespace {
constexpr std::size_t kPrefixLength = 21;

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

std::string accessoryHardwareIdPrefix() {
    char text[kPrefixLength + 1];
    std::snprintf(text, sizeof text, "HID\\Vid_%04X&Pid_%04X", static_cast<unsigned>(hid::kVendorId),
                  static_cast<unsigned>(hid::kProductId));
    return text;
}

bool isAccessoryHardwareId(std::string_view id) {
    const std::string prefix = accessoryHardwareIdPrefix();
    if (id.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (lower(id[i]) != lower(prefix[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace zelo
