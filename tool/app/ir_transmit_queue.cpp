#include "ir_transmit_queue.h"

#include <algorithm>

namespace zelo::app {

void IrTransmitQueue::push(const IrTransmitRequest &request) {
    IrTransmitFrame frame{};
    std::copy_n(request.begin(), frame.size(), frame.begin());
    const std::lock_guard<std::mutex> guard(queueLock_);
    waiting_.push_back(frame);
}

bool IrTransmitQueue::sendNext(const std::function<void(const IrTransmitFrame &)> &send) {
    const std::lock_guard<std::mutex> order(orderLock_);
    IrTransmitFrame frame{};
    {
        const std::lock_guard<std::mutex> guard(queueLock_);
        if (waiting_.empty()) return false;
        frame = waiting_.front();
        waiting_.pop_front();
    }
    send(frame);
    return true;
}

std::size_t IrTransmitQueue::waiting() const {
    const std::lock_guard<std::mutex> guard(queueLock_);
    return waiting_.size();
}

IrTransmitQueue &irTransmitQueue() {
    static IrTransmitQueue queue;
    return queue;
}

}  // namespace zelo::app
