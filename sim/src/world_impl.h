// The set of simulated accessories, the open channels on them and the
// world-wide settings. One mutex guards the lists; each accessory guards its
// own state. Lock order: world, then accessory; never the other way.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "accessory_impl.h"
#include "channel.h"
#include "shared_settings.h"
#include "zelo_backend/hid_backend.h"
#include "zelo_sim/sim.h"

namespace zelo::sim {

class WorldImpl final : public World {
public:
    WorldImpl();
    ~WorldImpl() override;

    bool configure(const std::string &description, std::string *error) override;
    std::shared_ptr<Accessory> plug(const AccessoryConfig &config) override;
    void unplug(const std::shared_ptr<Accessory> &accessory) override;
    void reset() override;
    std::vector<std::shared_ptr<Accessory>> accessories() const override;
    void setReportDelay(std::chrono::microseconds perReport) override;
    void setTiming(const hid::Timing &timing) override;
    int reportIdErrors() const override { return reportIdErrors_.load(); }
    std::vector<void *> notificationWindows() const override;
    hid::Backend &backend() override { return *backend_; }

    // What the backend needs.
    std::optional<std::string> pathAt(int index) const;
    std::shared_ptr<Channel> open(const char *path, const hid::OpenMode &mode);
    std::shared_ptr<Channel> channel(hid::Channel token) const;
    void close(hid::Channel token);
    std::optional<std::string> hardwareId(const char *deviceName) const;
    void requestNotification(void *window);
    void countReportIdError() { ++reportIdErrors_; }
    hid::Timing timing() const;
    std::chrono::microseconds reportDelay() const { return settings_.reportDelay(); }

private:
    void unplugAll();
    std::shared_ptr<Accessory> plugWith(const AccessoryConfig &config, const SavedState *saved);
    // Plugs config after its arrival delay, unless the world was configured
    // or reset meanwhile.
    void plugLater(const AccessoryConfig &config, std::optional<SavedState> saved);
    // Unplugs accessory after afterMs, unless the world was configured or
    // reset meanwhile.
    void unplugLater(const std::shared_ptr<Accessory> &accessory, std::uint32_t afterMs);

    mutable std::mutex mutex_;
    SharedSettings settings_;
    std::vector<std::shared_ptr<AccessoryImpl>> plugged_;  // in plug order
    std::map<std::uintptr_t, std::shared_ptr<Channel>> channels_;
    std::vector<void *> windows_;
    hid::Timing timing_{};
    std::uintptr_t nextToken_;
    unsigned nextSerial_ = 1;
    std::atomic<int> reportIdErrors_{0};
    std::atomic<unsigned> generation_{0};  // raised by configure and reset
    std::unique_ptr<hid::Backend> backend_;
};

}  // namespace zelo::sim
