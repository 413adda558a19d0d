#include "waits.h"

#include <chrono>
#include <thread>

#if defined(__EMSCRIPTEN__)
#include <emscripten.h>
#endif

namespace zelo::device {

namespace {

class RealWaits final : public Waits {
public:
#if defined(__EMSCRIPTEN__)
    // The browser's one thread gives the event loop back while it waits.
    void sleepMs(unsigned ms) override { emscripten_sleep(ms); }
#else
    void sleepMs(unsigned ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
#endif
};

}  // namespace

Waits &realWaits() {
    static RealWaits waits;
    return waits;
}

}  // namespace zelo::device
