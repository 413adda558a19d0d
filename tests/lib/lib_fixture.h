// Shared set-up for the library tests: a fresh simulated world with short
// time limits, and helpers to open accessories and inspect what they saw.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "zelo.h"
#include "zelo_backend/hid_backend.h"
#include "zelo_sim/sim.h"

namespace zelo::test {

// Short enough to keep the suite quick, long enough for a loaded machine.
inline constexpr std::uint32_t kShortLimitMs = 200;
inline constexpr std::uint32_t kShortReadWaitMs = 50;
inline constexpr std::chrono::seconds kConditionDeadline{10};

// Waits for condition to hold, giving up at the deadline.
inline bool waitUntil(const std::function<bool()> &condition) {
    const auto deadline = std::chrono::steady_clock::now() + kConditionDeadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

inline std::vector<std::uint8_t> bytesOf(const char *text) {
    std::vector<std::uint8_t> bytes;
    for (; *text != '\0'; ++text) {
        bytes.push_back(static_cast<std::uint8_t>(*text));
    }
    return bytes;
}

class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        world().reset();
        hid::Timing timing;
        timing.receiveLimitMs = kShortLimitMs;
        timing.uartReadLimitMs = kShortLimitMs;
        timing.readWaitMs = kShortReadWaitMs;
        world().setTiming(timing);
    }

    void TearDown() override {
        for (ZELO_HANDLE handle : opened_) {
            ZELO_CloseDevice(handle);
        }
        world().reset();
    }

    static sim::World &world() { return sim::World::instance(); }

    std::shared_ptr<sim::Accessory> plug(const sim::AccessoryConfig &config = {}) { return world().plug(config); }

    // Opens accessory number and remembers the handle for closing.
    ZELO_HANDLE open(std::int32_t number = 0) {
        ZELO_HANDLE handle = nullptr;
        EXPECT_EQ(ZELO_OK, ZELO_OpenDeviceFromNum(number, &handle, nullptr));
        if (handle != nullptr) {
            opened_.push_back(handle);
        }
        return handle;
    }

    // Plugs a standard accessory, opens it and forgets the open's traffic.
    ZELO_HANDLE plugAndOpen(const sim::AccessoryConfig &config = {}) {
        accessory_ = plug(config);
        ZELO_HANDLE handle = open();
        accessory_->clearLog();
        return handle;
    }

    static bool waitForFifo(ZELO_HANDLE handle, std::int32_t bytes) {
        return waitUntil([&] { return ZELO_BytesInFifo(handle) == bytes; });
    }

    // Commands the accessory parsed, each as code then payload.
    std::vector<std::vector<std::uint8_t>> commands() const {
        std::vector<std::vector<std::uint8_t>> result;
        for (const sim::LogEntry &entry : accessory_->commands()) {
            result.push_back(entry.bytes);
        }
        return result;
    }

    std::vector<std::vector<std::uint8_t>> outputReports() const {
        std::vector<std::vector<std::uint8_t>> result;
        for (const sim::LogEntry &entry : accessory_->log()) {
            if (entry.kind == sim::LogEntry::Kind::OutputReport) {
                result.push_back(entry.bytes);
            }
        }
        return result;
    }

    std::shared_ptr<sim::Accessory> accessory_;
    std::vector<ZELO_HANDLE> opened_;
};

}  // namespace zelo::test
