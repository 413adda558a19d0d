// Every device object ever created, in creation order. Objects are never
// freed, so a handle that was closed can never reach freed memory.
#pragma once

#include "device.h"

namespace zelo {

// Appends a new object and returns it.
Device &createDevice();

// The last object whose write channel equals handle; null for a null or
// unknown handle.
Device *findDevice(void *handle);

// Whether object is a registered object that is currently open.
bool isOpenDevice(const void *object);

}  // namespace zelo
