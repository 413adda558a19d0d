// Command round trips and bytes per second through ZELO_Write/ZELO_Read,
// with the simulated accessory answering at once and at 1 ms per report.
// Each result is set against the floor that the per-report cost imposes.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "zelo.h"
#include "zelo_sim/sim.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint8_t kPageCrcCommand = 0x57;
constexpr std::uint8_t kPageReadCommand = 0x59;
constexpr std::uint8_t kBenchPage = 20;
constexpr std::uint32_t kCrcAnswer = 2;
constexpr std::uint32_t kPageAnswer = 512 + 2;  // page and its CRC
constexpr std::uint32_t kDataPerInputReport = 62;
constexpr std::chrono::milliseconds kPerReportDelay{1};
constexpr std::chrono::milliseconds kRunTime{1500};

void selectSimulator() {
#if defined(_WIN32)
    _putenv_s("ZELO_SIMULATOR", "none");
#else
    setenv("ZELO_SIMULATOR", "none", 1);
#endif
}

// One command message and its answer of answerLength bytes.
bool exchange(ZELO_HANDLE handle, std::uint8_t code, std::uint32_t answerLength) {
    const std::uint8_t message[] = {code, kBenchPage};
    std::uint8_t answer[kPageAnswer];
    std::uint32_t count = 0;
    return ZELO_Write(handle, message, sizeof message, &count) == ZELO_OK &&
           ZELO_Read(handle, answer, answerLength, &count) == ZELO_OK;
}

// Runs step for kRunTime; returns completed steps per second, or -1.
double perSecond(const std::function<bool()> &step) {
    const Clock::time_point start = Clock::now();
    long done = 0;
    while (Clock::now() - start < kRunTime) {
        if (!step()) {
            return -1.0;
        }
        ++done;
    }
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    return done / elapsed.count();
}

// Reports one exchange costs: one output report, the answer's input reports.
double reportsPerExchange(std::uint32_t answerLength) {
    return 1.0 + (answerLength + kDataPerInputReport - 1) / kDataPerInputReport;
}

void printResult(const char *what, const char *unit, double value, double floorLimit) {
    if (value < 0) {
        std::printf("  %-28s failed\n", what);
        return;
    }
    if (floorLimit > 0) {
        std::printf("  %-28s %10.0f %-8s (%.0f%% of the %.0f %s the report cost allows)\n", what, value, unit,
                    100.0 * value / floorLimit, floorLimit, unit);
    } else {
        std::printf("  %-28s %10.0f %s\n", what, value, unit);
    }
}

void runSeries(ZELO_HANDLE handle, std::chrono::milliseconds delay) {
    zelo::sim::World::instance().setReportDelay(delay);
    const double perReport = std::chrono::duration<double>(delay).count();
    const double crcFloor = perReport > 0 ? 1.0 / (reportsPerExchange(kCrcAnswer) * perReport) : 0;
    const double pageFloor = perReport > 0 ? kPageAnswer / (reportsPerExchange(kPageAnswer) * perReport) : 0;

    std::printf("report delay %lld ms:\n", static_cast<long long>(delay.count()));
    printResult("0x57 round trips", "per s", perSecond([&] { return exchange(handle, kPageCrcCommand, kCrcAnswer); }),
                crcFloor);
    const double pages = perSecond([&] { return exchange(handle, kPageReadCommand, kPageAnswer); });
    printResult("0x59 page reads (514 bytes)", "bytes/s", pages < 0 ? pages : pages * kPageAnswer, pageFloor);
}

}  // namespace

int main() {
    selectSimulator();
    zelo::sim::World &world = zelo::sim::World::instance();
    world.plug(zelo::sim::AccessoryConfig{});
    ZELO_HANDLE handle = nullptr;
    if (ZELO_OpenDeviceFromNum(0, &handle, nullptr) != ZELO_OK) {
        std::fprintf(stderr, "zelo-bench: the simulated accessory could not be opened\n");
        return EXIT_FAILURE;
    }
    runSeries(handle, std::chrono::milliseconds(0));
    runSeries(handle, kPerReportDelay);
    ZELO_CloseDevice(handle);
    return EXIT_SUCCESS;
}
