// The Linux backend on the system's hidapi and udev.
#include "backends.h"
#include "linux/linux_backend.h"
#include "linux/udev_notifier.h"

namespace zelo::hid {

Backend *linuxBackend() {
    static linux_backend::LinuxBackend instance(linux_backend::systemHidApi(), [](void *target) {
        linux_backend::udevNotifier().request(target);
    });
    return &instance;
}

}  // namespace zelo::hid
