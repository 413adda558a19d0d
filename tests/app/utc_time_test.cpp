// One UTC formatter for the backup files' names and the command line:
// a morning time, and one past 2038 (a 64-bit time on every build).
#include <gtest/gtest.h>

#include <ctime>

#include "utc_time.h"

namespace zelo::app::test {
namespace {

constexpr std::int64_t kMorning = 1796712900;  // 2026-12-08 06:55:00 UTC
constexpr std::int64_t kPast2038 = 2240611199;      // 2040-12-31 23:59:59 UTC

TEST(UtcTime, FormatsInUtcWhateverTheFormat) {
    EXPECT_EQ(utcTimeText(kMorning, "%Y%m%d-%H%M%S"), "20261208-065500");
    EXPECT_EQ(utcTimeText(kMorning, "%Y-%m-%d %H:%M:%S UTC"), "2026-12-08 06:55:00 UTC");
    if constexpr (sizeof(std::time_t) >= sizeof(std::int64_t)) {
        EXPECT_EQ(utcTimeText(kPast2038, "%Y%m%d-%H%M%S"), "20401231-235959");
    }
}

}  // namespace
}  // namespace zelo::app::test
