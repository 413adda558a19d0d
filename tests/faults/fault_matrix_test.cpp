// The fault matrix: every operation under every fault the simulator can
// inject, at the positions where the fault acts (the riskiest always, the
// rest sampled from a seed). Each run must end in bounded time, act its
// fault, report anything but a complete success as a failure, leave no
// reader, handle or stale answer behind, and leave an accessory whose
// configuration is entirely old or entirely new, whose identity is its own
// and whose firmware the next connect brings to the current one. Prints the
// table with the runs each fault acted in; fails on any cell that is not
// all passes, naming position and seed.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "connect_sequence.h"
#include "matrix_aftermath.h"
#include "matrix_faults.h"
#include "matrix_operations.h"
#include "matrix_profile.h"
#include "matrix_sampling.h"
#include "protocol.h"
#include "unfinished_save.h"
#include "zelo.h"
#include "zelo_backend/hid_backend.h"

namespace zelo::faults {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Outside the operation (reaching it, the probe, the next connect) the
// limits are generous, so a loaded machine never fails those.
constexpr std::uint32_t kGenerousLimitMs = 5000;
constexpr std::uint32_t kReadWaitMs = 5;
// What any operation may take under the short limits before it counts as hung.
constexpr milliseconds kOperationBound{15000};
constexpr milliseconds kLinkSettleBound{5000};
// Positions per cell: every one up to this many, a sample beyond (the
// positions always tried come on top).
constexpr int kDefaultSamples = 120;
constexpr int kDefaultModuleSamples = 16;
// Runs that wait out a time limit: fewer of them.
constexpr int kDefaultFewSamples = 10;
constexpr unsigned kDefaultSeed = 20261208;
constexpr int kActAttempts = 3;

int environmentNumber(const char *name, int fallback) {
    const char *value = std::getenv(name);
    return value != nullptr && *value != '\0' ? std::atoi(value) : fallback;
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

std::size_t firstDifference(const std::vector<std::uint8_t> &a, const std::vector<std::uint8_t> &b) {
    const auto [at, ignored] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    return static_cast<std::size_t>(at - a.begin());
}

// One run's outcome.
struct RunResult {
    std::string failure;  // empty: all checks held
    bool acted = false;   // the fault took effect
    bool modulePartial = false;
};

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

    static void setLimits(std::uint32_t limitMs, std::uint32_t writeLimitMs) {
        hid::Timing timing;
        timing.receiveLimitMs = limitMs;
        timing.uartReadLimitMs = limitMs;
        timing.readWaitMs = kReadWaitMs;
        timing.writeLimitMs = writeLimitMs;
        world().setTiming(timing);
    }
    static void generousLimits() { setLimits(kGenerousLimitMs, kGenerousLimitMs); }

    void freshWorld() {
        world().reset();
        generousLimits();
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

    // Two fault-free runs on two units: the first gives the events, both
    // the module bytes that differ by chance.
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
            if (pass == 0) profile = profileOf(run->accessory->log());
            run->link.reset();
        }
        profile.after = afters[0];
        profile.moduleMask = differing(afters[0].module, afters[1].module);
        return profile;
    }

    // Fault-free, for the rows about what follows a cut: what the next
    // connect leaves without the operation and after it.
    Settled settledOf(const Operation &operation) {
        Settled settled;
        for (const bool done : {false, true}) {
            std::string failure;
            auto run = prepared(operation, failure);
            EXPECT_TRUE(failure.empty()) << operation.name << ": " << failure;
            if (done) {
                EXPECT_EQ(0, operation.run(*run)) << operation.name << " fails without a fault";
            }
            run->link.reset();
            const AftermathRun after = runAftermath(*operation.aftermath, *run->accessory, *store_);
            EXPECT_TRUE(after.failure.empty()) << operation.name << " without a fault: " << after.failure;
            const AccessoryState state = stateOf(*run->accessory);
            (done ? settled.newConfiguration : settled.oldConfiguration) = state.configuration;
            settled.firmware = state.firmware;
            settled.firmwareText = state.firmwareText;
        }
        return settled;
    }

    // The configuration a complete success leaves on this unit.
    static std::vector<std::uint8_t> newConfiguration(const AccessoryState &before, const Profile &expected) {
        std::vector<std::uint8_t> configuration = expected.after.configuration;
        copyIdentity(before.configuration, configuration);
        return configuration;
    }

    // Runs the operation on its own thread; false when it did not end in time.
    bool bounded(const Operation &operation, const std::shared_ptr<OperationRun> &run, int &code) {
        auto result = std::make_shared<std::promise<int>>();
        std::future<int> done = result->get_future();
        std::thread([run, result, &operation] { result->set_value(operation.run(*run)); }).detach();
        if (done.wait_for(kOperationBound) != std::future_status::ready) return false;
        code = done.get();
        return true;
    }

    // One run with the fault at one position.
    RunResult runOnce(const Operation &operation, const FaultKind &fault, int position, const Profile &expected) {
        RunResult outcome;
        auto run = prepared(operation, outcome.failure);
        if (!outcome.failure.empty()) return outcome;
        const AccessoryState before = stateOf(*run->accessory);
        run->accessory->injectFault(fault.spec(expected, position));

        // 1. Bounded.
        setLimits(kReceiveLimitMs, kWriteLimitMs);
        const Clock::time_point start = Clock::now();
        int code = 0;
        if (!bounded(operation, run, code)) {
            hung_ = true;
            outcome.failure = "did not end within " + std::to_string(kOperationBound.count()) + " ms";
            return outcome;
        }
        generousLimits();
        const Clock::time_point ended = Clock::now();
        slowest_ = std::max(slowest_, std::chrono::duration_cast<milliseconds>(ended - start));
        outcome.acted = run->accessory->faultsActed() > 0;
        if (std::getenv("ZELO_FAULT_TRACE") != nullptr) trace(*run, position, code);
        if (!outcome.acted) {
            outcome.failure = "the fault did not act";
            return outcome;
        }

        // 2. Reported: a success must be a complete one.
        const AccessoryState after = stateOf(*run->accessory);
        if (code == 0 && !completeSuccess(operation, before, after, expected)) {
            outcome.failure = "success reported, work not done (" + differences(before, after, expected) + ")";
            return outcome;
        }
        if (operation.kind == OperationKind::Module && !sameOutside(after.module, before.module, {}) &&
            !sameOutside(after.module, expected.after.module, expected.moduleMask)) {
            outcome.modulePartial = true;
        }

        if (fault.recovery == Recovery::SameLink) {
            outcome.failure = againOnTheSameLink(operation, *run, before, expected, ended);
            if (!outcome.failure.empty()) return outcome;
        }

        // 3. Clean. A late answer belongs to the run that asked; the probe
        // starts after its time.
        if (fault.late) waitUntil(ended + milliseconds(kReceiveLimitMs) + 2 * kLateBy);
        if (std::string dirty = clean(*run); !dirty.empty()) {
            outcome.failure = dirty;
            return outcome;
        }

        // 4. Recoverable.
        outcome.failure = recovered(operation, fault, *run, before, expected, outcome.modulePartial);
        return outcome;
    }

    static void waitUntil(Clock::time_point when) {
        while (Clock::now() < when) std::this_thread::yield();
    }

    static void trace(const OperationRun &run, int position, int code) {
        for (const sim::LogEntry &entry : run.accessory->commands()) {
            std::fprintf(stderr, "  %02x %s\n", entry.bytes.front(), entry.note.c_str());
        }
        std::fprintf(stderr, "k=%d result %d, fault acted %d\n", position, code, run.accessory->faultsActed());
    }

    // The link the operation failed on stays open. Once the late answer has
    // come, the operation done again on it must succeed.
    std::string againOnTheSameLink(const Operation &operation, OperationRun &run, const AccessoryState &before,
                                   const Profile &expected, Clock::time_point ended) {
        // The late answer must be in the link's hands before the operation
        // starts again: taken from the accessory (or read away by a later
        // exchange) and the reader back waiting, so it is in the FIFO. A
        // loaded machine may take long for that, hence the wide deadline.
        const Clock::time_point due = ended + milliseconds(kReceiveLimitMs) + 2 * kLateBy;
        const Clock::time_point giveUp = due + kLinkSettleBound;
        while (Clock::now() < giveUp &&
               (run.accessory->reportsWaiting() > 0 || run.accessory->blockedReads() == 0)) {
            std::this_thread::yield();
        }
        run.accessory->clearFaults();
        int code = 0;
        auto shared = std::shared_ptr<OperationRun>(&run, [](OperationRun *) {});
        if (!bounded(operation, shared, code)) {
            hung_ = true;
            return "done again on the same link, did not end";
        }
        if (std::getenv("ZELO_FAULT_TRACE") != nullptr) trace(run, -1, code);
        if (code != 0) return "done again on the same link, fails (" + std::to_string(code) + ")";
        if (!completeSuccess(operation, before, stateOf(*run.accessory), expected)) {
            return "done again on the same link, work not done";
        }
        return {};
    }

    static std::string differences(const AccessoryState &before, const AccessoryState &after, const Profile &expected) {
        std::string parts;
        if (after.configuration != newConfiguration(before, expected)) parts += " configuration";
        if (after.firmware != expected.after.firmware) parts += " firmware";
        if (after.firmwareText != expected.after.firmwareText) parts += " firmware text " + after.firmwareText;
        if (!sameOutside(after.module, expected.after.module, expected.moduleMask)) parts += " module";
        if (after.irTransmit != expected.after.irTransmit || after.pairing != expected.after.pairing) parts += " command";
        return parts;
    }

    static bool completeSuccess(const Operation &operation, const AccessoryState &before, const AccessoryState &after,
                                const Profile &expected) {
        switch (operation.kind) {
        case OperationKind::Connect:
        case OperationKind::Configuration:
            return after.configuration == newConfiguration(before, expected) &&
                   after.firmware == expected.after.firmware && after.firmwareText == expected.after.firmwareText;
        case OperationKind::Module:
            return sameOutside(after.module, expected.after.module, expected.moduleMask);
        case OperationKind::Command:
            return after.irTransmit == expected.after.irTransmit && after.pairing == expected.after.pairing;
        }
        return false;
    }

    std::string clean(OperationRun &run) {
        run.link->close();
        if (run.accessory->blockedReads() != 0) return "a reader is still waiting after the close";
        if (!run.accessory->plugged()) return {};
        std::int32_t count = 0;
        if (ZELO_GetNumDevices(&count) != ZELO_OK || count != 1) return "the accessory is still held open";
        run.accessory->clearFaults();
        device::CDeviceLink probe;
        if (probe.open(0) != ZELO_OK) return "a fresh link cannot open it";
        const int versions = device::readVersions(probe);
        const bool right = versions == ZELO_OK && run.accessory->firmwareVersion() == probe.firmwareVersion;
        probe.close();
        return right ? std::string() : "the next exchange on a fresh link fails";
    }

    // Plugged in again (flash and module memory kept, link and fault gone),
    // or, after the program died, started again on the accessory as it is.
    std::shared_ptr<sim::Accessory> comeBack(const FaultKind &fault, const std::shared_ptr<sim::Accessory> &old) {
        old->clearFaults();
        if (fault.recovery == Recovery::NewStart && old->plugged()) return old;
        if (old->plugged()) world().unplug(old);
        auto again = world().plug(old->config());
        for (int page = 0; page < sim::kPageCount; ++page) again->setPage(page, old->page(page));
        again->restoreModule(old->moduleMemory(), old->moduleErased());
        return again;
    }

    std::string recovered(const Operation &operation, const FaultKind &fault, OperationRun &run,
                          const AccessoryState &before, const Profile &expected, bool modulePartial) {
        auto again = comeBack(fault, run.accessory);
        if (operation.aftermath) {
            const AftermathRun after = runAftermath(*operation.aftermath, *again, *store_);
            lastAsked_ = after.asked > 0;
            return judgeAftermath(*operation.aftermath, after, *again, *store_, settled_, before.configuration);
        }
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
        if (now.configuration != before.configuration) {
            const std::vector<std::uint8_t> fresh = newConfiguration(before, expected);
            if (now.configuration != fresh) {
                return "configuration neither the old nor the new settings (first difference from the new at " +
                       std::to_string(firstDifference(now.configuration, fresh)) + ", from the old at " +
                       std::to_string(firstDifference(now.configuration, before.configuration)) + ")";
            }
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

    fs::path folder_;
    std::unique_ptr<device::PendingSaveStore> store_;
    bool hung_ = false;
    milliseconds slowest_{0};
    Settled settled_;  // the operation's, for the rows about what follows a cut
    bool lastAsked_ = false;  // the last run's next connect asked about the cut save
};

struct Cell {
    std::string operation;
    std::string fault;
    int positions = 0;
    int tried = 0;
    int acted = 0;
    int passes = 0;
    int modulePartial = 0;
    int asked = 0;  // runs whose next connect asked about the cut save
    milliseconds took{0};
    std::vector<std::string> failures;
};

struct Sizes {
    int samples;
    int moduleSamples;
    int fewSamples;
    bool everyMessage;  // the end of every message always tried, not only of each command's first and last
};

int samplesFor(const Sizes &sizes, const Operation &operation, const FaultKind &fault) {
    // The rows about what follows a cut each run a longer next connect.
    if (fault.sampling == Sampling::Few || !operation.faults.empty()) return sizes.fewSamples;
    return operation.kind == OperationKind::Module ? sizes.moduleSamples : sizes.samples;
}

void printTable(const std::vector<Cell> &cells) {
    std::printf("\n%-22s %-24s %9s %7s %7s %7s %8s\n", "operation", "fault", "positions", "tried", "acted", "passes",
                "ms");
    for (const Cell &cell : cells) {
        std::string partial =
            cell.modulePartial > 0
                ? "  (module left part-programmed " + std::to_string(cell.modulePartial) + "x, done again)"
                : "";
        if (cell.asked > 0) partial += "  (cut save put to the user " + std::to_string(cell.asked) + "x)";
        std::printf("%-22s %-24s %9d %7d %7d %7d %8lld%s\n", cell.operation.c_str(), cell.fault.c_str(),
                    cell.positions, cell.tried, cell.acted, cell.passes, static_cast<long long>(cell.took.count()),
                    partial.c_str());
    }
}

TEST_F(FaultMatrix, EveryOperationUnderEveryFault) {
    const int samples = environmentNumber("ZELO_FAULT_SAMPLES", kDefaultSamples);
    const Sizes sizes{samples, std::min(samples, environmentNumber("ZELO_FAULT_MODULE_SAMPLES", kDefaultModuleSamples)),
                      std::min(samples, environmentNumber("ZELO_FAULT_FEW_SAMPLES", kDefaultFewSamples)),
                      environmentNumber("ZELO_FAULT_EVERY_MESSAGE", 1) != 0};
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
        if (operation.aftermath) settled_ = settledOf(operation);
        for (const FaultKind &fault : faultKinds()) {
            const std::string name = operation.name + "/" + fault.name;
            if (!onlyCell.empty() && onlyCell.back() != '/' && onlyCell != name) continue;
            if (!operation.faults.empty() && std::ranges::find(operation.faults, fault.name) == operation.faults.end()) {
                continue;
            }
            // A failed connect closes its link: there is none to keep.
            if (fault.recovery == Recovery::SameLink && operation.kind == OperationKind::Connect) continue;
            Cell cell;
            cell.operation = operation.name;
            cell.fault = fault.name;
            cell.positions = fault.positions(expected);
            if (cell.positions == 0) continue;
            const Clock::time_point cellStart = Clock::now();
            const bool eachCodeOnly =
                operation.kind == OperationKind::Module || !operation.faults.empty() || !sizes.everyMessage;
            const std::vector<int> always = fault.always(expected, eachCodeOnly);
            for (int position :
                 positionsToTry(cell.positions, samplesFor(sizes, operation, fault), always, seed, name)) {
                // A fault that did not act means the run went elsewhere
                // before its position (an exchange timed out on a loaded
                // machine): it is run again before it counts against the cell.
                RunResult result;
                for (int attempt = 0; attempt < kActAttempts && !hung_; ++attempt) {
                    lastAsked_ = false;
                    result = runOnce(operation, fault, position, expected);
                    if (result.acted) break;
                }
                ++cell.tried;
                if (lastAsked_) ++cell.asked;
                if (result.acted) ++cell.acted;
                if (result.modulePartial) ++cell.modulePartial;
                if (result.failure.empty()) {
                    ++cell.passes;
                } else {
                    cell.failures.push_back("k=" + std::to_string(position) + ": " + result.failure);
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

    printTable(cells);
    const auto took = std::chrono::duration_cast<milliseconds>(Clock::now() - began);
    std::printf("seed %u, samples %d (module %d, slow faults %d), %lld ms, slowest operation %lld ms\n", seed,
                sizes.samples, sizes.moduleSamples, sizes.fewSamples, static_cast<long long>(took.count()),
                static_cast<long long>(slowest_.count()));
    std::fflush(stdout);

    EXPECT_FALSE(hung_) << "an operation hung; the matrix stopped there";
    for (const Cell &cell : cells) {
        if (cell.failures.empty()) continue;
        std::ostringstream list;
        for (const std::string &failure : cell.failures) list << "\n  " << failure;
        ADD_FAILURE() << cell.operation << " / " << cell.fault << " (ZELO_FAULT_SEED=" << seed
                      << "): " << cell.failures.size() << " of " << cell.tried << " failed" << list.str();
    }
}

}  // namespace
}  // namespace zelo::faults
