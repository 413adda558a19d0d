#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

#include "ir_transmit_queue.h"

namespace zelo::app {
namespace {

IrTransmitRequest request(std::uint8_t code, std::uint8_t action) { return {code, 0x01, 0x02, action, 0x5A}; }

TEST(IrTransmitQueue, SendsTheFirstFourBytesOfEachRequestOnce) {
    IrTransmitQueue queue;
    std::vector<IrTransmitFrame> sent;
    const auto record = [&](const IrTransmitFrame &frame) { sent.push_back(frame); };
    EXPECT_FALSE(queue.sendNext(record));
    queue.push(request(0x10, 0xFF));
    queue.push(request(0x10, 0x00));
    EXPECT_TRUE(queue.sendNext(record));
    EXPECT_TRUE(queue.sendNext(record));
    EXPECT_FALSE(queue.sendNext(record));
    EXPECT_EQ((std::vector<IrTransmitFrame>{{0x10, 0x01, 0x02, 0xFF}, {0x10, 0x01, 0x02, 0x00}}), sent);
}

TEST(IrTransmitQueue, ConcurrentSendersKeepThePushOrder) {
    constexpr int kRequests = 64;
    IrTransmitQueue queue;
    for (int i = 0; i < kRequests; ++i) queue.push(request(static_cast<std::uint8_t>(i), 0xFF));
    std::mutex lock;
    std::vector<int> order;
    std::vector<std::thread> senders;
    for (int i = 0; i < kRequests; ++i) {
        senders.emplace_back([&] {
            queue.sendNext([&](const IrTransmitFrame &frame) {
                const std::lock_guard<std::mutex> guard(lock);
                order.push_back(frame[0]);
            });
        });
    }
    for (std::thread &sender : senders) sender.join();
    ASSERT_EQ(static_cast<std::size_t>(kRequests), order.size());
    for (int i = 0; i < kRequests; ++i) EXPECT_EQ(i, order[static_cast<std::size_t>(i)]);
    EXPECT_EQ(0u, queue.waiting());
}

}  // namespace
}  // namespace zelo::app
