// Raw messages and the data FIFO; pausing and resuming the reader.
#include <cstdint>

#include "reader.h"
#include "registry.h"
#include "transport.h"
#include "zelo.h"

extern "C" {

ZELO_API int32_t ZELO_CALL ZELO_StartHID(ZELO_HANDLE handle) {
    const zelo::DeviceRef device = zelo::findDevice(handle);
    if (device == nullptr) {
        return ZELO_HANDLE_NOT_FOUND;
    }
    zelo::startReader(*device);
    return ZELO_OK;
}

ZELO_API intptr_t ZELO_CALL ZELO_StopHID(ZELO_HANDLE handle) {
    constexpr intptr_t kNotFound = 0;
    const zelo::DeviceRef device = zelo::findDevice(handle);
    if (device == nullptr) {
        return kNotFound;
    }
    zelo::stopReader(*device);
    return reinterpret_cast<intptr_t>(device->readChannel.load());
}

ZELO_API int32_t ZELO_CALL ZELO_Write(ZELO_HANDLE handle, const uint8_t *data, uint32_t length, uint32_t *written) {
    const zelo::DeviceRef device = zelo::findDevice(handle);
    if (device == nullptr || (data == nullptr && length > 0)) {
        return ZELO_TRANSFER_FAILED;
    }
    if (!zelo::sendMessage(*device, data, length)) {
        return ZELO_TRANSFER_FAILED;
    }
    if (written != nullptr) {
        *written = length;
    }
    return ZELO_OK;
}

ZELO_API int32_t ZELO_CALL ZELO_Read(ZELO_HANDLE handle, uint8_t *buffer, uint32_t length, uint32_t *read) {
    const zelo::DeviceRef device = zelo::findDevice(handle);
    if (device == nullptr || (buffer == nullptr && length > 0)) {
        return ZELO_TRANSFER_FAILED;
    }
    if (length > 0 && !zelo::receive(*device, buffer, length)) {
        return ZELO_TRANSFER_FAILED;
    }
    if (read != nullptr) {
        *read = length;
    }
    return ZELO_OK;
}

ZELO_API int32_t ZELO_CALL ZELO_BytesInFifo(ZELO_HANDLE handle) {
    const zelo::DeviceRef device = zelo::findDevice(handle);
    if (device == nullptr) {
        return ZELO_HANDLE_NOT_FOUND;
    }
#if defined(__EMSCRIPTEN__)
    // Without a reader thread, collect what has arrived before counting.
    zelo::readWhileWaiting(*device, 0);
#endif
    std::lock_guard<std::mutex> guard(device->fifoLock);
    return static_cast<int32_t>(device->dataFifo.size());
}

ZELO_API int32_t ZELO_CALL ZELO_EmptyFifo(ZELO_HANDLE handle) {
    const zelo::DeviceRef device = zelo::findDevice(handle);
    if (device == nullptr) {
        return ZELO_HANDLE_NOT_FOUND;
    }
    std::lock_guard<std::mutex> guard(device->fifoLock);
    device->dataFifo.clear();
    return ZELO_OK;
}

}  // extern "C"
