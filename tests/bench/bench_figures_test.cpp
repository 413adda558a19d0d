// The benchmark's figures: a wrong floor or ratio would misjudge every
// operation, so the arithmetic and the counting of reports are checked here.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "bench_link.h"
#include "bench_report.h"
#include "zelo.h"

namespace zelo::bench {
namespace {

constexpr Delay kMs{1000};

Cost cost(double elapsedMs, long reports, double waitsMs = 0) {
    Cost c;
    c.ok = true;
    c.elapsedMs = elapsedMs;
    c.reports = reports;
    c.waitsMs = waitsMs;
    return c;
}

TEST(BenchFigures, DurationTakesTheMedianRunAndItsFloorOfReportsAndWaits) {
    const Result result = durationResult("op", {cost(90, 40, 50), cost(500, 40, 50), cost(99, 40, 50)}, kMs, 1.1);
    ASSERT_TRUE(result.measured && result.floor && result.ratio);
    EXPECT_DOUBLE_EQ(99, *result.measured);
    EXPECT_DOUBLE_EQ(90, *result.floor);  // 40 reports at 1 ms and 50 ms of waits
    EXPECT_DOUBLE_EQ(1.1, *result.ratio);
    EXPECT_TRUE(goalMet(result));

    // Answering at once, only the waits bound an operation; without them nothing does.
    EXPECT_DOUBLE_EQ(50, *durationResult("op", {cost(60, 40, 50)}, Delay::zero(), {}).floor);
    const Result unbounded = durationResult("op", {cost(5, 40)}, Delay::zero(), {});
    EXPECT_FALSE(unbounded.floor);
    EXPECT_FALSE(unbounded.ratio);
}

TEST(BenchFigures, FailedRunLeavesNoFigureAndMissesTheGoal) {
    Cost failed = cost(10, 2);
    failed.ok = false;
    const Result result = durationResult("op", {cost(10, 2), failed}, kMs, 1.1);
    EXPECT_FALSE(result.measured);
    EXPECT_FALSE(goalMet(result));
}

TEST(BenchFigures, RateComparesRunsPerSecondWithWhatTheReportsAllow) {
    // 400 round trips of 2 reports in 1 s: the link allows 500/s.
    const Result result = rateResult("rt", Unit::PerSecond, 1.0, 400, cost(1000, 800), kMs, 500.0 / 450.0);
    ASSERT_TRUE(result.measured && result.floor && result.ratio);
    EXPECT_DOUBLE_EQ(400, *result.measured);
    EXPECT_DOUBLE_EQ(500, *result.floor);
    EXPECT_DOUBLE_EQ(1.25, *result.ratio);
    EXPECT_FALSE(goalMet(result));
}

TEST(BenchFigures, IdleAndMemoryAreJudgedByTheirValue) {
    Result idle("idle", Unit::PercentOfCore);
    idle.goal = 0.5;
    idle.measured = 0.4;
    EXPECT_TRUE(goalMet(idle));
    idle.measured = 0.6;
    EXPECT_FALSE(goalMet(idle));
}

TEST(BenchFigures, JsonCarriesMissingFiguresAsNull) {
    Series series;
    series.reportDelayMs = 1;
    Result failed("op", Unit::Milliseconds);
    failed.goal = 1.1;
    series.results.push_back(failed);
    const std::string path = ::testing::TempDir() + "bench_figures.json";
    ASSERT_TRUE(writeJson(path, {series}, std::nullopt, true));
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    const std::string json = text.str();
    EXPECT_NE(std::string::npos, json.find("\"report_delay_ms\": 1"));
    EXPECT_NE(std::string::npos, json.find("\"measured\": null"));
    EXPECT_NE(std::string::npos, json.find("\"goal_met\": false"));
    EXPECT_NE(std::string::npos, json.find("\"load_average\": null"));
}

// The floor rests on this count: the command's output report and its
// answer's input report, and the pause the step asked for.
TEST(BenchFigures, MeasureCountsTheReportsOfBothDirectionsAndTheWaits) {
    const auto accessory = plugFresh(sim::AccessoryConfig{}, Delay::zero());
    ZELO_HANDLE handle = nullptr;
    ASSERT_EQ(ZELO_OK, ZELO_OpenDeviceFromNum(0, &handle, nullptr));
    CountingWaits waits;
    constexpr unsigned kPauseMs = 3;
    const Cost measured = measure(*accessory, waits, [&] {
        const std::uint8_t message[] = {0x57, 20};  // page CRC: 2 answer bytes, one report
        std::uint8_t answer[2] = {};
        std::uint32_t n = 0;
        waits.sleepMs(kPauseMs);
        return ZELO_Write(handle, message, sizeof message, &n) == ZELO_OK &&
               ZELO_Read(handle, answer, sizeof answer, &n) == ZELO_OK;
    });
    ZELO_CloseDevice(handle);
    sim::World::instance().reset();
    EXPECT_TRUE(measured.ok);
    EXPECT_EQ(2, measured.reports);
    EXPECT_DOUBLE_EQ(kPauseMs, measured.waitsMs);
    EXPECT_GE(measured.elapsedMs, kPauseMs);
}

}  // namespace
}  // namespace zelo::bench
