#include <gtest/gtest.h>

#include "pairing_animation.h"

namespace zelo::app {
namespace {

TEST(PairingAnimation, RunsThirtyFourTicksAndStopsFull) {
    int progress = 57;
    restartPairing(progress);
    EXPECT_EQ(0, progress);
    int ticks = 0;
    PairingTick tick{};
    do {
        tick = advancePairing(progress);
        ++ticks;
        ASSERT_EQ(ticks * kPairingStep, tick.position);
    } while (!tick.finished);
    EXPECT_EQ(34, ticks);  // 17 seconds at 500 ms
    EXPECT_EQ(102, tick.position);
    EXPECT_EQ(0, progress);
}

TEST(PairingAnimation, ARestartBeginsAgainFromZero) {
    int progress = 0;
    for (int i = 0; i < 10; ++i) advancePairing(progress);
    restartPairing(progress);
    const PairingTick tick = advancePairing(progress);
    EXPECT_EQ(kPairingStep, tick.position);
    EXPECT_FALSE(tick.finished);
}

}  // namespace
}  // namespace zelo::app
