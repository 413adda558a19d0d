// The device objects of open accessories, in order of opening. Each export
// holds a reference to its object until it returns, so closing on another
// thread never frees memory a call still uses; a closed object leaves the
// registry and is freed once the last such call lets go. An open that
// fails never registers its object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "device.h"

namespace zelo {

using DeviceRef = std::shared_ptr<Device>;

// Takes over an object whose open succeeded, gives it a serial and
// returns it.
DeviceRef registerDevice(std::unique_ptr<Device> device);

// Takes a closed object out of the registry; nothing when it is not there.
void forgetDevice(const Device &object);

// The last object whose write channel equals handle; null for a null or
// unknown handle.
DeviceRef findDevice(void *handle);

// The open object with this serial; null when none is.
DeviceRef findOpenDevice(std::uintptr_t serial);

// How many objects the registry holds and the bytes they keep (objects and
// ring storage).
std::size_t registeredDeviceCount();
std::size_t registeredDeviceBytes();

}  // namespace zelo
