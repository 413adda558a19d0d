// Shared helpers: a fixture with a fresh world, and the library's side of
// the wire (messages cut into output reports, answers collected from input
// reports) in its simplest form.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "zelo_backend/hid_backend.h"
#include "zelo_sim/sim.h"

namespace zelo::sim::test {

using Bytes = std::vector<std::uint8_t>;

// Long enough never to trip on a loaded machine; answers normally come at once.
inline constexpr std::uint32_t kAnswerWaitMs = 5000;
inline constexpr std::uint32_t kReportLength = 64;
inline constexpr std::size_t kDataPerReport = kReportLength - 2;

Bytes bytesOf(const std::string &text);
Bytes command(std::uint8_t code, const Bytes &payload = {}, const Bytes &more = {});
std::array<std::uint8_t, kPageSize> patternPage(std::uint8_t seed);

// The library's two channels on one accessory.
struct Link {
    hid::Channel write = nullptr;
    hid::Channel read = nullptr;
};

class SimTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    static World &world() { return World::instance(); }
    static hid::Backend &backend() { return World::instance().backend(); }

    std::shared_ptr<Accessory> plug(const AccessoryConfig &config = {});
    hid::Channel openChannel(const std::string &path, const hid::OpenMode &mode);
    Link openLink(const Accessory &accessory);

    // Sends message as output reports of the channel's length.
    bool send(hid::Channel channel, const Bytes &message, std::uint32_t reportLength = kReportLength);
    // Collects the data bytes of input reports until at least count have
    // come (whole reports, so possibly more); fewer when none come in time.
    Bytes receive(hid::Channel channel, std::size_t count, std::uint32_t waitMs = kAnswerWaitMs);
    // send + receive on a link.
    Bytes exchange(const Link &link, const Bytes &message, std::size_t answerLength);

private:
    std::vector<hid::Channel> opened_;
};

}  // namespace zelo::sim::test
