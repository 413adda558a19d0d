// Which hidraw arrivals and removals concern the accessory. A removed
// node can no longer be asked what it was, so the watch remembers the
// accessory's nodes from their arrival (or from the scan at start).
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace zelo::hid::linux_backend {

// One udev event of the hidraw subsystem.
struct DeviceEvent {
    std::string action;  // "add", "remove", ...
    std::string node;    // /dev/hidrawN
    std::string hidId;   // HID_ID of the parent HID device, bus:vendor:product; empty if unknown
};

struct Notice {
    bool arrived = false;
    std::string path;
};

// True when a HID_ID value (e.g. 0003:00003A71:00000009) names the accessory.
bool isAccessoryHidId(std::string_view hidId);

class AccessoryWatch {
public:
    // A node present before watching began.
    void seed(const std::string &node, std::string_view hidId);
    // The notice to pass on for event, if it concerns the accessory.
    std::optional<Notice> onEvent(const DeviceEvent &event);

private:
    std::set<std::string> present_;
};

}  // namespace zelo::hid::linux_backend
