// One simulated accessory presented to the kernel through /dev/uhid: the
// kernel's output reports and feature requests go to the accessory over a
// channel of the simulator's backend, its input reports come back paced
// like a full-speed interrupt endpoint.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "pacer.h"
#include "zelo_backend/hid_backend.h"
#include "zelo_sim/sim.h"

struct uhid_event;

namespace zelo::uhid {

struct Identity {
    std::string name;    // the product name
    std::string serial;  // the serial number (HID_UNIQ)
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    int collections = 1;  // top-level collections of the report descriptor
};

class UhidDevice {
public:
    UhidDevice(hid::Backend &backend, std::string path, Identity identity, std::chrono::microseconds interval);
    ~UhidDevice();
    UhidDevice(const UhidDevice &) = delete;
    UhidDevice &operator=(const UhidDevice &) = delete;

    // Opens the accessory and /dev/uhid and creates the device; false with
    // a reason on failure.
    bool start(std::string *error);
    // Destroys the kernel's device (as an unplug) and stops the threads.
    void stop();

    const std::string &path() const { return path_; }
    const Identity &identity() const { return identity_; }

private:
    void events();
    void inputs();
    void answer(const uhid_event &event);
    void send(const uhid_event &event);

    hid::Backend &backend_;
    const std::string path_;
    const Identity identity_;
    const std::chrono::microseconds interval_;
    hid::Channel channel_ = nullptr;
    hid::ReportLengths lengths_{};
    int fd_ = -1;
    int stopPipe_[2] = {-1, -1};
    std::atomic<bool> stopping_{false};
    std::thread eventThread_;
    std::thread inputThread_;
    Pacer outputPacer_;
};

}  // namespace zelo::uhid
