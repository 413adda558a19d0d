#include "waits.h"

#include <chrono>
#include <thread>

namespace zelo::device {

namespace {

class RealWaits final : public Waits {
public:
    void sleepMs(unsigned ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

}  // namespace

Waits &realWaits() {
    static RealWaits waits;
    return waits;
}

}  // namespace zelo::device
