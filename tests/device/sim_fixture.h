// Shared set-up for the device tests that talk to simulated accessories: a
// fresh world with bounded time limits, plugging, and the commands an
// accessory saw.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <future>
#include <thread>
#include <memory>
#include <vector>

#include "device_link.h"
#include "protocol.h"
#include "zelo_backend/hid_backend.h"
#include "zelo_sim/sim.h"

namespace zelo::device::test {

// Generous, so a loaded machine never trips them; tests about a missing
// answer shorten the limit themselves.
inline constexpr std::uint32_t kReceiveLimitMs = 5000;
inline constexpr std::uint32_t kShortReceiveLimitMs = 200;
inline constexpr std::uint32_t kReadWaitMs = 50;
inline constexpr std::chrono::seconds kDeadline{20};

using Frame = std::vector<std::uint8_t>;
using PageBytes = std::array<std::uint8_t, kPageSize>;

inline PageBytes patternPage(std::uint8_t seed) {
    PageBytes page{};
    for (std::size_t i = 0; i < page.size(); ++i) page[i] = static_cast<std::uint8_t>(seed + i * 7);
    return page;
}

inline Frame frame(std::initializer_list<std::uint8_t> bytes) { return Frame(bytes); }

// Runs call on another thread; false when it does not finish in time,
// which is how a lock left held shows up. The thread is detached so a
// stuck call fails the test instead of hanging it.
template <typename Call>
inline bool finishesInTime(Call call) {
    std::packaged_task<void()> task(std::move(call));
    std::future<void> done = task.get_future();
    std::thread(std::move(task)).detach();
    return done.wait_for(kDeadline) == std::future_status::ready;
}

// The accessory unplugged and plugged in again: a new unit of the same
// model carrying every flash page of the old one, as power leaves flash alone.
inline std::shared_ptr<sim::Accessory> replugWithFlash(const std::shared_ptr<sim::Accessory> &old) {
    sim::World &world = sim::World::instance();
    if (old->plugged()) world.unplug(old);
    const auto again = world.plug(old->config());
    for (int page = 0; page < sim::kPageCount; ++page) again->setPage(page, old->page(page));
    return again;
}

class SimulatedAccessoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        world().reset();
        setReceiveLimit(kReceiveLimitMs);
    }

    void TearDown() override {
        link_.reset();
        world().reset();
    }

    static sim::World &world() { return sim::World::instance(); }

    static void setReceiveLimit(std::uint32_t limitMs) {
        hid::Timing timing;
        timing.receiveLimitMs = limitMs;
        timing.uartReadLimitMs = limitMs;
        timing.readWaitMs = kReadWaitMs;
        world().setTiming(timing);
    }

    // Plugs an accessory of the model ("standard", "x" or a loader text) and
    // opens it through a new link; the open's own traffic is forgotten.
    CDeviceLink &connect(const std::string &model = "standard") {
        sim::AccessoryConfig config;
        config.model = model;
        accessory_ = world().plug(config);
        link_ = std::make_unique<CDeviceLink>();
        EXPECT_EQ(ZELO_OK, link_->open(0));
        accessory_->clearLog();
        return *link_;
    }

    // connect, then the version reads and the defaults, as at start-up.
    CDeviceLink &connectAndIdentify(const std::string &model = "standard") {
        CDeviceLink &link = connect(model);
        EXPECT_EQ(ZELO_OK, readVersions(link));
        link.selectDefaults();
        accessory_->clearLog();
        return link;
    }

    std::vector<Frame> commands() const {
        std::vector<Frame> result;
        for (const sim::LogEntry &entry : accessory_->commands()) result.push_back(entry.bytes);
        return result;
    }

    std::vector<std::uint8_t> codes() const {
        std::vector<std::uint8_t> result;
        for (const Frame &command : commands()) result.push_back(command.front());
        return result;
    }

    std::shared_ptr<sim::Accessory> accessory_;
    std::unique_ptr<CDeviceLink> link_;
};

}  // namespace zelo::device::test
