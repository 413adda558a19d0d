#include "registry.h"

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

namespace zelo {

namespace {

struct Registry {
    std::mutex lock;
    std::vector<DeviceRef> devices;
    std::uintptr_t lastSerial = 0;  // serials start at 1: none designates as null
};

// Deliberately never destroyed: a reader thread still running while the
// process exits must not find its device object gone.
Registry &registry() {
    static Registry *const instance = new Registry;
    return *instance;
}

}  // namespace

DeviceRef registerDevice(std::unique_ptr<Device> device) {
    DeviceRef shared(std::move(device));
    Registry &r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    shared->serial = ++r.lastSerial;
    r.devices.push_back(shared);
    return shared;
}

void forgetDevice(const Device &object) {
    Registry &r = registry();
    DeviceRef last;  // let go outside the lock: freeing it may join a thread
    std::lock_guard<std::mutex> guard(r.lock);
    const auto it =
        std::find_if(r.devices.begin(), r.devices.end(), [&](const DeviceRef &d) { return d.get() == &object; });
    if (it != r.devices.end()) {
        last = std::move(*it);
        r.devices.erase(it);
    }
}

DeviceRef findDevice(void *handle) {
    if (handle == nullptr) {
        return nullptr;
    }
    Registry &r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    for (auto it = r.devices.rbegin(); it != r.devices.rend(); ++it) {
        if ((*it)->writeChannel.load() == handle) {
            return *it;
        }
    }
    return nullptr;
}

DeviceRef findOpenDevice(std::uintptr_t serial) {
    Registry &r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    for (const DeviceRef &device : r.devices) {
        if (device->serial == serial) {
            return device->writeChannel.load() != nullptr ? device : nullptr;
        }
    }
    return nullptr;
}

std::size_t registeredDeviceBytes() {
    Registry &r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    std::size_t bytes = 0;
    for (const auto &device : r.devices) {
        bytes += sizeof(Device) + device->dataFifo.capacity() + device->uartFifo.capacity();
    }
    return bytes;
}

std::size_t registeredDeviceCount() {
    Registry &r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    return r.devices.size();
}

}  // namespace zelo
