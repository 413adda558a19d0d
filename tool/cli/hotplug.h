// Hearing accessories arrive without polling the device list: on Windows a
// message-only window registered with ZELO_RequestNotification receives
// WM_DEVICECHANGE; elsewhere the library calls a ZELO_NOTIFY_TARGET.
#ifndef ZELO_CLI_HOTPLUG_H
#define ZELO_CLI_HOTPLUG_H

#include <atomic>
#include <chrono>
#include <memory>

namespace zelo::cli {

// How often a wait looks at the Ctrl-C flag, which no notification wakes.
inline constexpr std::chrono::milliseconds kStopCheckInterval{100};
// How often a wait counts again whatever it heard: notifications may never
// come (no udev daemon, an overflowed event socket) while registering
// them still succeeded.
inline constexpr std::chrono::milliseconds kRecountInterval{1000};

class HotplugWatch {
public:
    // Registers with the library; from here on no arrival is missed.
    HotplugWatch();
    ~HotplugWatch();
    HotplugWatch(const HotplugWatch &) = delete;
    HotplugWatch &operator=(const HotplugWatch &) = delete;

    // True when a device interface arrived (any: the caller counts
    // accessories again); false at the deadline or when stop is raised.
    bool waitForArrival(std::chrono::steady_clock::time_point deadline, const std::atomic<bool> &stop);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace zelo::cli

#endif
