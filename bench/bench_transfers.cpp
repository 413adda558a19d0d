// Single commands through the raw exports, as many as fit in a fixed time.
#include <cstdint>
#include <cstdio>

#include "bench_operations.h"
#include "zelo.h"

namespace zelo::bench {

namespace {

constexpr std::uint8_t kPageCrcCommand = 0x57;
constexpr std::uint8_t kPageReadCommand = 0x59;
constexpr std::uint8_t kBenchPage = 20;
constexpr std::uint32_t kCrcAnswer = 2;
constexpr std::uint32_t kPageAnswer = 512 + 2;  // page and its CRC
constexpr std::chrono::milliseconds kRunTime{1500};

// One command message and its answer of answerLength bytes.
bool exchange(ZELO_HANDLE handle, std::uint8_t code, std::uint32_t answerLength) {
    const std::uint8_t message[] = {code, kBenchPage};
    std::uint8_t answer[kPageAnswer];
    std::uint32_t count = 0;
    return ZELO_Write(handle, message, sizeof message, &count) == ZELO_OK &&
           ZELO_Read(handle, answer, answerLength, &count) == ZELO_OK;
}

}  // namespace

std::vector<Result> transferResults(Delay perReport, bool judged) {
    const auto accessory = plugFresh(sim::AccessoryConfig{}, perReport);
    ZELO_HANDLE handle = nullptr;
    if (ZELO_OpenDeviceFromNum(0, &handle, nullptr) != ZELO_OK) {
        std::fprintf(stderr, "zelo-bench: the simulated accessory could not be opened\n");
        return {Result("0x57 round trips", Unit::PerSecond),
                Result("0x59 page reads (514 bytes)", Unit::BytesPerSecond)};
    }
    std::vector<Result> results;
    long count = 0;
    Cost cost = measureFor(*accessory, kRunTime, [&] { return exchange(handle, kPageCrcCommand, kCrcAnswer); }, &count);
    results.push_back(rateResult("0x57 round trips", Unit::PerSecond, 1.0, count, cost, perReport,
                                 goalIf(judged, kRoundTripGoal)));
    cost = measureFor(*accessory, kRunTime, [&] { return exchange(handle, kPageReadCommand, kPageAnswer); }, &count);
    results.push_back(rateResult("0x59 page reads (514 bytes)", Unit::BytesPerSecond, kPageAnswer, count, cost,
                                 perReport, goalIf(judged, kPageReadGoal)));
    ZELO_CloseDevice(handle);
    return results;
}

}  // namespace zelo::bench
