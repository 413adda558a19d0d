// The HID backend over the simulated accessories, at the level of reports.
#pragma once

#include "zelo_backend/hid_backend.h"

namespace zelo::sim {

class WorldImpl;

class SimBackend final : public hid::Backend {
public:
    explicit SimBackend(WorldImpl &world) : world_(world) {}

    bool interfacePath(int index, char *path, std::size_t size, bool *detailOk) override;
    hid::Channel open(const char *path, const hid::OpenMode &mode) override;
    void close(hid::Channel channel) override;
    bool attributes(hid::Channel channel, std::uint16_t *vendorId, std::uint16_t *productId) override;
    bool reportLengths(hid::Channel channel, hid::ReportLengths *lengths) override;
    bool flushInput(hid::Channel channel) override;
    bool setNumInputBuffers(hid::Channel channel, std::uint32_t count) override;
    bool writeReport(hid::Channel channel, const std::uint8_t *report, std::uint32_t length,
                     std::uint32_t *transferred) override;
    hid::ReadStatus readReports(hid::Channel channel, std::uint8_t *buffer, std::uint32_t capacity,
                                std::uint32_t timeoutMs, std::uint32_t *transferred) override;
    void cancelRead(hid::Channel channel) override;
    bool getFeature(hid::Channel channel, std::uint8_t *buffer, std::uint32_t length) override;
    bool hardwareId(const char *deviceName, char *id, std::size_t size) override;
    void requestNotification(void *window) override;
    void reportIdError() override;
    hid::Timing timing() const override;

private:
    WorldImpl &world_;
};

}  // namespace zelo::sim
