// Transmit requests of the IR page, in the order the page made them. Every
// request starts one TransmitIr worker, and each worker sends the oldest
// request still waiting. Taking a request and sending it happen under one
// lock, so requests reach the accessory in order even when their threads
// start out of order: a stop overtaking its start would leave the accessory
// transmitting.
#ifndef ZELO_APP_IR_TRANSMIT_QUEUE_H
#define ZELO_APP_IR_TRANSMIT_QUEUE_H

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

#include "app_state.h"
#include "worker_tasks.h"

namespace zelo::app {

using IrTransmitRequest = std::array<std::uint8_t, kIrTransmitRequestSize>;
using IrTransmitFrame = std::array<std::uint8_t, kIrTransmitFrameSize>;

class IrTransmitQueue {
public:
    void push(const IrTransmitRequest &request);
    // Sends the oldest waiting request's frame; false when none waits.
    bool sendNext(const std::function<void(const IrTransmitFrame &)> &send);
    std::size_t waiting() const;

private:
    mutable std::mutex queueLock_;
    std::mutex orderLock_;  // held from taking a request until it is sent
    std::deque<IrTransmitFrame> waiting_;
};

// The program's one queue.
IrTransmitQueue &irTransmitQueue();

}  // namespace zelo::app

#endif
