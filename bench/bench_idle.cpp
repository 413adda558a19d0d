// The cost of doing nothing: CPU per second while an accessory is
// connected, with the IR page's 250 ms polling running and without it; and
// the resident memory that open/close cycles leave behind.
#include <atomic>
#include <thread>

#include "bench_operations.h"
#include "bench_process.h"
#include "connect_sequence.h"
#include "device_link.h"
#include "firmware_gate.h"
#include "worker_tasks.h"
#include "zelo.h"

namespace zelo::bench {

namespace {

constexpr std::chrono::seconds kIdleWindow{4};
constexpr int kOpenCloseCycles = 1000;
// Cycles before the first reading, so allocator pools are in place.
constexpr int kWarmUpCycles = 20;
constexpr double kPercent = 100.0;

// The poll worker's reports go nowhere: only its cost counts.
class IgnoredReports final : public app::TaskReports {
public:
    void devicesCounted() override {}
    void connectResult(int) override {}
    void saveResult(int) override {}
    void irStatus(const app::IrStatusRecord &) override {}
    device::ProgressSink &progress() override { return progress_; }

private:
    device::NoProgress progress_;
};

device::CDeviceLink *g_idleLink = nullptr;

device::CDeviceLink *idleLink() { return g_idleLink; }

// Percent of one core the process used while the caller slept.
double idleCpuPercent() {
    const double cpuBefore = processCpuSeconds();
    const Clock::time_point start = Clock::now();
    std::this_thread::sleep_for(kIdleWindow);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    return (processCpuSeconds() - cpuBefore) / wall * kPercent;
}

Result cpuResult(const char *operation, std::optional<double> percent, bool judged) {
    Result result(operation, Unit::PercentOfCore);
    result.measured = percent;
    result.goal = goalIf(judged, kIdleCpuGoalPercent);
    return result;
}

std::vector<Result> idleCpuResults(Delay perReport, bool judged) {
    const auto accessory = plugFresh(sim::AccessoryConfig{}, perReport);
    device::CDeviceLink link;
    app::FixedAnswerGateUi ui(false);
    device::NoProgress progress;
    if (app::connectAccessory(link, 0, ui, progress) != app::CONNECT_OK) {
        return {cpuResult("idle, IR page hidden", std::nullopt, judged),
                cpuResult("idle, IR page shown", std::nullopt, judged)};
    }
    const double hidden = idleCpuPercent();
    g_idleLink = &link;
    std::atomic<bool> polling{true};
    IgnoredReports reports;
    std::thread poller([&] { app::pollIrStatus(idleLink, polling, reports, device::realWaits()); });
    const double shown = idleCpuPercent();
    polling = false;
    poller.join();
    g_idleLink = nullptr;
    return {cpuResult("idle, IR page hidden", hidden, judged), cpuResult("idle, IR page shown", shown, judged)};
}

bool openClose(sim::Accessory &accessory) {
    ZELO_HANDLE handle = nullptr;
    if (ZELO_OpenDeviceFromNum(0, &handle, nullptr) != ZELO_OK) return false;
    ZELO_CloseDevice(handle);
    accessory.clearLog();  // the simulator's memory is not the library's
    return true;
}

Result memoryResult(Delay perReport, bool judged) {
    Result result("memory after 1000 open/close", Unit::KibiBytes);
    result.goal = goalIf(judged, kMemoryGoalKiB);
    const auto accessory = plugFresh(sim::AccessoryConfig{}, perReport);
    for (int cycle = 0; cycle < kWarmUpCycles; ++cycle) {
        if (!openClose(*accessory)) return result;
    }
    const std::optional<double> before = residentKiB();
    for (int cycle = 0; cycle < kOpenCloseCycles; ++cycle) {
        if (!openClose(*accessory)) return result;
    }
    const std::optional<double> after = residentKiB();
    if (before && after) {
        result.measured = *after - *before;
        result.floor = 0;
    }
    return result;
}

}  // namespace

std::vector<Result> idleResults(Delay perReport, bool judged) {
    std::vector<Result> results = idleCpuResults(perReport, judged);
    results.push_back(memoryResult(perReport, judged));
    return results;
}

}  // namespace zelo::bench
