// The operations of the fault matrix: each sets up a simulated accessory
// the way the user reaches the operation, runs the program's own portable
// code for it, and says whether a success really did the work.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device_link.h"
#include "pending_save.h"
#include "unfinished_save.h"
#include "waits.h"
#include "zelo_sim/sim.h"

namespace zelo::faults {

// A fixed clock, so two runs of a Save write the same stamp.
inline constexpr std::int64_t kFixedNow = 1'700'000'000;

enum class OperationKind { Connect, Configuration, Module, Command };

struct OperationRun {
    std::shared_ptr<sim::Accessory> accessory;
    std::unique_ptr<device::CDeviceLink> link;
    device::PendingSaveStore *store = nullptr;
    device::NoWaits waits;
};

// What comes between a cut save and the next connect, and the user's
// answer there to the question about the cut save.
struct Aftermath {
    bool savedElsewhere = false;  // another computer saves the accessory in between
    device::UnfinishedChoice choice = device::UnfinishedChoice::Finish;
};

struct Operation {
    std::string name;
    OperationKind kind;
    sim::AccessoryConfig accessory;
    // Brings the fresh accessory to where the user starts the operation
    // (connected, edits made); false when that failed.
    std::function<bool(OperationRun &)> prepare;
    // The operation itself: 0 for success, as the program counts it.
    std::function<int(OperationRun &)> run;
    // Rows about what follows a cut: only the faults named, few samples.
    std::vector<std::string> faults = {};  // empty: every fault
    std::optional<Aftermath> aftermath = std::nullopt;
};

const std::vector<Operation> &matrixOperations();

// Connects a fresh link to accessory 0 as the program does (firmware gate
// answered Yes, a cut save settled inside it as choice says, pending saves
// recorded in store, fixed clock); asked, if given, counts the questions
// about a cut save.
int connectAsProgram(device::CDeviceLink &link, device::PendingSaveStore *store, device::Waits &waits,
                     device::UnfinishedChoice choice = device::UnfinishedChoice::Finish, int *asked = nullptr);

// What the accessory holds that the operations may change: configuration
// pages, firmware pages, firmware text, module memory and command state.
struct AccessoryState {
    std::vector<std::uint8_t> configuration;
    std::vector<std::uint8_t> firmware;
    std::string firmwareText;
    std::vector<std::uint8_t> module;
    std::array<std::uint8_t, sim::kIrRecordLength> irTransmit{};
    std::uint16_t pairing = 0;
};
AccessoryState stateOf(const sim::Accessory &accessory);

}  // namespace zelo::faults
