#include "registry.h"

#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace zelo {

namespace {

struct Registry {
    std::mutex lock;
    std::vector<std::unique_ptr<Device>> devices;
};

// Deliberately never destroyed: a reader thread still running while the
// process exits must not find its device object gone.
Registry &registry() {
    static Registry *const instance = new Registry;
    return *instance;
}

}  // namespace

Device &registerDevice(std::unique_ptr<Device> device) {
    Registry &r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.devices.push_back(std::move(device));
    return *r.devices.back();
}

Device *findDevice(void *handle) {
    if (handle == nullptr) {
        return nullptr;
    }
    Registry &r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    for (auto it = r.devices.rbegin(); it != r.devices.rend(); ++it) {
        if ((*it)->writeChannel.load() == handle) {
            return it->get();
        }
    }
    return nullptr;
}

bool isOpenDevice(const void *object) {
    if (object == nullptr) {
        return false;
    }
    Registry &r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    for (const auto &device : r.devices) {
        if (device.get() == object) {
            return device->writeChannel.load() != nullptr;
        }
    }
    return false;
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
