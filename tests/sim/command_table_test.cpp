// The commands the simulated accessory knows, with the payload length that
// follows each code, pinned against a listing written out here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "command_table.h"

namespace zelo::sim::cmd {
namespace {

struct ListedCommand {
    std::uint8_t code;
    std::size_t payload;  // for 0x55 only its count byte
};

constexpr ListedCommand kListing[] = {
    {0x01, 0}, {0x05, 0}, {0x04, 8}, {0x12, 1},   {0x14, 2}, {0x16, 0}, {0x20, 4},
    {0x49, 4}, {0x4A, 0}, {0x52, 0}, {0x53, 0},   {0x55, 1}, {0x56, 0}, {0x57, 1},
    {0x58, 513}, {0x59, 1}, {0x60, 1}, {0x70, 0}, {0x5E, 0}, {0xF0, 1},
};

TEST(SimCommandTable, EveryCodeMatchesTheListing) {
    for (unsigned value = 0; value <= 0xFF; ++value) {
        const auto code = static_cast<std::uint8_t>(value);
        const auto row = std::find_if(std::begin(kListing), std::end(kListing),
                                      [&](const ListedCommand &listed) { return listed.code == code; });
        SCOPED_TRACE(value);
        if (row == std::end(kListing)) {
            EXPECT_EQ(payloadLength(code), std::nullopt);
        } else {
            EXPECT_EQ(payloadLength(code), row->payload);
        }
    }
}

}  // namespace
}  // namespace zelo::sim::cmd
