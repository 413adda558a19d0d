// The few hidapi (hidraw) calls the Linux backend makes, behind an
// interface so that its logic can be tested with fake devices.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zelo::hid::linux_backend {

struct HidInterface {
    std::string path;  // the hidraw node, e.g. /dev/hidraw3
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

// An open hidraw node; opaque to the backend.
using HidHandle = void *;
// A claim on a node that other processes using this library see; opaque.
using NodeLock = void *;

class HidApi {
public:
    virtual ~HidApi() = default;

    // Present interfaces with this vendor and product ID (0 matches any).
    virtual std::vector<HidInterface> enumerate(std::uint16_t vendorId, std::uint16_t productId) = 0;
    // Opens path for reading and writing; null on failure.
    virtual HidHandle open(const std::string &path) = 0;
    virtual void close(HidHandle handle) = 0;
    // Vendor and product ID of the open node itself (not of whatever holds
    // its path now); nullopt when unavailable.
    virtual std::optional<HidInterface> deviceInfo(HidHandle handle) = 0;
    // As hid_read_timeout: bytes read, 0 when nothing came in timeoutMs,
    // -1 when the device failed (for example it was unplugged).
    virtual int read(HidHandle handle, std::uint8_t *data, std::size_t length, int timeoutMs) = 0;
    // As hid_write: bytes written or -1; data[0] is the report ID.
    virtual int write(HidHandle handle, const std::uint8_t *data, std::size_t length) = 0;
    // As hid_get_feature_report: bytes read (report-ID byte included) or -1.
    virtual int getFeature(HidHandle handle, std::uint8_t *data, std::size_t length) = 0;
    // Claims the node at path, shared or exclusive, without waiting (an
    // advisory lock on a descriptor of its own). Null when another process
    // holds a claim that conflicts, or the node cannot be opened.
    virtual NodeLock lockNode(const std::string &path, bool exclusive) = 0;
    virtual void unlockNode(NodeLock lock) = 0;
    // The report descriptor of the node at path.
    virtual std::optional<std::vector<std::uint8_t>> reportDescriptor(const std::string &path) = 0;
};

// The system's hidapi-hidraw, with descriptors read from sysfs.
HidApi &systemHidApi();

}  // namespace zelo::hid::linux_backend
