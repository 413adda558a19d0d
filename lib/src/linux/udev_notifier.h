// Device notifications on Linux: one thread of the library's, started by
// the first ZELO_RequestNotification, watches udev for hidraw nodes of the
// accessory coming and going and tells every registered target.
#pragma once

#include <memory>

namespace zelo::hid::linux_backend {

class UdevNotifier {
public:
    UdevNotifier();
    ~UdevNotifier();  // stops and joins the thread
    UdevNotifier(const UdevNotifier &) = delete;
    UdevNotifier &operator=(const UdevNotifier &) = delete;

    // target is a ZELO_NOTIFY_TARGET*; null or one without callback is ignored.
    void request(void *target);
    // Whether the watching thread runs (udev may be unavailable).
    bool watching() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The process's one notifier.
UdevNotifier &udevNotifier();

}  // namespace zelo::hid::linux_backend
