// The HID backend over hidapi-hidraw: the accessory's hidraw nodes, their
// paths as interface paths, reads in short slices so that a cancel is seen,
// and device notifications from udev.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "channel_state.h"
#include "hid_api.h"
#include "interface_snapshots.h"
#include "zelo_backend/hid_backend.h"

namespace zelo::hid::linux_backend {

// hidapi cannot cancel a read; a read waits in slices this long and looks
// for a cancel between them, so a stop or close waits at most one slice.
inline constexpr std::uint32_t kReadSliceMs = 20;

class LinuxBackend final : public Backend {
public:
    // requestNotification receives what ZELO_RequestNotification was given.
    // Real hardware gets the default time limits; tests may shorten them.
    LinuxBackend(HidApi &api, std::function<void(void *)> requestNotification, Timing timing = {});

    bool interfacePath(int index, char *path, std::size_t size, bool *detailOk) override;
    Channel open(const char *path, const OpenMode &mode) override;
    void close(Channel channel) override;
    bool attributes(Channel channel, std::uint16_t *vendorId, std::uint16_t *productId) override;
    bool reportLengths(Channel channel, ReportLengths *lengths) override;
    bool flushInput(Channel channel) override;
    bool setNumInputBuffers(Channel channel, std::uint32_t count) override;
    bool writeReport(Channel channel, const std::uint8_t *report, std::uint32_t length,
                     std::uint32_t *transferred) override;
    ReadStatus readReports(Channel channel, std::uint8_t *buffer, std::uint32_t capacity, std::uint32_t timeoutMs,
                           std::uint32_t *transferred) override;
    void cancelRead(Channel channel) override;
    bool getFeature(Channel channel, std::uint8_t *buffer, std::uint32_t length) override;
    bool hardwareId(const char *deviceName, char *id, std::size_t size) override;
    void requestNotification(void *target) override;
    void reportIdError() override;
    Timing timing() const override { return timing_; }

private:
    std::shared_ptr<void> claimNode(const std::string &path, const OpenMode &mode);
    std::shared_ptr<ChannelState> openState(const std::string &path, const OpenMode &mode,
                                            std::shared_ptr<void> nodeLock);
    ReadStatus readLocked(ChannelState &state, std::uint8_t *buffer, std::uint32_t capacity,
                          std::uint32_t timeoutMs, std::uint32_t *transferred);
    std::uint32_t readQueued(ChannelState &state, std::uint8_t *buffer, std::uint32_t capacity);

    HidApi &api_;
    std::function<void(void *)> requestNotification_;
    InterfaceSnapshots interfaces_;
    ChannelTable channels_;
    const Timing timing_;
    std::atomic<bool> reportIdErrorShown_{false};
};

}  // namespace zelo::hid::linux_backend
