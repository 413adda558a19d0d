// Every device object that was ever opened, in order of opening. Objects
// are never freed while the library is loaded, so a handle that was closed
// can never reach freed memory. An open that fails frees its object
// instead: nobody could have reached it.
#pragma once

#include <cstddef>
#include <memory>

#include "device.h"

namespace zelo {

// Takes over an object whose open succeeded and returns it.
Device &registerDevice(std::unique_ptr<Device> device);

// The last object whose write channel equals handle; null for a null or
// unknown handle.
Device *findDevice(void *handle);

// Whether object is a registered object that is currently open.
bool isOpenDevice(const void *object);

// How many objects the registry holds, open or closed, and the bytes they
// keep (objects and ring storage).
std::size_t registeredDeviceCount();
std::size_t registeredDeviceBytes();

}  // namespace zelo
