// The soak passes only if its figures can see growth: a thread, a
// descriptor or memory held across the cycles must show up as growth.
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "process_figures.h"

namespace zelo::soak {
namespace {

constexpr double kTolerance = 256.0;
constexpr std::size_t kHeldBytes = 16 * 1024 * 1024;
constexpr double kHeldKiB = kHeldBytes / 1024.0;

TEST(ProcessFigures, AThreadLeftRunningIsGrowth) {
    const ProcessFigures before = processFigures();
    std::mutex mutex;
    std::condition_variable released;
    bool done = false;
    std::thread held([&] {
        std::unique_lock lock(mutex);
        released.wait(lock, [&] { return done; });
    });
    const ProcessFigures during = processFigures();
    {
        std::lock_guard lock(mutex);
        done = true;
    }
    released.notify_one();
    held.join();
    // A sanitizer may start a thread of its own with the first one, so the
    // counts are compared, not fixed.
    EXPECT_GT(during.threads, before.threads);
    EXPECT_EQ(1u, growth(before, during, false, kTolerance).size());
    EXPECT_LT(settledFigures(before).threads, during.threads) << "the joined thread is gone";
}

TEST(ProcessFigures, ADescriptorLeftOpenIsGrowth) {
    const ProcessFigures before = processFigures();
    std::FILE *file = std::tmpfile();
    ASSERT_NE(nullptr, file);
    const ProcessFigures during = processFigures();
    std::fclose(file);
    EXPECT_EQ(before.descriptors + 1, during.descriptors);
    EXPECT_EQ(1u, growth(before, during, false, kTolerance).size());
    EXPECT_TRUE(growth(before, processFigures(), false, kTolerance).empty());
}

TEST(ProcessFigures, MemoryHeldBeyondTheToleranceIsGrowthWhenJudged) {
    const ProcessFigures before = processFigures();
    ASSERT_TRUE(before.residentKiB.has_value());
    std::vector<char> held(kHeldBytes, 1);  // touched, so resident
    const ProcessFigures during = processFigures();
    ASSERT_TRUE(during.residentKiB.has_value());
    EXPECT_GE(*during.residentKiB - *before.residentKiB, kHeldKiB / 2);
    EXPECT_EQ(1u, growth(before, during, true, kTolerance).size());
    EXPECT_TRUE(growth(before, during, false, kTolerance).empty()) << "a sanitizer build shows memory only";
    EXPECT_TRUE(growth(during, before, true, kTolerance).empty()) << "shrinking is no growth";
}

}  // namespace
}  // namespace zelo::soak
