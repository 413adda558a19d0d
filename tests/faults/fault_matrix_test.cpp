// The fault matrix: every operation under every fault the simulator can
// inject, at every position where it can occur (sampled evenly with a
// fixed seed where there are many). Each run must end in bounded time,
// report anything but a complete success as a failure, leave no reader,
// handle or stale answer behind, and leave an accessory that the next
// connect brings to a good state. Prints the table; fails on any cell
// that is not all passes, naming position and seed.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "connect_sequence.h"
#include "matrix_operations.h"
#include "module_program.h"
#include "protocol.h"
#include "unfinished_save.h"
#include "worker_tasks.h"
#include "zelo.h"
#include "zelo_backend/hid_backend.h"

namespace zelo::faults {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Time limits injected into the simulated link so the suite stays fast;
// a late answer comes this much after the limit.
constexpr std::uint32_t kReceiveLimitMs = 100;
constexpr milliseconds kLateBy{50};
// Outside the operation (reaching it, the probe, the next connect) the
// limits are generous, so a loaded machine never fails those.
constexpr std::uint32_t kGenerousLimitMs = 5000;
constexpr std::uint32_t kReadWaitMs = 5;
// What any operation may take under the short limits before it counts as hung.
constexpr milliseconds kOperationBound{15000};
// Positions per cell: every one up to this many, an even sample beyond
// (only the module cells, with hundreds of serial reports, are sampled).
constexpr int kDefaultSamples = 120;
constexpr int kDefaultModuleSamples = 16;
// Each late answer costs a time limit and the lateness: fewer of them.
constexpr int kDefaultLateSamples = 10;
constexpr unsigned kDefaultSeed = 20261208;
constexpr int kModuleSilentSyncs = 1000;

int environmentNumber(const char *name, int fallback) {
    const char *value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::atoi(value) : fallback;
}

// What a fault-free run of an operation did: the positions faults can
// take and the accessory's state before and after.
struct Profile {
    int outputReports = 0;
    int commands = 0;
    int pageAnswers = 0;
    int pageWrites = 0;
    int bootEnters = 0;
    int serialTransmits = 0;
    AccessoryState after;
    // Bytes that differ between two fault-free runs on two units (their
    // identity, the generated module address): not compared.
    std::vector<bool> configurationMask;
    std::vector<bool> moduleMask;
};

struct FaultKind {
    const char *name;
    int (*positions)(const Profile &);
    sim::FaultSpec (*spec)(int position);
    bool late = false;
};

sim::FaultSpec armed(sim::Fault fault, int after, milliseconds delay = {}) {
    sim::FaultSpec spec{fault};
    spec.after = after;
    spec.delay = delay;
    return spec;
}

const std::vector<FaultKind> &faultKinds() {
    static const std::vector<FaultKind> kinds{
        {"unplug after report k", [](const Profile &p) { return p.outputReports; },
         [](int k) { return sim::FaultSpec{sim::Fault::UnplugMidTransfer, 0, k}; }},
        {"answer dropped", [](const Profile &p) { return p.commands; },
         [](int k) { return armed(sim::Fault::DropAnswer, k); }},
        {"answer late", [](const Profile &p) { return p.commands; },
         [](int k) { return armed(sim::Fault::DelayAnswer, k, milliseconds(kReceiveLimitMs) + kLateBy); }, true},
        {"CRC corrupted", [](const Profile &p) { return p.pageAnswers; },
         [](int k) { return armed(sim::Fault::CorruptCrc, k); }},
        {"page write not stored", [](const Profile &p) { return p.pageWrites; },
         [](int k) { return armed(sim::Fault::FailPageWrite, k); }},
        {"boot mode refused", [](const Profile &p) { return std::min(p.bootEnters, 1); },
         [](int) { return sim::FaultSpec{sim::Fault::RefuseBootMode}; }},
        {"module silent", [](const Profile &p) { return std::min(p.serialTransmits, 1); },
         [](int) { return sim::FaultSpec{sim::Fault::ModuleNeverSyncs, 0, kModuleSilentSyncs}; }},
        {"module stops at step k", [](const Profile &p) { return p.serialTransmits; },
         [](int k) { return armed(sim::Fault::ModuleStops, k); }},
    };
    return kinds;
}

std::vector<bool> differing(const std::vector<std::uint8_t> &a, const std::vector<std::uint8_t> &b) {
    std::vector<bool> mask(std::max(a.size(), b.size()), false);
    for (std::size_t i = 0; i < mask.size(); ++i) mask[i] = i >= a.size() || i >= b.size() || a[i] != b[i];
    return mask;
}

bool sameOutside(const std::vector<std::uint8_t> &a, const std::vector<std::uint8_t> &b, const std::vector<bool> &mask) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && !(i < mask.size() && mask[i])) return false;
    }
    return true;
}

std::size_t firstDifference(const std::vector<std::uint8_t> &a, const std::vector<std::uint8_t> &b,
                            const std::vector<bool> &mask) {
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        if (a[i] != b[i] && !(i < mask.size() && mask[i])) return i;
    }
    return std::min(a.size(), b.size());
}

// Positions to try: all of them, or `samples` spread evenly from an offset
// the seed chooses.
std::vector<int> positionsToTry(int count, int samples, unsigned seed) {
    std::vector<int> positions;
    if (count <= samples) {
        for (int k = 0; k < count; ++k) positions.push_back(k);
        return positions;
    }
    const double step = static_cast<double>(count) / samples;
    std::mt19937 random(seed);
    const double offset = std::uniform_real_distribution<double>(0.0, step)(random);
    for (int i = 0; i < samples; ++i) positions.push_back(static_cast<int>(offset + i * step));
    return positions;
}

class FaultMatrix : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("zelo-fault-matrix-" + std::to_string(std::random_device{}()));
        store_ = std::make_unique<device::PendingSaveStore>(folder_);
    }
    void TearDown() override {
        world().reset();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    static sim::World &world() { return sim::World::instance(); }

    static void setLimits(std::uint32_t limitMs) {
        hid::Timing timing;
        timing.receiveLimitMs = limitMs;
        timing.uartReadLimitMs = limitMs;
        timing.readWaitMs = kReadWaitMs;
        world().setTiming(timing);
    }

    void freshWorld() {
        world().reset();
        setLimits(kGenerousLimitMs);
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    std::shared_ptr<OperationRun> prepared(const Operation &operation, std::string &failure) {
        freshWorld();
        auto run = std::make_shared<OperationRun>();
        run->store = store_.get();
        run->accessory = world().plug(operation.accessory);
        if (!operation.prepare(*run)) failure = "could not reach the operation";
        return run;
    }

    // Two fault-free runs on two units.
    Profile profile(const Operation &operation) {
        Profile profile;
        std::vector<AccessoryState> afters;
        for (int pass = 0; pass < 2; ++pass) {
            std::string failure;
            auto run = prepared(operation, failure);
            EXPECT_TRUE(failure.empty()) << operation.name << ": " << failure;
            run->accessory->clearLog();
            EXPECT_EQ(0, operation.run(*run)) << operation.name << " fails without a fault";
            afters.push_back(stateOf(*run->accessory));
            if (pass > 0) continue;
            for (const sim::LogEntry &entry : run->accessory->log()) {
                if (entry.kind == sim::LogEntry::Kind::OutputReport) ++profile.outputReports;
                if (entry.kind != sim::LogEntry::Kind::Command) continue;
                ++profile.commands;
                const std::uint8_t code = entry.bytes.front();
                if (code == device::command::kPageCrc || code == device::command::kPageWrite ||
                    code == device::command::kPageRead) {
                    ++profile.pageAnswers;
                }
                if (code == device::command::kPageWrite) ++profile.pageWrites;
                if (code == device::command::kBootEnter) ++profile.bootEnters;
                if (code == kSerialTransmit) ++profile.serialTransmits;
            }
            run->link.reset();
        }
        profile.after = afters[0];
        profile.configurationMask = differing(afters[0].configuration, afters[1].configuration);
        // Each unit's identity (device value, stamp, address), whichever
        // bytes of it two units happen to share.
        for (std::size_t at = device::kDeviceValueOffset; at < device::kDeviceAddressOffset + device::kDeviceAddressSize;
             ++at) {
            profile.configurationMask[at] = true;
        }
        profile.moduleMask = differing(afters[0].module, afters[1].module);
        // The generated module address, whatever two runs happened to draw.
        for (std::size_t i = 0; i < device::kModuleAddressSize; ++i) {
            const std::size_t at = device::kModuleAddressOffset + i;
            if (at < profile.moduleMask.size()) profile.moduleMask[at] = true;
        }
        return profile;
    }

    // One run with the fault at one position: empty when all four checks hold.
    std::string runOnce(const Operation &operation, const FaultKind &fault, int position, const Profile &expected,
                        bool &moduleLeftPartial) {
        std::string failure;
        auto run = prepared(operation, failure);
        if (!failure.empty()) return failure;
        const AccessoryState before = stateOf(*run->accessory);
        run->accessory->injectFault(fault.spec(position));

        // 1. Bounded.
        setLimits(kReceiveLimitMs);
        const Clock::time_point start = Clock::now();
        auto result = std::make_shared<std::promise<int>>();
        std::future<int> done = result->get_future();
        std::thread([run, result, &operation] { result->set_value(operation.run(*run)); }).detach();
        if (done.wait_for(kOperationBound) != std::future_status::ready) {
            hung_ = true;
            return "did not end within " + std::to_string(kOperationBound.count()) + " ms";
        }
        const int code = done.get();
        setLimits(kGenerousLimitMs);
        slowest_ = std::max(slowest_, std::chrono::duration_cast<milliseconds>(Clock::now() - start));

        // 2. Reported: a success must be a complete one.
        const AccessoryState after = stateOf(*run->accessory);
        if (std::getenv("ZELO_FAULT_TRACE") != nullptr) {
            for (const sim::LogEntry &entry : run->accessory->commands()) {
                std::fprintf(stderr, "  %02x %s\n", entry.bytes.front(), entry.note.c_str());
            }
            std::fprintf(stderr, "k=%d result %d\n", position, code);
        }
        if (code == 0 && !completeSuccess(operation, after, expected)) {
            return "success reported, work not done (" + differences(after, expected) + ")";
        }
        if (operation.kind == OperationKind::Module && !sameOutside(after.module, before.module, {}) &&
            !sameOutside(after.module, expected.after.module, expected.moduleMask)) {
            moduleLeftPartial = true;
        }

        // 3. Clean.
        if (std::string dirty = clean(*run, fault, start); !dirty.empty()) return dirty;

        // 4. Recoverable.
        return recovered(operation, *run, before, expected, moduleLeftPartial);
    }

    static std::string differences(const AccessoryState &after, const Profile &expected) {
        std::string parts;
        if (!sameOutside(after.configuration, expected.after.configuration, expected.configurationMask)) {
            parts += " configuration";
        }
        if (after.firmware != expected.after.firmware) parts += " firmware";
        if (after.firmwareText != expected.after.firmwareText) parts += " firmware text " + after.firmwareText;
        if (!sameOutside(after.module, expected.after.module, expected.moduleMask)) parts += " module";
        if (after.irTransmit != expected.after.irTransmit || after.pairing != expected.after.pairing) parts += " command";
        return parts;
    }

    bool completeSuccess(const Operation &operation, const AccessoryState &after, const Profile &expected) const {
        switch (operation.kind) {
        case OperationKind::Connect:
        case OperationKind::Configuration:
            return sameOutside(after.configuration, expected.after.configuration, expected.configurationMask) &&
                   after.firmware == expected.after.firmware && after.firmwareText == expected.after.firmwareText;
        case OperationKind::Module:
            return sameOutside(after.module, expected.after.module, expected.moduleMask);
        case OperationKind::Command:
            return after.irTransmit == expected.after.irTransmit && after.pairing == expected.after.pairing;
        }
        return false;
    }

    std::string clean(OperationRun &run, const FaultKind &fault, Clock::time_point start) {
        run.link->close();
        if (run.accessory->blockedReads() != 0) return "a reader is still waiting after the close";
        if (!run.accessory->plugged()) return {};
        std::int32_t count = 0;
        if (ZELO_GetNumDevices(&count) != ZELO_OK || count != 1) return "the accessory is still held open";
        // A late answer belongs to the run that asked; the probe starts
        // after its time.
        if (fault.late) {
            while (Clock::now() < start + milliseconds(kReceiveLimitMs) + 2 * kLateBy) std::this_thread::yield();
        }
        run.accessory->clearFaults();
        device::CDeviceLink probe;
        if (probe.open(0) != ZELO_OK) return "a fresh link cannot open it";
        const int versions = device::readVersions(probe);
        const bool right = versions == ZELO_OK && run.accessory->firmwareVersion() == probe.firmwareVersion;
        probe.close();
        return right ? std::string() : "the next exchange on a fresh link fails";
    }

    std::string recovered(const Operation &operation, OperationRun &run, const AccessoryState &before,
                          const Profile &expected, bool modulePartial) {
        // Plugged in again: flash stays, the link and the fault are gone.
        const auto old = run.accessory;
        if (old->plugged()) world().unplug(old);
        auto again = world().plug(old->config());
        for (int page = 0; page < sim::kPageCount; ++page) again->setPage(page, old->page(page));

        OperationRun next;
        next.accessory = again;
        next.store = store_.get();
        next.link = std::make_unique<device::CDeviceLink>();
        const int connected = connectAsProgram(*next.link, store_.get(), next.waits);
        if (connected != app::CONNECT_OK) return "the next connect fails (" + std::to_string(connected) + ")";
        const device::UnfinishedSaveCheck unfinished = next.link->unfinishedSave;
        if (unfinished.state == device::UnfinishedSave::Differs) {
            device::NoProgress progress;
            if (device::finishUnfinishedSave(*next.link, unfinished.save, progress) != ZELO_OK) {
                return "the unfinished save cannot be finished";
            }
        }
        const AccessoryState now = stateOf(*again);
        if (now.firmware != expected.after.firmware || now.firmwareText != expected.after.firmwareText) {
            return "firmware not complete and current after the next connect";
        }
        if (now.configuration != before.configuration &&
            !sameOutside(now.configuration, expected.after.configuration, expected.configurationMask)) {
            return "configuration neither the old nor the new settings (first difference from the new at " +
                   std::to_string(firstDifference(now.configuration, expected.after.configuration,
                                                  expected.configurationMask)) +
                   ")";
        }
        if (modulePartial) {
            // The module keeps its boot loader: the operation done again completes.
            if (operation.run(next) != 0 || !sameOutside(stateOf(*again).module, expected.after.module,
                                                         expected.moduleMask)) {
                return "the module operation cannot be done again";
            }
        }
        next.link->close();
        return {};
    }

    // The library's serial-tunnel transmit command (its own header is internal).
    static constexpr std::uint8_t kSerialTransmit = 0x55;

    fs::path folder_;
    std::unique_ptr<device::PendingSaveStore> store_;
    bool hung_ = false;
    milliseconds slowest_{0};
};

struct Cell {
    std::string operation;
    std::string fault;
    int positions = 0;
    int tried = 0;
    int passes = 0;
    int modulePartial = 0;
    milliseconds took{0};
    std::vector<std::string> failures;
};

TEST_F(FaultMatrix, EveryOperationUnderEveryFault) {
    const int samples = environmentNumber("ZELO_FAULT_SAMPLES", kDefaultSamples);
    const int moduleSamples = std::min(samples, environmentNumber("ZELO_FAULT_MODULE_SAMPLES", kDefaultModuleSamples));
    const int lateSamples = std::min(samples, environmentNumber("ZELO_FAULT_LATE_SAMPLES", kDefaultLateSamples));
    const unsigned seed = static_cast<unsigned>(environmentNumber("ZELO_FAULT_SEED", static_cast<int>(kDefaultSeed)));
    const Clock::time_point began = Clock::now();

    std::vector<Cell> cells;
    // ZELO_FAULT_ONLY="operation/fault" runs one cell, "operation/" one
    // row, to look into it; ZELO_FAULT_TRACE lists each run's commands.
    const char *only = std::getenv("ZELO_FAULT_ONLY");
    const std::string onlyCell = only != nullptr ? only : "";
    for (const Operation &operation : matrixOperations()) {
        if (!onlyCell.empty() && onlyCell.rfind(operation.name + "/", 0) != 0) continue;
        const Profile expected = profile(operation);
        for (const FaultKind &fault : faultKinds()) {
            if (!onlyCell.empty() && onlyCell.back() != '/' && onlyCell != operation.name + "/" + fault.name) continue;
            Cell cell;
            cell.operation = operation.name;
            cell.fault = fault.name;
            cell.positions = fault.positions(expected);
            if (cell.positions == 0) continue;
            const Clock::time_point cellStart = Clock::now();
            const int cap = fault.late ? lateSamples : operation.kind == OperationKind::Module ? moduleSamples : samples;
            for (int position : positionsToTry(cell.positions, cap, seed)) {
                bool partial = false;
                const std::string failure = runOnce(operation, fault, position, expected, partial);
                ++cell.tried;
                if (partial) ++cell.modulePartial;
                if (failure.empty()) {
                    ++cell.passes;
                } else {
                    cell.failures.push_back("k=" + std::to_string(position) + ": " + failure);
                }
                if (hung_) break;
            }
            cell.took = std::chrono::duration_cast<milliseconds>(Clock::now() - cellStart);
            // Progress on the way: a full run takes minutes.
            std::fprintf(stderr, "%s / %s: %d of %d in %lld ms\n", cell.operation.c_str(), cell.fault.c_str(),
                         cell.passes, cell.tried, static_cast<long long>(cell.took.count()));
            cells.push_back(cell);
            if (hung_) break;
        }
        if (hung_) break;
    }

    std::printf("\n%-18s %-24s %9s %7s %7s %8s\n", "operation", "fault", "positions", "tried", "passes", "ms");
    for (const Cell &cell : cells) {
        std::printf("%-18s %-24s %9d %7d %7d %8lld%s\n", cell.operation.c_str(), cell.fault.c_str(), cell.positions,
                    cell.tried, cell.passes, static_cast<long long>(cell.took.count()),
                    cell.modulePartial > 0 ? ("  (module left part-programmed " + std::to_string(cell.modulePartial) +
                                              "x, done again)")
                                                 .c_str()
                                           : "");
    }
    const auto took = std::chrono::duration_cast<milliseconds>(Clock::now() - began);
    std::printf("seed %u, samples %d (module %d, late answers %d), %lld ms, slowest operation %lld ms\n", seed,
                samples, moduleSamples, lateSamples, static_cast<long long>(took.count()), static_cast<long long>(slowest_.count()));
    std::fflush(stdout);

    EXPECT_FALSE(hung_) << "an operation hung; the matrix stopped there";
    for (const Cell &cell : cells) {
        if (cell.failures.empty()) continue;
        std::ostringstream list;
        for (const std::string &failure : cell.failures) list << "\n  " << failure;
        ADD_FAILURE() << cell.operation << " / " << cell.fault << " (seed " << seed << "): " << cell.failures.size()
                      << " of " << cell.tried << " failed" << list.str();
    }
}

}  // namespace
}  // namespace zelo::faults
