// The rows where something comes between a cut save and the next connect:
// a save made on another computer, or a firmware update that connect needs.
// The next connect settles the cut save with the row's answer; the judgement
// is the matrix's: the configuration entirely old or entirely new (or, after
// a save elsewhere, that save's), the identity unchanged, the firmware
// current and verified, and nothing left for a further connect to offer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "matrix_operations.h"

namespace zelo::faults {

// What the next connect may leave, from fault-free runs: the configuration
// without the operation and with it (each as that connect writes it back),
// and the firmware.
struct Settled {
    std::vector<std::uint8_t> oldConfiguration;
    std::vector<std::uint8_t> newConfiguration;
    std::vector<std::uint8_t> firmware;
    std::string firmwareText;
};

struct AftermathRun {
    std::string failure;  // empty: the connect and the settling succeeded
    int asked = 0;        // times the cut save was put to the user
    std::vector<std::uint8_t> elsewhere;  // the configuration the save elsewhere left
};

// The save elsewhere, if the row has one, then the next connect on
// accessory 0 answering the row's choice, and the settling of a cut save
// the connect found.
AftermathRun runAftermath(const Aftermath &after, const sim::Accessory &accessory, device::PendingSaveStore &store);

// The checks on what that left; empty when all hold. identityFrom is the
// configuration before the operation, whose identity must be kept.
std::string judgeAftermath(const Aftermath &after, const AftermathRun &run, const sim::Accessory &accessory,
                           device::PendingSaveStore &store, const Settled &settled,
                           const std::vector<std::uint8_t> &identityFrom);

// The identity a unit keeps whatever is saved (device value and address),
// copied from one configuration into another.
void copyIdentity(const std::vector<std::uint8_t> &from, std::vector<std::uint8_t> &to);

}  // namespace zelo::faults
