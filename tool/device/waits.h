#ifndef ZELO_DEVICE_WAITS_H
#define ZELO_DEVICE_WAITS_H

// The fixed pauses the accessory needs between steps (boot-mode changes,
// module programming). Behind an interface so tests run them instantly and
// can check which pauses were asked for.

#include <vector>

namespace zelo::device {

class Waits {
public:
    virtual ~Waits() = default;
    virtual void sleepMs(unsigned ms) = 0;
};

// Really sleeps; shared by every caller, holds no state.
Waits &realWaits();

// Returns at once; for tests that do not care about the pauses.
class NoWaits final : public Waits {
public:
    void sleepMs(unsigned) override {}
};

// Returns at once and remembers every pause, in order.
class RecordingWaits final : public Waits {
public:
    void sleepMs(unsigned ms) override { pauses.push_back(ms); }
    std::vector<unsigned> pauses;
};

}  // namespace zelo::device

#endif
