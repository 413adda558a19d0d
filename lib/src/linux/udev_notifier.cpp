#include "udev_notifier.h"

#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "accessory_watch.h"
#include "notify_targets.h"

namespace zelo::hid::linux_backend {

namespace {

constexpr const char *kSubsystem = "hidraw";
constexpr const char *kParentSubsystem = "hid";
constexpr const char *kHidIdProperty = "HID_ID";
constexpr const char *kUdevEvents = "udev";  // events after udev's rules ran (permissions set)
constexpr int kWaitForever = -1;

std::string text(const char *value) { return value != nullptr ? value : ""; }

std::string hidIdOf(udev_device *device) {
    udev_device *parent = udev_device_get_parent_with_subsystem_devtype(device, kParentSubsystem, nullptr);
    return parent != nullptr ? text(udev_device_get_property_value(parent, kHidIdProperty)) : std::string();
}

// The accessory's nodes present now, so that their removal is known.
void seedPresent(udev *context, AccessoryWatch &watch) {
    udev_enumerate *scan = udev_enumerate_new(context);
    if (scan == nullptr) {
        return;
    }
    udev_enumerate_add_match_subsystem(scan, kSubsystem);
    udev_enumerate_scan_devices(scan);
    udev_list_entry *entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(scan)) {
        udev_device *device = udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
        if (device != nullptr) {
            watch.seed(text(udev_device_get_devnode(device)), hidIdOf(device));
            udev_device_unref(device);
        }
    }
    udev_enumerate_unref(scan);
}

}  // namespace

struct UdevNotifier::Impl {
    NotifyTargets targets;
    AccessoryWatch watch;  // the thread's once it runs
    std::mutex startLock;
    bool tried = false;
    udev *context = nullptr;
    udev_monitor *monitor = nullptr;
    int stopFd = -1;
    std::thread thread;

    bool open() {
        context = udev_new();
        monitor = context != nullptr ? udev_monitor_new_from_netlink(context, kUdevEvents) : nullptr;
        if (monitor == nullptr || udev_monitor_filter_add_match_subsystem_devtype(monitor, kSubsystem, nullptr) < 0 ||
            udev_monitor_enable_receiving(monitor) < 0) {
            return false;
        }
        stopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        return stopFd >= 0;
    }

    void start() {
        std::lock_guard lock(startLock);
        if (tried) {
            return;
        }
        tried = true;
        if (!open()) {
            return;
        }
        // Watching runs before the scan, so nothing falls between them.
        seedPresent(context, watch);
        thread = std::thread([this] { run(); });
    }

    void run() {
        pollfd fds[] = {{udev_monitor_get_fd(monitor), POLLIN, 0}, {stopFd, POLLIN, 0}};
        while (poll(fds, 2, kWaitForever) >= 0 || errno == EINTR) {
            if ((fds[1].revents & POLLIN) != 0) {
                return;
            }
            if ((fds[0].revents & POLLIN) != 0) {
                receiveAll();
            }
        }
    }

    void receiveAll() {
        while (udev_device *device = udev_monitor_receive_device(monitor)) {
            const DeviceEvent event{text(udev_device_get_action(device)), text(udev_device_get_devnode(device)),
                                    hidIdOf(device)};
            udev_device_unref(device);
            if (const std::optional<Notice> notice = watch.onEvent(event)) {
                targets.notify(notice->arrived, notice->path);
            }
        }
    }

    ~Impl() {
        if (thread.joinable()) {
            const std::uint64_t one = 1;
            [[maybe_unused]] const ssize_t written = write(stopFd, &one, sizeof one);
            // A callback that ends the process runs on the thread itself.
            if (thread.get_id() == std::this_thread::get_id()) {
                thread.detach();
            } else {
                thread.join();
            }
        }
        if (stopFd >= 0) {
            ::close(stopFd);
        }
        if (monitor != nullptr) {
            udev_monitor_unref(monitor);
        }
        if (context != nullptr) {
            udev_unref(context);
        }
    }
};

UdevNotifier::UdevNotifier() : impl_(std::make_unique<Impl>()) {}

UdevNotifier::~UdevNotifier() = default;

void UdevNotifier::request(void *target) {
    if (impl_->targets.add(static_cast<const ZELO_NOTIFY_TARGET *>(target))) {
        impl_->start();
    }
}

bool UdevNotifier::watching() const {
    std::lock_guard lock(impl_->startLock);
    return impl_->thread.joinable();
}

UdevNotifier &udevNotifier() {
    static UdevNotifier instance;
    return instance;
}

}  // namespace zelo::hid::linux_backend
